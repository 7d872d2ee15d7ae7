// Creating and destroying windows, with the messages Windows CE sends on the way.
#include "user/input.h"
#include "user/window_state.h"

#include "kernel/scheduler.h"
#include "user/screen.h"

namespace {

void SendSizeAndMove(Window *window) {
    SIZE size = ClientSize(window);
    SendMessageW(window->handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(size.cx, size.cy));
    SendMessageW(window->handle, WM_MOVE, 0, MAKELPARAM(window->rect.left, window->rect.top));
}

} // namespace

extern "C" HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName,
                                       DWORD style, int x, int y, int width, int height,
                                       HWND parent, HANDLE menu, HINSTANCE instance,
                                       LPVOID parameter) {
    const WindowClass *windowClass = className != nullptr ? FindWindowClass(className) : nullptr;
    if (windowClass == nullptr) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    Window *parentWindow = parent != nullptr ? FindWindowObject(parent) : nullptr;
    if ((parent != nullptr && parentWindow == nullptr) ||
        ((style & WS_CHILD) != 0 && parentWindow == nullptr)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }

    auto window = std::make_unique<Window>();
    window->windowClass = windowClass;
    window->text = windowName != nullptr ? windowName : u"";
    window->style = style;
    window->exStyle = exStyle;
    if ((style & WS_CHILD) != 0) {
        window->parent = parentWindow;
        window->id = reinterpret_cast<LONG_PTR>(menu);
    } else if (parentWindow != nullptr && parentWindow != RootWindow()) {
        // A top-level window's "parent" is its owner: always a top-level window.
        Window *owner = parentWindow;
        while (owner->parent != nullptr && owner->parent != RootWindow()) {
            owner = owner->parent;
        }
        window->owner = owner;
    }
    if (x == CW_USEDEFAULT) {
        x = y = 0;
    }
    if (width == CW_USEDEFAULT) {
        RECT screen = RootWindow()->rect;
        width = screen.right;
        height = screen.bottom;
    }
    window->rect = {x, y, x + (width > 0 ? width : 0), y + (height > 0 ? height : 0)};
    window->proc = windowClass->description.lpfnWndProc;
    window->ansiProc = windowClass->ansi;
    window->instance = instance;
    window->extra.assign(static_cast<size_t>(windowClass->description.cbWndExtra), 0);
    window->program = GetCurrentThreadId();
    Window *created = AddWindow(std::move(window));

    CREATESTRUCTW creation = {parameter, instance, menu,        parent,     height,    width,
                              y,         x,        (LONG)style, windowName, className, exStyle};
    HWND handle = created->handle;
    if (SendMessageW(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&creation)) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    if (!IsWindow(handle)) {
        return nullptr; // destroyed while it was being created
    }
    SendSizeAndMove(created);
    if ((created->style & WS_VISIBLE) != 0) {
        InvalidateWholeWindow(created);
        ScreenLayoutChanged();
    }
    return handle;
}

namespace {

// The window that comes to the front when the one in front goes: its owner, or else the first
// window from the top that can be activated, as Windows does.
bool CanTakeTheFront(HWND window) {
    return IsWindowVisible(window) && IsWindowEnabled(window) &&
           (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) == 0;
}

void ActivateAfterDestroyed(Window *owner) {
    if (owner != nullptr && CanTakeTheFront(owner->handle)) {
        SetForegroundWindow(owner->handle);
        return;
    }
    for (HWND next = GetWindow(GetDesktopWindow(), GW_CHILD); next != nullptr;
         next = GetWindow(next, GW_HWNDNEXT)) {
        if (CanTakeTheFront(next)) {
            SetForegroundWindow(next);
            return;
        }
    }
}

} // namespace

extern "C" BOOL WINAPI DestroyWindow(HWND handle) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr || window == RootWindow() || window->destroying) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    window->destroying = true;
    // Owned windows go first, then the window is told, then its children, last to first.
    std::vector<HWND> owned;
    for (HWND sibling = GetWindow(GetDesktopWindow(), GW_CHILD); sibling != nullptr;
         sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (FindWindowObject(sibling)->owner == window) {
            owned.push_back(sibling);
        }
    }
    for (HWND ownedWindow : owned) {
        DestroyWindow(ownedWindow);
    }
    SendMessageW(handle, WM_DESTROY, 0, 0);
    std::vector<HWND> children;
    for (Window *child : window->children) {
        children.push_back(child->handle);
    }
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        DestroyWindow(*child);
    }
    const bool wasForeground = GetForegroundWindow() == handle;
    Window *owner = window->owner;
    ForgetInputWindow(handle);
    ForgetWindow(window);
    if (wasForeground) {
        ActivateAfterDestroyed(owner);
    }
    return TRUE;
}
