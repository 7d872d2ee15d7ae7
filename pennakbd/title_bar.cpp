// The title bar's dialog procedure and dragging the keyboard by it.
#include "title_bar.h"

#include "pennakbd_state.h"

namespace {

// A drag of the keyboard: an inverted outline of its frame follows the stylus on the screen,
// and the keyboard moves only when the stylus is lifted.
typedef struct Drag {
    HDC screen;
    POINT start;
    POINT grab;
    POINT previous;
    SIZE frame;
    int previousRop;
    HGDIOBJ previousBrush;
    HGDIOBJ previousPen;
} Drag;

Drag drag;

POINT StylusPoint(HWND window, LPARAM lParam) {
    POINT point = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
    ClientToScreen(window, &point);
    return point;
}

void DrawMoveOutline(POINT at) {
    Rectangle(drag.screen, at.x - drag.grab.x, at.y - drag.grab.y,
              at.x - drag.grab.x + drag.frame.cx, at.y - drag.grab.y + drag.frame.cy);
    drag.previous = at;
}

void StartDrag(HWND window, LPARAM lParam) {
    SetCapture(window);
    drag.grab.x = (short)LOWORD(lParam);
    drag.grab.y = (short)HIWORD(lParam);
    drag.start = StylusPoint(window, lParam);
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    drag.frame.cx = frame.right - frame.left;
    drag.frame.cy = frame.bottom - frame.top;
    drag.screen = GetDC(NULL);
    drag.previousRop = SetROP2(drag.screen, R2_NOT);
    drag.previousBrush = SelectObject(drag.screen, GetStockObject(NULL_BRUSH));
    drag.previousPen = SelectObject(drag.screen, BlackPen);
    DrawMoveOutline(drag.start);
}

void ContinueDrag(HWND window, LPARAM lParam) {
    if (drag.screen == NULL)
        return;
    const POINT current = StylusPoint(window, lParam);
    DrawMoveOutline(drag.previous);
    DrawMoveOutline(current);
}

void EndDrag(HWND window, LPARAM lParam) {
    if (drag.screen == NULL)
        return;
    DrawMoveOutline(drag.previous);
    SetROP2(drag.screen, drag.previousRop);
    SelectObject(drag.screen, drag.previousBrush);
    SelectObject(drag.screen, drag.previousPen);
    ReleaseDC(NULL, drag.screen);
    drag.screen = NULL;
    ReleaseCapture();
    const POINT end = StylusPoint(window, lParam);
    RECT frame;
    GetWindowRect(MainWindow, &frame);
    MoveWindow(MainWindow, frame.left + end.x - drag.start.x, frame.top + end.y - drag.start.y,
               frame.right - frame.left, frame.bottom - frame.top, TRUE);
}

LONG ButtonWidth(HWND dialog) {
    RECT rect;
    HWND close = GetDlgItem(dialog, IDC_CLOSE);
    return close != NULL && GetWindowRect(close, &rect) ? rect.right - rect.left : 0;
}

void PlaceButton(HWND dialog, int id, LONG x) {
    SetWindowPos(GetDlgItem(dialog, id), NULL, x, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

void PlaceButtons(HWND dialog, LONG width) {
    const LONG w = ButtonWidth(dialog);
    PlaceButton(dialog, IDC_CLOSE, width - w);
    PlaceButton(dialog, IDC_HIDE, width - 2 * w - 1);
    PlaceButton(dialog, IDC_HELP, width - 3 * w - 2);
    PlaceButton(dialog, IDC_PANEL_BUTTON, width - 4 * w - 3);
}

void Paint(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, titleBrush);
    SetBkColor(dc, RGB(0, 0, 0x80));
    SetTextColor(dc, RGB(0xFF, 0xFF, 0xFF));
    HGDIOBJ previousFont = SelectObject(dc, (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0));
    client.right -= 3 * (ButtonWidth(dialog) + 1);
    static const WCHAR name[] = TEXT("Pennakey");
    ExtTextOutW(dc, 3, 0, ETO_CLIPPED, &client, name, lstrlenW(name), NULL);
    if (previousFont != NULL)
        SelectObject(dc, previousFont);
    EndPaint(dialog, &paint);
}

void StartHelp(void) {
    WCHAR commandLine[] = TEXT("pennkbd.htc");
    PROCESS_INFORMATION process;
    if (CreateProcessW(TEXT("\\Windows\\peghelp.exe"), commandLine, NULL, NULL, FALSE, 0, NULL,
                       NULL, NULL, &process)) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
}

} // namespace

INT_PTR CALLBACK TitleBarProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowPos(dialog, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
        ShowWindow(GetDlgItem(dialog, IDC_PIN), SW_HIDE);
        return 0;
    case WM_SIZE:
        PlaceButtons(dialog, LOWORD(lParam));
        return 0;
    case WM_PAINT:
        Paint(dialog);
        return 0;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        switch (LOWORD(wParam)) {
        case IDC_CLOSE:
            PostMessageW(MainWindow, WM_CLOSE, 0, 0);
            return 1;
        case IDC_HELP:
            StartHelp();
            return 0;
        case IDC_HIDE:
            ShowWindow(MainWindow, SW_HIDE);
            return 0;
        }
        return 0;
    case WM_LBUTTONDOWN:
        StartDrag(dialog, lParam);
        return 1;
    case WM_MOUSEMOVE:
        ContinueDrag(dialog, lParam);
        return 1;
    case WM_LBUTTONUP:
        EndDrag(dialog, lParam);
        return 1;
    }
    return 0;
}
