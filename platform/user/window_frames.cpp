// Borders and captions in the Windows CE style: a one-pixel line, and a caption bar with the
// window's text and, for a window that asks for it, an "OK" button.
#include "user/window_frames.h"

#include "user/screen.h"
#include "user/scroll_bars.h"
#include "user/window_dcs.h"

namespace {

const int okButtonWidth = 26;

HFONT CaptionFont() {
    static HFONT font = CreateFontW(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    return font;
}

} // namespace

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
    if (border > 0) {
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
