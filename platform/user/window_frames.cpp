// Borders and captions in the Windows CE style: a one-pixel line, or for a modal-frame dialog a
// raised edge with a band of face colour inside, and a caption bar with the window's text and,
// for a window that asks for it, an "OK" button.
#include "user/window_frames.h"

#include "gdi/fonts.h"
#include "user/screen.h"
#include "user/scroll_bars.h"
#include "user/window_dcs.h"

namespace {

const int okButtonWidth = 26;

HFONT CaptionFont() {
    return SharedSystemFont(-12, FW_BOLD);
}

// Outer edge light and black, inner edge white and grey, then face colour to the client area.
void DrawDialogFrame(HDC dc, RECT frame, int width) {
    const int lightAndDark[2][2] = {{COLOR_3DLIGHT, COLOR_3DDKSHADOW},
                                    {COLOR_3DHILIGHT, COLOR_3DSHADOW}};
    for (int ring = 0; ring < width; ring++) {
        const bool edge = ring < 2;
        HBRUSH topLeft = GetSysColorBrush(edge ? lightAndDark[ring][0] : COLOR_3DFACE);
        HBRUSH bottomRight = GetSysColorBrush(edge ? lightAndDark[ring][1] : COLOR_3DFACE);
        RECT top = {frame.left, frame.top, frame.right - 1, frame.top + 1};
        RECT left = {frame.left, frame.top, frame.left + 1, frame.bottom - 1};
        RECT bottom = {frame.left, frame.bottom - 1, frame.right, frame.bottom};
        RECT right = {frame.right - 1, frame.top, frame.right, frame.bottom};
        FillRect(dc, &top, topLeft);
        FillRect(dc, &left, topLeft);
        FillRect(dc, &bottom, bottomRight);
        FillRect(dc, &right, bottomRight);
        InflateRect(&frame, -1, -1);
    }
}

} // namespace

int FrameWidth(DWORD style, DWORD exStyle) {
    if ((exStyle & WS_EX_DLGMODALFRAME) != 0) {
        return GetSystemMetrics(SM_CXDLGFRAME);
    }
    return (style & (WS_BORDER | WS_DLGFRAME)) != 0 ? GetSystemMetrics(SM_CXBORDER) : 0;
}

int CaptionHeight(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
}

extern "C" BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int frame = FrameWidth(style, exStyle);
    InflateRect(rect, frame, frame);
    rect->top -= CaptionHeight(style);
    return TRUE;
}

void DrawWindowFrame(Window *window) {
    const Box outer = WindowBox(window);
    const Box client = ClientBox(window);
    const int width = outer.right - outer.left;
    const int border = client.left - outer.left;
    const int captionBottom = client.top - outer.top;
    if (border == 0 && captionBottom == 0 && VerticalScrollBarWidth(window) == 0) {
        return;
    }
    HDC dc = CreateWindowDc(window->handle, true);
    if ((window->exStyle & WS_EX_DLGMODALFRAME) != 0 && border > 1) {
        DrawDialogFrame(dc, RECT{0, 0, width, outer.bottom - outer.top}, border);
    } else if (border > 0) {
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, 0, 0, width, outer.bottom - outer.top);
        SelectObject(dc, oldBrush);
    }
    if (captionBottom > border) {
        RECT caption = {border, border, width - border, captionBottom};
        FillRect(dc, &caption, GetSysColorBrush(COLOR_ACTIVECAPTION));
        HGDIOBJ oldFont = SelectObject(dc, CaptionFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(COLOR_CAPTIONTEXT));
        RECT text = caption;
        text.left += 4;
        // The caption's text stops short of the button.
        if ((window->exStyle & WS_EX_CAPTIONOKBTN) != 0) {
            RECT button = {caption.right - okButtonWidth, caption.top + 3, caption.right - 3,
                           caption.bottom - 3};
            text.right = button.left;
            DrawTextW(dc, u"OK", 2, &button, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
        DrawTextW(dc, window->text.c_str(), static_cast<int>(window->text.size()), &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE);
        SelectObject(dc, oldFont);
    }
    DrawVerticalScrollBar(window, dc);
    ReleaseDC(window->handle, dc);
}
