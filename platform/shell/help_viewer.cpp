// The help viewer (\Windows\peghelp.exe): shows a help file of \Windows, named on its command
// line, as wrapped text in a captioned window with a Close button. Help files are UTF-8 text.
#include "kernel/code_pages.h"
#include "kernel/whole_files.h"
#include "shell/shell.h"

#include <vector>

namespace {

const int margin = 4;
const int closeId = IDCANCEL;
const int closeWidth = 56;
const int closeHeight = 22;
// Help files are small; anything larger is not one.
const size_t largestHelpFile = 64 * 1024;

std::u16string HelpText(LPCWSTR commandLine) {
    std::u16string name = commandLine != nullptr ? commandLine : u"";
    if (name.empty()) {
        return u"No help file was named.";
    }
    const std::u16string path =
        name.find_first_of(u"\\/") == std::u16string::npos ? u"\\Windows\\" + name : name;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    std::vector<unsigned char> bytes;
    const bool read = file != INVALID_HANDLE_VALUE && ReadWholeFile(file, largestHelpFile, bytes);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    if (!read) {
        return u"The help file " + name + u" cannot be read.";
    }
    return WideFromUtf8(std::string(bytes.begin(), bytes.end()));
}

LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT text;
        GetClientRect(window, &text);
        InflateRect(&text, -margin, -margin);
        text.bottom -= closeHeight + margin;
        const std::u16string *help =
            reinterpret_cast<const std::u16string *>(GetWindowLongPtrW(window, GWL_USERDATA));
        SetBkMode(dc, TRANSPARENT);
        if (help != nullptr) {
            DrawTextW(dc, help->c_str(), static_cast<int>(help->size()), &text,
                      DT_WORDBREAK | DT_NOPREFIX);
        }
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == closeId) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI HelpViewerMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = HelpProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = u"HelpViewer";
    RegisterClassW(&windowClass);
    std::u16string help = HelpText(commandLine);

    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    const int width = screen.right;
    const int height = screen.bottom - taskBarHeight;
    HWND window = CreateWindowExW(0, u"HelpViewer", u"Help", WS_CAPTION | WS_BORDER, 0, 0, width,
                                  height, nullptr, nullptr, instance, nullptr);
    SetWindowLongPtrW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&help));
    RECT client;
    GetClientRect(window, &client);
    CreateWindowExW(0, u"BUTTON", u"Close", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON,
                    client.right - closeWidth - margin, client.bottom - closeHeight - margin,
                    closeWidth, closeHeight, window,
                    reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(closeId)), instance, nullptr);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
