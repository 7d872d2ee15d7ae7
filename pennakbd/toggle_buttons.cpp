// The pin and panel buttons: a picture for each of two states, flipped by a tap and put back
// when the stylus slides off before it is lifted.
#include "title_bar.h"

#include "pennakbd_state.h"

namespace {

// Window extra values; pointer-sized, as the handles they hold are.
const int stateValue = 0;
const int upPictureValue = 1;
const int downPictureValue = 2;
const int memoryDcValue = 3;

const LONG_PTR released = 0;
const LONG_PTR pressed = ~(LONG_PTR)0;

LONG_PTR Value(HWND window, int index) {
    return GetWindowLongPtrW(window, index * (int)sizeof(LONG_PTR));
}

void SetValue(HWND window, int index, LONG_PTR value) {
    SetWindowLongPtrW(window, index * (int)sizeof(LONG_PTR), value);
}

void Repaint(HWND window) {
    InvalidateRect(window, NULL, FALSE);
    UpdateWindow(window);
}

void Flip(HWND window) {
    SetValue(window, stateValue, ~Value(window, stateValue));
    Repaint(window);
}

void Create(HWND window, int upPicture, int downPicture, LONG_PTR state) {
    HDC windowDc = GetDC(window);
    SetValue(window, memoryDcValue, (LONG_PTR)CreateCompatibleDC(windowDc));
    ReleaseDC(window, windowDc);
    SetValue(window, upPictureValue,
             (LONG_PTR)LoadBitmapW(ProgramInstance, MAKEINTRESOURCEW(upPicture)));
    SetValue(window, downPictureValue,
             (LONG_PTR)LoadBitmapW(ProgramInstance, MAKEINTRESOURCEW(downPicture)));
    SetValue(window, stateValue, state);
    Repaint(window);
}

void Paint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HDC memory = (HDC)Value(window, memoryDcValue);
    HBITMAP picture = (HBITMAP)Value(
        window, Value(window, stateValue) == released ? upPictureValue : downPictureValue);
    // The window is larger than its picture: what the picture leaves is the title bar's, and a
    // picture that could not be loaded leaves the button blank.
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, titleBrush);
    HGDIOBJ previous = picture != NULL ? SelectObject(memory, picture) : NULL;
    if (previous != NULL) {
        BITMAP size;
        GetObjectW(picture, sizeof(size), &size);
        BitBlt(dc, 0, 0, size.bmWidth, size.bmHeight, memory, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
    }
    EndPaint(window, &paint);
}

void Destroy(HWND window) {
    const int values[] = {upPictureValue, downPictureValue};
    for (int value : values) {
        HGDIOBJ picture = (HGDIOBJ)Value(window, value);
        if (picture != NULL)
            DeleteObject(picture);
    }
    HDC memory = (HDC)Value(window, memoryDcValue);
    if (memory != NULL)
        DeleteDC(memory);
}

// The stylus left the button while held: the tap is cancelled.
void StylusMoved(HWND window, LPARAM lParam) {
    const int x = LOWORD(lParam);
    const int y = HIWORD(lParam);
    RECT client;
    GetClientRect(window, &client);
    if (x < client.left || x > client.right || y < client.top || y > client.bottom) {
        Flip(window);
        ReleaseCapture();
    }
}

void PinReleased(HWND window) {
    HWND main = GetParent(GetParent(window));
    const LONG style = GetWindowLongW(main, GWL_EXSTYLE);
    SetWindowLongW(main, GWL_EXSTYLE,
                   Value(window, stateValue) == pressed ? style | WS_EX_TOPMOST
                                                        : style & ~WS_EX_TOPMOST);
}

void PanelReleased(HWND window) {
    const BOOL show = Value(window, stateValue) == released;
    ShowWindow(OptionPanel, show ? SW_SHOW : SW_HIDE);
    Settings.panelVisible = show ? 1 : 0;
    PostMessageW(KeyboardWindow, MSG_RELAYOUT, 1, 0);
}

LRESULT ToggleButtonMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, BOOL isPanel) {
    switch (message) {
    case WM_CREATE:
        if (isPanel)
            Create(window, IDB_PANEL_UP, IDB_PANEL_DOWN,
                   Settings.panelVisible == 0 ? pressed : released);
        else
            Create(window, IDB_PIN_UP, IDB_PIN_DOWN, released);
        break;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        Flip(window);
        break;
    case WM_MOUSEMOVE:
        StylusMoved(window, lParam);
        break;
    case WM_LBUTTONUP:
        ReleaseCapture();
        if (isPanel)
            PanelReleased(window);
        else
            PinReleased(window);
        break;
    case WM_DESTROY:
        Destroy(window);
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

LRESULT CALLBACK PinButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ToggleButtonMessage(window, message, wParam, lParam, FALSE);
}

LRESULT CALLBACK PanelButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ToggleButtonMessage(window, message, wParam, lParam, TRUE);
}
