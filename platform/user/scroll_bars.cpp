// The standard vertical scroll bar: its values as SetScrollInfo keeps them, its place and parts,
// its drawing in the plain Windows CE look, and the stylus tracking that turns taps into
// WM_VSCROLL.
#include "user/scroll_bars.h"

#include "device/scheduler.h"
#include "user/screen.h"
#include "user/window_dcs.h"

#include <algorithm>
#include <cstdint>

namespace {

// An arrow repeats after a pause, then quickly, as Windows does.
const UINT firstRepeatDelay = 200;
const UINT repeatDelay = 50;
// The timer of the bar being held; its WM_TIMER never reaches the window's procedure.
const UINT_PTR repeatTimer = 0xFFF5;
const int minimumThumb = 8;

using Part = ScrollBarState::Part;

Window *Find(HWND handle) {
    Window *window = FindWindowObject(handle);
    return window != RootWindow() ? window : nullptr;
}

// The bar's values; a window made with WS_VSCROLL has them from the start, any other once a
// program sets them.
ScrollBarState *StateOf(Window *window, bool create) {
    if (window == nullptr) {
        return nullptr;
    }
    if (!window->verticalScrollBar && (create || (window->style & WS_VSCROLL) != 0)) {
        window->verticalScrollBar = std::make_shared<ScrollBarState>();
    }
    return window->verticalScrollBar.get();
}

// The highest position: the last page shows full.
int LastPosition(const ScrollBarState &state) {
    return state.maximum - std::max(state.page - 1, 0);
}

int MulDivRounded(int value, int numerator, int denominator) {
    if (denominator == 0) {
        return 0;
    }
    const int64_t product = static_cast<int64_t>(value) * numerator;
    const int64_t half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}

// Where the bar's parts lie, along its length from its top.
struct BarLayout {
    RECT bar = {}; // on the screen
    int length = 0;
    int arrow = 0;
    int thumbTop = 0; // 0: no thumb
    int thumbLength = 0;
};

int ThumbLength(const ScrollBarState &state, int pixels, int arrow) {
    if (state.page <= 0) {
        return arrow;
    }
    const int range = state.maximum - state.minimum + 1;
    return std::max(MulDivRounded(pixels, state.page, range), minimumThumb);
}

BarLayout LayOut(Window *window, const ScrollBarState &state) {
    BarLayout layout;
    const Box client = ClientBox(window);
    const int width = VerticalScrollBarWidth(window);
    layout.bar = {client.right, client.top, client.right + width, client.bottom};
    layout.length = client.bottom - client.top;
    const int fullArrows = 2 * width;
    if (layout.length <= fullArrows + 4) {
        layout.arrow = std::max((layout.length - 4) / 2, 0);
        return layout;
    }
    layout.arrow = width;
    const int pixels = layout.length - fullArrows;
    layout.thumbLength = ThumbLength(state, pixels, layout.arrow);
    const int free = pixels - layout.thumbLength;
    if (free < 0 || state.disabled) {
        layout.thumbLength = 0;
        return layout;
    }
    const int last = LastPosition(state);
    layout.thumbTop =
        layout.arrow + (state.minimum >= last ? 0
                                              : MulDivRounded(free, state.position - state.minimum,
                                                              last - state.minimum));
    if (state.held == Part::Thumb) {
        layout.thumbTop = std::clamp(state.thumbTop, layout.arrow, layout.arrow + free);
    }
    return layout;
}

Part HitPart(const BarLayout &layout, POINT point) {
    const RECT whole = {0, 0, layout.bar.right - layout.bar.left, layout.length};
    if (!PtInRect(&whole, point)) {
        return Part::None;
    }
    if (point.y < layout.arrow) {
        return Part::UpArrow;
    }
    if (point.y >= layout.length - layout.arrow) {
        return Part::DownArrow;
    }
    if (layout.thumbLength == 0 || point.y < layout.thumbTop) {
        return Part::PageUp;
    }
    return point.y >= layout.thumbTop + layout.thumbLength ? Part::PageDown : Part::Thumb;
}

// The position a thumb with its top there stands for.
int ThumbPosition(const ScrollBarState &state, const BarLayout &layout, int thumbTop) {
    const int pixels = layout.length - 2 * layout.arrow;
    const int free = pixels - ThumbLength(state, pixels, layout.arrow);
    if (pixels <= 0 || free <= 0) {
        return state.minimum;
    }
    const int offset = std::clamp(thumbTop - layout.arrow, 0, free);
    const int range = state.page > 0 ? state.maximum - state.minimum - state.page + 1
                                     : state.maximum - state.minimum;
    return state.minimum + MulDivRounded(offset, range, free);
}

void Fill(HDC dc, const RECT &rect, HBRUSH brush) {
    if (rect.right > rect.left && rect.bottom > rect.top) {
        FillRect(dc, &rect, brush);
    }
}

// The classic track: button face and highlight in a checkerboard.
void FillTrack(HDC dc, const RECT &rect) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = rect.top; y < rect.bottom; ++y) {
        for (int x = rect.left; x < rect.right; ++x) {
            SetPixel(dc, x, y, ((x + y) & 1) != 0 ? light : face);
        }
    }
}

// A face with a small triangle pointing up or down, shifted a pixel while pressed.
void DrawArrow(HDC dc, const RECT &face, bool up, bool pressed, bool enabled) {
    Fill(dc, face, GetSysColorBrush(pressed ? COLOR_BTNSHADOW : COLOR_BTNFACE));
    const int width = face.right - face.left;
    const int height = face.bottom - face.top;
    const int half = std::min({3, (width - 1) / 2, height - 1});
    if (half < 0) {
        return;
    }
    const int shift = pressed ? 1 : 0;
    const int middle = face.left + (width - 1) / 2 + shift;
    const int top = face.top + (height - (half + 1)) / 2 + shift;
    HBRUSH brush = CreateSolidBrush(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    for (int row = 0; row <= half; ++row) {
        const int reach = up ? row : half - row;
        Fill(dc, RECT{middle - reach, top + row, middle + reach + 1, top + row + 1}, brush);
    }
    DeleteObject(brush);
}

void Draw(Window *window, HDC dc, const ScrollBarState &state) {
    const BarLayout layout = LayOut(window, state);
    const Box outer = WindowBox(window);
    const int left = layout.bar.left - outer.left;
    const int top = layout.bar.top - outer.top;
    const int right = layout.bar.right - outer.left;
    if (right <= left || layout.length <= 0) {
        return;
    }
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const int bottom = top + layout.length;
    // A black line parts the bar from the client area; one more under the up arrow, over the
    // down arrow and round the thumb.
    Fill(dc, RECT{left, top, left + 1, bottom}, black);
    const bool enabled = !state.disabled;
    const bool upHeld = state.held == Part::UpArrow && state.repeating;
    const bool downHeld = state.held == Part::DownArrow && state.repeating;
    const int arrow = layout.arrow;
    DrawArrow(dc, RECT{left + 1, top, right, top + arrow - 1}, true, upHeld, enabled);
    Fill(dc, RECT{left + 1, top + arrow - 1, right, top + arrow}, black);
    DrawArrow(dc, RECT{left + 1, bottom - arrow + 1, right, bottom}, false, downHeld, enabled);
    Fill(dc, RECT{left + 1, bottom - arrow, right, bottom - arrow + 1}, black);
    FillTrack(dc, RECT{left + 1, top + arrow, right, bottom - arrow});
    if (layout.thumbLength > 0) {
        const int thumbTop = top + layout.thumbTop;
        const int thumbBottom = thumbTop + layout.thumbLength;
        Fill(dc, RECT{left + 1, thumbTop, right, thumbBottom}, GetSysColorBrush(COLOR_BTNFACE));
        Fill(dc, RECT{left + 1, thumbTop, right, thumbTop + 1}, black);
        Fill(dc, RECT{left + 1, thumbBottom - 1, right, thumbBottom}, black);
    }
}

void Redraw(Window *window) {
    if (window != nullptr && (window->style & WS_VSCROLL) != 0) {
        window->frameDirty = true;
    }
}

// The client area grew or shrank: the window is told its new size and paints itself again.
void FrameChanged(Window *window) {
    HWND handle = window->handle;
    InvalidateWholeWindow(window);
    ScreenLayoutChanged();
    const SIZE size = ClientSize(window);
    SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
}

bool ShowVertical(Window *window, bool show) {
    const DWORD style = show ? window->style | WS_VSCROLL : window->style & ~WS_VSCROLL;
    if (style == window->style) {
        return false;
    }
    window->style = style;
    FrameChanged(window);
    return true;
}

bool ValidInfo(const SCROLLINFO *info) {
    return info != nullptr && info->cbSize == sizeof(SCROLLINFO) &&
           (info->fMask & ~(SIF_ALL | SIF_DISABLENOSCROLL)) == 0;
}

void Notify(HWND window, WORD code, int position = 0) {
    SendMessageW(window, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(position)), 0);
}

WORD CodeOf(Part part) {
    switch (part) {
    case Part::UpArrow:
        return SB_LINEUP;
    case Part::DownArrow:
        return SB_LINEDOWN;
    case Part::PageUp:
        return SB_PAGEUP;
    default:
        return SB_PAGEDOWN;
    }
}

POINT InBar(HWND handle, Window *window, POINT client) {
    ClientToScreen(handle, &client);
    const Box box = ClientBox(window);
    return POINT{client.x - box.right, client.y - box.top};
}

// The window may go while it is told; everything after a message looks it up again.
struct Tracker {
    HWND handle;

    ScrollBarState *State() const {
        Window *window = Find(handle);
        return window != nullptr ? window->verticalScrollBar.get() : nullptr;
    }

    void Down(POINT point) {
        Window *window = Find(handle);
        ScrollBarState *state = State();
        const BarLayout layout = LayOut(window, *state);
        state->held = HitPart(layout, point);
        state->lastPoint = point;
        state->repeating = false;
        SetCapture(handle);
        Redraw(window);
        if (state->held == Part::Thumb) {
            state->grab = point.y;
            state->grabbedThumbTop = layout.thumbTop;
            state->thumbTop = layout.thumbTop;
            state->trackPosition = ThumbPosition(*state, layout, layout.thumbTop);
            Notify(handle, SB_THUMBTRACK, state->trackPosition);
        } else if (state->held != Part::None) {
            state->repeating = true;
            SetTimer(handle, repeatTimer, firstRepeatDelay, nullptr);
            Notify(handle, CodeOf(state->held));
        }
    }

    // Arrows and pages repeat while the stylus stays on the part it went down on.
    void Repeat(POINT point, bool timer) {
        ScrollBarState *state = State();
        const Part part = HitPart(LayOut(Find(handle), *state), point);
        if (part != state->held) {
            if (state->repeating) {
                KillTimer(handle, repeatTimer);
                state->repeating = false;
                Redraw(Find(handle));
            }
            return;
        }
        if (state->repeating && !timer) {
            return;
        }
        if (!state->repeating) {
            Redraw(Find(handle));
        }
        state->repeating = true;
        SetTimer(handle, repeatTimer, repeatDelay, nullptr);
        Notify(handle, CodeOf(state->held));
    }

    void Drag(POINT point) {
        Window *window = Find(handle);
        ScrollBarState *state = State();
        const BarLayout layout = LayOut(window, *state);
        // Dragged far to the side, the thumb goes back to where it was taken, as on Windows.
        const int width = layout.bar.right - layout.bar.left;
        const bool near = point.x >= -8 * width && point.x < 9 * width && point.y >= -2 * width &&
                          point.y < layout.length + 2 * width;
        const int along = near ? std::clamp<int>(point.y, 0, layout.length) : state->grab;
        state->thumbTop = state->grabbedThumbTop + along - state->grab;
        const int position = ThumbPosition(*state, layout, state->thumbTop);
        Redraw(window);
        if (position != state->trackPosition) {
            state->trackPosition = position;
            Notify(handle, SB_THUMBTRACK, position);
        }
    }

    void Up() {
        ScrollBarState *state = State();
        const Part held = state->held;
        KillTimer(handle, repeatTimer);
        state->repeating = false;
        if (GetCapture() == handle) {
            ReleaseCapture();
        }
        if ((state = State()) == nullptr) {
            return;
        }
        const int position = state->trackPosition;
        state->held = Part::None;
        Redraw(Find(handle));
        if (held == Part::Thumb) {
            Notify(handle, SB_THUMBPOSITION, position);
        }
        if (State() != nullptr) {
            Notify(handle, SB_ENDSCROLL);
        }
    }

    void Handle(const MSG &message) {
        Window *window = Find(handle);
        ScrollBarState *state = State();
        if (window == nullptr || state == nullptr) {
            return;
        }
        POINT point = state->lastPoint;
        if (message.message != WM_TIMER) {
            point = InBar(handle, window,
                          POINT{static_cast<short>(LOWORD(message.lParam)),
                                static_cast<short>(HIWORD(message.lParam))});
            state->lastPoint = point;
        }
        if (message.message == WM_LBUTTONUP) {
            Up();
        } else if (state->held == Part::Thumb && message.message == WM_MOUSEMOVE) {
            Drag(point);
        } else if (state->held != Part::Thumb && state->held != Part::None) {
            Repeat(point, message.message == WM_TIMER);
        }
    }
};

} // namespace

int VerticalScrollBarWidth(const Window *window) {
    return window != nullptr && window != RootWindow() && (window->style & WS_VSCROLL) != 0
               ? GetSystemMetrics(SM_CXVSCROLL)
               : 0;
}

void DrawVerticalScrollBar(Window *window, HDC windowDc) {
    if (ScrollBarState *state =
            VerticalScrollBarWidth(window) > 0 ? StateOf(window, true) : nullptr) {
        Draw(window, windowDc, *state);
    }
}

bool InVerticalScrollBar(Window *window, POINT screenPoint) {
    if (VerticalScrollBarWidth(window) == 0) {
        return false;
    }
    const Box client = ClientBox(window);
    const RECT bar = {client.right, client.top, client.right + VerticalScrollBarWidth(window),
                      client.bottom};
    return PtInRect(&bar, screenPoint) != FALSE;
}

void TrackVerticalScrollBar(HWND handle, POINT screenPoint) {
    Window *window = Find(handle);
    ScrollBarState *state = StateOf(window, false);
    if (state == nullptr || !InVerticalScrollBar(window, screenPoint) || state->disabled ||
        CurrentProgram() == nullptr) {
        return;
    }
    const Box client = ClientBox(window);
    Tracker tracker{handle};
    tracker.Down(POINT{screenPoint.x - client.right, screenPoint.y - client.top});
    if (!IsWindow(handle)) {
        return;
    }
    MSG message = {};
    do {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) {
                PostQuitMessage(static_cast<int>(message.wParam)); // for the loop outside
            }
            break;
        }
        const bool ours = message.hwnd == handle &&
                          (message.message == WM_LBUTTONUP || message.message == WM_MOUSEMOVE ||
                           (message.message == WM_TIMER && message.wParam == repeatTimer));
        if (ours) {
            tracker.Handle(message);
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!IsWindow(handle)) {
            break;
        }
    } while (message.message != WM_LBUTTONUP && GetCapture() == handle);
    if (ScrollBarState *left = tracker.State(); left != nullptr && left->held != Part::None) {
        // The capture went elsewhere: the bar lets go.
        KillTimer(handle, repeatTimer);
        left->held = Part::None;
        left->repeating = false;
        Redraw(Find(handle));
    }
}

extern "C" int WINAPI SetScrollInfo(HWND handle, int bar, LPCSCROLLINFO info, BOOL redraw) {
    Window *window = Find(handle);
    if (window == nullptr || bar != SB_VERT || !ValidInfo(info)) {
        SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return 0;
    }
    ScrollBarState &state = *StateOf(window, true);
    bool changed = false;
    if ((info->fMask & SIF_PAGE) != 0 && state.page != static_cast<int>(info->nPage)) {
        state.page = static_cast<int>(std::min<UINT>(info->nPage, INT32_MAX));
        changed = true;
    }
    if ((info->fMask & SIF_POS) != 0 && state.position != info->nPos) {
        state.position = info->nPos;
        changed = true;
    }
    if ((info->fMask & SIF_RANGE) != 0) {
        // A range reversed or too wide is no range at all.
        const bool invalid =
            info->nMin > info->nMax || static_cast<int64_t>(info->nMax) - info->nMin >= INT32_MAX;
        const int minimum = invalid ? 0 : info->nMin;
        const int maximum = invalid ? 0 : info->nMax;
        if (invalid || state.minimum != minimum || state.maximum != maximum) {
            state.minimum = minimum;
            state.maximum = maximum;
            changed = true;
        }
    }
    const int64_t span = static_cast<int64_t>(state.maximum) - state.minimum + 1;
    state.page = static_cast<int>(std::clamp<int64_t>(state.page, 0, span));
    state.position =
        std::clamp(state.position, state.minimum, std::max(LastPosition(state), state.minimum));
    const int position = state.position;
    if ((info->fMask & SIF_ALL) == 0) {
        return position;
    }
    bool hide = false;
    bool show = false;
    if ((info->fMask & (SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL)) != 0) {
        if (state.minimum >= LastPosition(state)) {
            // Nothing to scroll: the bar goes, unless the program keeps it shown but disabled.
            if ((info->fMask & SIF_DISABLENOSCROLL) != 0) {
                changed = changed || !state.disabled;
                state.disabled = true;
            } else {
                hide = changed;
            }
        } else if (info->fMask != SIF_PAGE) {
            changed = changed || state.disabled;
            state.disabled = false;
            show = changed;
        }
    }
    if (hide) {
        ShowVertical(window, false);
    } else if (!(show && ShowVertical(window, true)) && (redraw || changed)) {
        Redraw(window);
    }
    return position;
}

extern "C" BOOL WINAPI GetScrollInfo(HWND handle, int bar, LPSCROLLINFO info) {
    Window *window = Find(handle);
    ScrollBarState *state = bar == SB_VERT ? StateOf(window, false) : nullptr;
    if (state == nullptr || !ValidInfo(info)) {
        SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if ((info->fMask & SIF_RANGE) != 0) {
        info->nMin = state->minimum;
        info->nMax = state->maximum;
    }
    if ((info->fMask & SIF_PAGE) != 0) {
        info->nPage = static_cast<UINT>(state->page);
    }
    if ((info->fMask & SIF_POS) != 0) {
        info->nPos = state->position;
    }
    if ((info->fMask & SIF_TRACKPOS) != 0) {
        info->nTrackPos = state->held == Part::Thumb ? state->trackPosition : state->position;
    }
    return (info->fMask & SIF_ALL) != 0;
}

extern "C" int WINAPI SetScrollPos(HWND handle, int bar, int position, BOOL redraw) {
    ScrollBarState *state = bar == SB_VERT ? StateOf(Find(handle), true) : nullptr;
    if (state == nullptr) {
        return 0;
    }
    const int previous = state->position;
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, position, 0};
    SetScrollInfo(handle, bar, &info, redraw);
    return previous;
}

extern "C" int WINAPI GetScrollPos(HWND handle, int bar) {
    SCROLLINFO info = {sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(handle, bar, &info) ? info.nPos : 0;
}

extern "C" BOOL WINAPI SetScrollRange(HWND handle, int bar, int minimum, int maximum, BOOL redraw) {
    if (Find(handle) == nullptr || bar != SB_VERT) {
        return FALSE;
    }
    SCROLLINFO info = {sizeof info, SIF_RANGE, minimum, maximum, 0, 0, 0};
    SetScrollInfo(handle, bar, &info, redraw);
    return TRUE;
}

// A window without a bar's values answers an empty range, as Windows does.
extern "C" BOOL WINAPI GetScrollRange(HWND handle, int bar, LPINT minimum, LPINT maximum) {
    if (Find(handle) == nullptr || minimum == nullptr || maximum == nullptr) {
        return FALSE;
    }
    SCROLLINFO info = {sizeof info, SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(handle, bar, &info)) {
        info.nMin = info.nMax = 0;
    }
    *minimum = info.nMin;
    *maximum = info.nMax;
    return TRUE;
}

extern "C" BOOL WINAPI ShowScrollBar(HWND handle, int bar, BOOL show) {
    Window *window = Find(handle);
    if (window == nullptr || (bar != SB_VERT && bar != SB_BOTH)) {
        SetLastError(window == nullptr ? ERROR_INVALID_WINDOW_HANDLE : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ShowVertical(window, show != FALSE);
    return TRUE;
}
