// The shell program: the desktop at the bottom of the Z order, the task bar along the bottom edge
// and the input panel above it, hidden until a program asks for it.
#include "shell/shell.h"

namespace {

RECT StartButtonRect(const RECT &taskBar) {
    return RECT{6, 0, 60, taskBar.bottom};
}

RECT ScreenRect() {
    RECT screen;
    GetWindowRect(GetDesktopWindow(), &screen);
    return screen;
}

LRESULT CALLBACK DesktopProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ACTIVATE:
        // The desktop never covers a program, even when tapped.
        if (LOWORD(wParam) != WA_INACTIVE) {
            SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        return 0;
    case WM_PAINT: {
        // A "Today" band across the top, the desktop colour below.
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT band;
        GetClientRect(window, &band);
        band.bottom = 24;
        FillRect(dc, &band, GetSysColorBrush(COLOR_WINDOW));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        band.left += 4;
        DrawTextW(dc, u"Today", 5, &band, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        EndPaint(window, &paint);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TaskBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(WHITE_PEN));
        MoveToEx(dc, 0, 0, nullptr);
        LineTo(dc, client.right, 0);
        SelectObject(dc, oldPen);
        RECT start = StartButtonRect(client);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        DrawTextW(dc, u"Start", 5, &start, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        DrawNotifyIcons(dc, client);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: {
        RECT client;
        GetClientRect(window, &client);
        const POINT point = {static_cast<short>(LOWORD(lParam)),
                             static_cast<short>(HIWORD(lParam))};
        const RECT start = StartButtonRect(client);
        if (PtInRect(&start, point)) {
            if (message == WM_LBUTTONDOWN) {
                ToggleStartMenu(window);
            }
            return 0;
        }
        TapNotifyIcon(client, point, message);
        return 0;
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK InputPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void Register(const char16_t *name, WNDPROC procedure, int background) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hbrBackground = GetSysColorBrush(background);
    windowClass.lpszClassName = name;
    RegisterClassW(&windowClass);
}

} // namespace

int WINAPI ExplorerMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    Register(u"DesktopExplorerWindow", DesktopProc, COLOR_BACKGROUND);
    Register(u"HHTaskBar", TaskBarProc, COLOR_BTNFACE);
    Register(u"SipWndClass", InputPanelProc, COLOR_BTNFACE);
    RegisterStartMenu();
    const RECT screen = ScreenRect();
    const int barTop = screen.bottom - taskBarHeight;

    CreateWindowExW(WS_EX_NOACTIVATE, u"DesktopExplorerWindow", u"Desktop", WS_VISIBLE, 0, 0,
                    screen.right, barTop, nullptr, nullptr, instance, nullptr);
    HWND taskBar =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"HHTaskBar", u"", WS_VISIBLE, 0, barTop,
                        screen.right, taskBarHeight, nullptr, nullptr, instance, nullptr);
    SetNotifyIconBar(taskBar);
    CreateWindowExW(WS_EX_TOPMOST | WS_EX_NOACTIVATE, u"SipWndClass", u"Input Panel", 0, 0,
                    barTop - inputPanelHeight, screen.right, inputPanelHeight, nullptr, nullptr,
                    instance, nullptr);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    SetNotifyIconBar(nullptr);
    return static_cast<int>(message.wParam);
}
