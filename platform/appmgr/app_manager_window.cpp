// The application manager's window: two lines of text on the dialog colour, centred on the screen,
// with a timer that runs the work a step at a time.
#include "appmgr/app_manager_window.h"

const char appManagerWindowClass[] = "CEAppMgr";
const char appManagerCaption[] = "Add/Remove Programs";

namespace {

const int windowWidth = 400;
const int windowHeight = 100;
const int descriptionId = 1;
const int statusId = 2;
const UINT_PTR stepTimer = 1;

LRESULT CALLBACK AppManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == stepTimer) {
            // Stopped while the step runs: a message box's loop must not start the next one.
            KillTimer(window, stepTimer);
            auto *work =
                reinterpret_cast<AppManagerWork *>(GetWindowLongPtrA(window, GWL_USERDATA));
            if (work != nullptr && work->Step(window)) {
                SetTimer(window, stepTimer, appManagerStepMilliseconds, nullptr);
            } else {
                DestroyWindow(window);
            }
        }
        return 0;
    case WM_CLOSE:
        return 0; // a copy half done is not stopped by closing the window
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// What is waiting, painting included, is handled before the step goes on to wait for the device.
void LetItPaint() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HWND AddLine(HWND window, HINSTANCE instance, int id, int top) {
    RECT client;
    GetClientRect(window, &client);
    return CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 12, top,
                           client.right - 24, 18, window,
                           reinterpret_cast<HANDLE>(static_cast<INT_PTR>(id)), instance, nullptr);
}

} // namespace

HWND OpenAppManagerWindow(HINSTANCE instance, AppManagerWork &work) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = AppManagerProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = appManagerWindowClass;
    RegisterClassA(&windowClass);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - windowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - windowHeight) / 3;
    HWND window = CreateWindowExA(0, appManagerWindowClass, appManagerCaption,
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, left, top, windowWidth,
                                  windowHeight, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return nullptr;
    }
    AddLine(window, instance, descriptionId, 12);
    AddLine(window, instance, statusId, 40);
    SetWindowLongPtrA(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(&work));
    SetForegroundWindow(window);
    SetTimer(window, stepTimer, appManagerStepMilliseconds, nullptr);
    LetItPaint();
    return window;
}

void RunAppManagerWindow() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShowWhatIsInstalled(HWND window, const std::string &description) {
    SetDlgItemTextA(window, descriptionId, ("Installing " + description).c_str());
    LetItPaint();
}

void ShowStatus(HWND window, const std::string &status) {
    SetDlgItemTextA(window, statusId, status.c_str());
    LetItPaint();
}

void TellWhatWentWrong(HWND window, const std::string &text) {
    MessageBoxA(window, text.c_str(), appManagerCaption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}
