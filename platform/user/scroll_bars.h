// The standard vertical scroll bar of a window with WS_VSCROLL: a strip of the frame at the right
// of the client area, drawn by the system, that sends its window WM_VSCROLL as the stylus works
// it. Its range, page and position live with the window.
#ifndef PLATFORM_USER_SCROLL_BARS_H
#define PLATFORM_USER_SCROLL_BARS_H

#include <windows.h>

#include "user/window_state.h"

// What Windows keeps for one standard scroll bar.
struct ScrollBarState {
    int minimum = 0;
    int maximum = 100; // as Windows starts a window's bar
    int page = 0;
    int position = 0;
    bool disabled = false; // nothing to scroll, kept shown by SIF_DISABLENOSCROLL

    // While the stylus holds a part of the bar.
    enum class Part { None, UpArrow, PageUp, Thumb, PageDown, DownArrow } held = Part::None;
    bool repeating = false; // the timer that repeats an arrow or page runs
    POINT lastPoint = {};   // in bar coordinates
    int grab = 0;           // where along the bar the thumb was taken
    int grabbedThumbTop = 0;
    int thumbTop = 0; // where the dragged thumb is drawn
    int trackPosition = 0;
};

// The room the bar takes from the client area: SM_CXVSCROLL with WS_VSCROLL, else nothing.
int VerticalScrollBarWidth(const Window *window);
// Draws the bar through a DC on the whole window (frame coordinates).
void DrawVerticalScrollBar(Window *window, HDC windowDc);
// A screen point on the shown bar.
bool InVerticalScrollBar(Window *window, POINT screenPoint);
// The stylus went down on the bar: follows it until it is lifted, as DefWindowProc does for
// WM_NCLBUTTONDOWN with HTVSCROLL.
void TrackVerticalScrollBar(HWND window, POINT screenPoint);

#endif
