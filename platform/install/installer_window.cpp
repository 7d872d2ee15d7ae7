// The installer's progress window: a caption, the file in hand and a progress bar, centred.
#include "install/installer_window.h"

#include <commctrl.h>

const char16_t installerWindowClass[] = u"CabInstaller";

namespace {

const int windowWidth = 200;
const int windowHeight = 64;
const int fileTextId = 1;
const int progressBarId = 2;

LRESULT CALLBACK InstallerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        return 0; // an installation half done is not stopped by closing its window
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A quit met here is for the loops further out (a message box's, the program's end), and is
// left for them.
void LetItPaint() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

} // namespace

HWND OpenInstallerWindow(HINSTANCE instance, const std::u16string &caption) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = InstallerProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = installerWindowClass;
    RegisterClassW(&windowClass);
    InitCommonControls();
    const int left = (GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 3;
    HWND window = CreateWindowExW(0, installerWindowClass, caption.c_str(),
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, left, top, windowWidth,
                                  windowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExW(0, u"STATIC", u"", WS_CHILD | WS_VISIBLE | SS_LEFT, 6, 4, client.right - 12, 14,
                    window, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(fileTextId)), instance,
                    nullptr);
    CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_CHILD | WS_VISIBLE, 6, 22, client.right - 12, 12,
                    window, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(progressBarId)), instance,
                    nullptr);
    SetForegroundWindow(window);
    LetItPaint();
    return window;
}

void ShowInstallerProgress(HWND window, const std::u16string &file, int percent) {
    if (window == nullptr) {
        return;
    }
    const size_t slash = file.find_last_of(u'\\');
    const std::u16string name = slash == std::u16string::npos ? file : file.substr(slash + 1);
    SetDlgItemTextW(window, fileTextId, name.c_str());
    SendDlgItemMessageW(window, progressBarId, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    UpdateWindow(window);
    LetItPaint();
}

void CloseInstallerWindow(HWND window) {
    if (window != nullptr) {
        DestroyWindow(window);
        LetItPaint();
    }
}

int SayToUser(HWND window, const std::u16string &text, const std::u16string &caption, UINT type) {
    return MessageBoxW(window, text.c_str(), caption.c_str(), type | MB_SETFOREGROUND);
}
