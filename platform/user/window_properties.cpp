// A window's text, styles, extra values, place on the screen and visibility.
#include "user/message_conversion.h"
#include "user/window_state.h"

#include <algorithm>
#include <cstring>

#include "kernel/scheduler.h"
#include "user/screen.h"

namespace {

Window *Find(HWND handle) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return window;
}

bool ExtraInRange(const Window *window, int index, size_t bytes) {
    return index >= 0 && static_cast<size_t>(index) + bytes <= window->extra.size();
}

LONG_PTR GetLong(HWND handle, int index, size_t bytes) {
    Window *window = Find(handle);
    if (window == nullptr) {
        return 0;
    }
    switch (index) {
    case GWL_WNDPROC:
        return reinterpret_cast<LONG_PTR>(window->proc);
    case GWL_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(window->instance);
    case GWL_ID:
        return window->id;
    case GWL_STYLE:
        return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window->exStyle);
    case GWL_USERDATA:
        return window->userData;
    }
    if (!ExtraInRange(window, index, bytes)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    LONG_PTR value = 0;
    if (bytes == sizeof(LONG)) {
        LONG narrow;
        std::memcpy(&narrow, window->extra.data() + index, sizeof narrow);
        value = narrow;
    } else {
        std::memcpy(&value, window->extra.data() + index, sizeof value);
    }
    return value;
}

// The dialog's own pointer-sized values that hold numbers rather than addresses.
bool IsDialogResultSlot(const Window *window, int index) {
    return (index == DWL_MSGRESULT || index == DWL_USER) && window->windowClass != nullptr &&
           window->windowClass->name == u"Dialog" &&
           window->extra.size() >= static_cast<size_t>(DLGWINDOWEXTRA);
}

LONG_PTR SetLong(HWND handle, int index, LONG_PTR value, size_t bytes) {
    Window *window = Find(handle);
    if (window == nullptr || window == RootWindow()) {
        return 0;
    }
    LONG_PTR previous = GetLong(handle, index, bytes);
    switch (index) {
    case GWL_WNDPROC:
        // Windows CE lets any program subclass any window. The A call marks the procedure ANSI
        // after this.
        window->proc = reinterpret_cast<WNDPROC>(value);
        window->ansiProc = false;
        NoteProcedureForm(window->proc, false);
        return previous;
    case GWL_HINSTANCE:
        window->instance = reinterpret_cast<HINSTANCE>(value);
        return previous;
    case GWL_ID:
        window->id = value;
        return previous;
    case GWL_STYLE:
        if (((window->style ^ static_cast<DWORD>(value)) & WS_VISIBLE) != 0 &&
            (value & WS_VISIBLE) != 0) {
            InvalidateWholeWindow(window);
        }
        window->style = static_cast<DWORD>(value);
        ScreenLayoutChanged();
        return previous;
    case GWL_EXSTYLE:
        window->exStyle = static_cast<DWORD>(value);
        window->frameDirty = true;
        return previous;
    case GWL_USERDATA:
        window->userData = value;
        return previous;
    }
    if (!ExtraInRange(window, index, bytes)) {
        SetLastError(ERROR_INVALID_INDEX);
        return 0;
    }
    if (bytes == sizeof(LONG) && IsDialogResultSlot(window, index)) {
        // Dialog procedures written for 32 bits set their results with SetWindowLong; the whole
        // slot takes the value, so that -1 reaches the sender as -1.
        const LONG_PTR wide = static_cast<LONG>(value);
        std::memcpy(window->extra.data() + index, &wide, sizeof wide);
    } else if (bytes == sizeof(LONG)) {
        LONG narrow = static_cast<LONG>(value);
        std::memcpy(window->extra.data() + index, &narrow, sizeof narrow);
    } else {
        std::memcpy(window->extra.data() + index, &value, sizeof value);
    }
    return previous;
}

void Restack(Window *window, HWND insertAfter) {
    std::vector<Window *> &siblings = SiblingsOf(window);
    siblings.erase(std::find(siblings.begin(), siblings.end(), window));
    if (insertAfter == HWND_TOPMOST || insertAfter == HWND_NOTOPMOST) {
        if (window->parent == nullptr) {
            window->exStyle = insertAfter == HWND_TOPMOST ? window->exStyle | WS_EX_TOPMOST
                                                          : window->exStyle & ~WS_EX_TOPMOST;
        }
        insertAfter = HWND_TOP;
    }
    // Top-level windows keep the top-most band in front; a window moves only within its band.
    auto bandBegin = siblings.begin();
    auto bandEnd = siblings.end();
    if (window->parent == nullptr) {
        auto split = std::find_if(siblings.begin(), siblings.end(), [](Window *sibling) {
            return (sibling->exStyle & WS_EX_TOPMOST) == 0;
        });
        bool topMost = (window->exStyle & WS_EX_TOPMOST) != 0;
        bandBegin = topMost ? siblings.begin() : split;
        bandEnd = topMost ? split : siblings.end();
    }
    auto position = bandBegin;
    if (insertAfter == HWND_BOTTOM) {
        position = bandEnd;
    } else if (insertAfter != HWND_TOP) {
        auto after = std::find_if(siblings.begin(), siblings.end(),
                                  [&](Window *sibling) { return sibling->handle == insertAfter; });
        position = after != siblings.end() ? std::clamp(after + 1, bandBegin, bandEnd) : bandBegin;
    }
    siblings.insert(position, window);
}

} // namespace

extern "C" LONG WINAPI GetWindowLongW(HWND window, int index) {
    return static_cast<LONG>(GetLong(window, index, sizeof(LONG)));
}

extern "C" LONG WINAPI SetWindowLongW(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetLong(window, index, value, sizeof(LONG)));
}

extern "C" LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    return GetLong(window, index, sizeof(LONG_PTR));
}

extern "C" LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
    return SetLong(window, index, value, sizeof(LONG_PTR));
}

extern "C" BOOL WINAPI SetWindowTextW(HWND window, LPCWSTR text) {
    if (Find(window) == nullptr) {
        return FALSE;
    }
    return SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

// A program's own windows answer WM_GETTEXT; another program's window is read directly, as on
// Windows, so that a hung program cannot block the caller.
extern "C" int WINAPI GetWindowTextW(HWND handle, LPWSTR text, int size) {
    Window *window = Find(handle);
    if (window == nullptr || text == nullptr || size <= 0) {
        return 0;
    }
    if (window->program == GetCurrentThreadId()) {
        return static_cast<int>(SendMessageW(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                             reinterpret_cast<LPARAM>(text)));
    }
    lstrcpynW(text, window->text.c_str(), size);
    return lstrlenW(text);
}

extern "C" int WINAPI GetWindowTextLengthW(HWND handle) {
    Window *window = Find(handle);
    if (window == nullptr) {
        return 0;
    }
    if (window->program == GetCurrentThreadId()) {
        return static_cast<int>(SendMessageW(handle, WM_GETTEXTLENGTH, 0, 0));
    }
    return static_cast<int>(window->text.size());
}

extern "C" DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    Window *window = Find(handle);
    DWORD program = window != nullptr ? window->program : 0;
    if (processId != nullptr) {
        *processId = program;
    }
    return program;
}

extern "C" BOOL WINAPI IsWindowVisible(HWND handle) {
    for (Window *window = FindWindowObject(handle); window != nullptr; window = window->parent) {
        if ((window->style & WS_VISIBLE) == 0) {
            return FALSE;
        }
    }
    return FindWindowObject(handle) != nullptr;
}

extern "C" BOOL WINAPI ShowWindow(HWND handle, int command) {
    Window *window = Find(handle);
    if (window == nullptr || window == RootWindow()) {
        return FALSE;
    }
    BOOL wasVisible = (window->style & WS_VISIBLE) != 0;
    // A minimised window leaves the screen until it is shown again.
    if (command == SW_MINIMIZE) {
        window->style |= WS_MINIMIZE;
    } else if (command != SW_HIDE) {
        window->style &= ~WS_MINIMIZE;
    }
    bool show = command != SW_HIDE && command != SW_MINIMIZE;
    if (show != static_cast<bool>(wasVisible)) {
        SendMessageW(handle, WM_SHOWWINDOW, show, 0);
        window->style = show ? window->style | WS_VISIBLE : window->style & ~WS_VISIBLE;
        if (show) {
            InvalidateWholeWindow(window);
        }
        ScreenLayoutChanged();
    }
    return wasVisible;
}

extern "C" BOOL WINAPI SetWindowPos(HWND handle, HWND insertAfter, int x, int y, int width,
                                    int height, UINT flags) {
    Window *window = Find(handle);
    if (window == nullptr || window == RootWindow()) {
        return FALSE;
    }
    RECT old = window->rect;
    if ((flags & SWP_NOMOVE) == 0) {
        OffsetRect(&window->rect, x - old.left, y - old.top);
    }
    if ((flags & SWP_NOSIZE) == 0) {
        window->rect.right = window->rect.left + std::max(width, 0);
        window->rect.bottom = window->rect.top + std::max(height, 0);
    }
    if ((flags & SWP_NOZORDER) == 0) {
        Restack(window, insertAfter);
    }
    if ((flags & SWP_SHOWWINDOW) != 0) {
        ShowWindow(handle, SW_SHOWNA);
    } else if ((flags & SWP_HIDEWINDOW) != 0) {
        ShowWindow(handle, SW_HIDE);
    }
    bool moved = window->rect.left != old.left || window->rect.top != old.top;
    bool sized = window->rect.right - window->rect.left != old.right - old.left ||
                 window->rect.bottom - window->rect.top != old.bottom - old.top;
    if (moved || sized) {
        // Its pixels are not carried along: the window paints itself again where it lands.
        InvalidateWholeWindow(window);
    }
    // A window left where it was, in its place in the Z order, changes nothing on the screen.
    if (moved || sized || (flags & SWP_NOZORDER) == 0) {
        ScreenLayoutChanged();
    }
    SendMessageW(handle, WM_WINDOWPOSCHANGED, 0, 0);
    if (sized) {
        SIZE size = ClientSize(window);
        SendMessageW(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    }
    if (moved) {
        SendMessageW(handle, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
    }
    return TRUE;
}

extern "C" BOOL WINAPI MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
    return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

extern "C" BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    Window *window = Find(handle);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    *rect = window->rect;
    if (window->parent != nullptr && window->parent != RootWindow()) {
        POINT origin = ClientOrigin(window->parent);
        OffsetRect(rect, origin.x, origin.y);
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    Window *window = Find(handle);
    if (window == nullptr || rect == nullptr) {
        return FALSE;
    }
    SIZE size = ClientSize(window);
    *rect = {0, 0, size.cx, size.cy};
    return TRUE;
}

extern "C" BOOL WINAPI ClientToScreen(HWND handle, LPPOINT point) {
    Window *window = Find(handle);
    if (window == nullptr || point == nullptr) {
        return FALSE;
    }
    POINT origin = window == RootWindow() ? POINT{0, 0} : ClientOrigin(window);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

extern "C" BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
    Window *window = Find(handle);
    if (window == nullptr || point == nullptr) {
        return FALSE;
    }
    POINT origin = window == RootWindow() ? POINT{0, 0} : ClientOrigin(window);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}
