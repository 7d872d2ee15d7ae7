// Invalidating, validating and painting windows.
#include "user/painting.h"

#include "gdi/device_contexts.h"
#include "user/screen.h"
#include "user/window_dcs.h"

#include <algorithm>

namespace {

Window *Find(HWND handle) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

RECT WholeClient(const Window *window) {
    const SIZE size = ClientSize(window);
    return RECT{0, 0, size.cx, size.cy};
}

// The update region is kept as its bounding rectangle: painting more than Windows would is never
// visible, as the window draws the same pixels again.
void Unite(RECT &update, const RECT &rect) {
    if (IsRectEmpty(&update)) {
        update = rect;
    } else {
        UnionRect(&update, &update, &rect);
    }
}

Window *NeedingPaint(Window *window, DWORD program, HWND filter) {
    if ((window->style & WS_VISIBLE) == 0) {
        return nullptr;
    }
    if (window->program == program && !IsRectEmpty(&window->update) &&
        (filter == nullptr || IsWindowOrDescendant(filter, window->handle))) {
        return window;
    }
    for (Window *child : window->children) {
        if (Window *found = NeedingPaint(child, program, filter)) {
            return found;
        }
    }
    return nullptr;
}

// Erases what the DC may touch with the class brush; false when the class has none.
bool EraseWithClassBrush(Window *window, HDC dc) {
    HBRUSH brush =
        window->windowClass != nullptr ? window->windowClass->description.hbrBackground : nullptr;
    if (brush == nullptr) {
        return false;
    }
    RECT client = WholeClient(window);
    FillRect(dc, &client, brush);
    return true;
}

} // namespace

void InvalidateClientRect(Window *window, const RECT &rect, bool erase) {
    RECT clipped;
    const RECT client = WholeClient(window);
    if (!IntersectRect(&clipped, &rect, &client)) {
        return;
    }
    Unite(window->update, clipped);
    window->eraseUpdate = window->eraseUpdate || erase;
}

void InvalidateScreenBox(Window *window, const Box &box) {
    const Box client = ClientBox(window);
    const Box inside = Intersect(box, client);
    if (!inside.Empty()) {
        InvalidateClientRect(window,
                             RECT{inside.left - client.left, inside.top - client.top,
                                  inside.right - client.left, inside.bottom - client.top},
                             true);
    }
    if (inside.left != box.left || inside.top != box.top || inside.right != box.right ||
        inside.bottom != box.bottom) {
        window->frameDirty = true;
    }
}

HWND WindowNeedingPaint(Program *program, HWND filter) {
    SyncScreen();
    for (HWND handle = GetWindow(GetDesktopWindow(), GW_CHILD); handle != nullptr;
         handle = GetWindow(handle, GW_HWNDNEXT)) {
        if (Window *found = NeedingPaint(FindWindowObject(handle), program->id, filter)) {
            return found->handle;
        }
    }
    return nullptr;
}

extern "C" BOOL WINAPI InvalidateRect(HWND handle, const RECT *rect, BOOL erase) {
    if (handle == nullptr) {
        // Windows repaints every window then.
        for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
            InvalidateWholeWindow(FindWindowObject(window));
        }
        return TRUE;
    }
    Window *window = Find(handle);
    if (window == nullptr || window == RootWindow()) {
        return FALSE;
    }
    InvalidateClientRect(window, rect != nullptr ? *rect : WholeClient(window), erase != FALSE);
    return TRUE;
}

extern "C" BOOL WINAPI ValidateRect(HWND handle, const RECT *rect) {
    Window *window = Find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    // What recent changes exposed is part of what is validated.
    SyncScreen();
    if (rect == nullptr) {
        SetRectEmpty(&window->update);
    } else {
        // What is left of the bounding rectangle, when the rectangle takes a whole side off it.
        RECT remaining;
        SubtractRect(&remaining, &window->update, rect);
        window->update = remaining;
    }
    if (IsRectEmpty(&window->update)) {
        SetRectEmpty(&window->update);
        window->eraseUpdate = false;
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetUpdateRect(HWND handle, LPRECT rect, BOOL erase) {
    Window *window = Find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    SyncScreen();
    if (erase && window->eraseUpdate && !IsRectEmpty(&window->update)) {
        HDC dc = CreateWindowDc(handle, false);
        LimitWindowDc(dc, window->update);
        window->eraseUpdate =
            SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
        ReleaseDC(handle, dc);
    }
    if (rect != nullptr) {
        *rect = window->update;
        if (IsRectEmpty(rect)) {
            SetRectEmpty(rect);
        }
    }
    return !IsRectEmpty(&window->update);
}

extern "C" BOOL WINAPI UpdateWindow(HWND handle) {
    Window *window = Find(handle);
    if (window == nullptr) {
        return FALSE;
    }
    SyncScreen();
    if (IsShown(window) && !IsRectEmpty(&window->update)) {
        SendMessageW(handle, WM_PAINT, 0, 0);
    }
    return TRUE;
}

extern "C" HDC WINAPI BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    Window *window = Find(handle);
    if (window == nullptr || paint == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SyncScreen();
    const RECT update = window->update;
    const bool erase = window->eraseUpdate;
    SetRectEmpty(&window->update);
    window->eraseUpdate = false;

    HDC dc = CreateWindowDc(handle, false);
    LimitWindowDc(dc, update);
    bool erased = false;
    if (erase && !IsRectEmpty(&update)) {
        erased = SendMessageW(handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) != 0;
    }
    *paint = PAINTSTRUCT{};
    paint->hdc = dc;
    paint->fErase = erase && !erased;
    paint->rcPaint = update;
    return dc;
}

extern "C" BOOL WINAPI EndPaint(HWND handle, const PAINTSTRUCT *paint) {
    if (paint == nullptr) {
        return FALSE;
    }
    ReleaseDC(handle, paint->hdc);
    return TRUE;
}

LRESULT DefaultPaintMessage(HWND handle, UINT message, WPARAM wParam) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        return 0;
    }
    if (message == WM_ERASEBKGND) {
        return EraseWithClassBrush(window, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    }
    PAINTSTRUCT paint;
    BeginPaint(handle, &paint);
    EndPaint(handle, &paint);
    return 0;
}
