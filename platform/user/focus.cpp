// Focus, activation and capture, kept per program as Win32 keeps them per thread, and the one
// foreground window of the machine.
#include "user/input.h"
#include "user/window_state.h"

#include "kernel/scheduler.h"
#include "user/user_thread.h"

namespace {

Window *TopLevel(Window *window) {
    while (window != nullptr && window->parent != nullptr && window->parent != RootWindow()) {
        window = window->parent;
    }
    return window;
}

Program *OwnerOf(const Window *window) {
    return window != nullptr ? FindProgram(window->program) : nullptr;
}

// Makes window the active one of its program, telling the one it replaces.
HWND Activate(Window *window) {
    Program *program = OwnerOf(window);
    HWND &active = program != nullptr ? UserInfo(program).active : Input().foreground;
    HWND previous = active;
    const HWND handle = window->handle;
    if (previous == handle) {
        return previous;
    }
    active = handle;
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(handle));
    }
    SendMessageW(handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    return previous;
}

} // namespace

extern "C" HWND WINAPI GetForegroundWindow(void) {
    return Input().foreground;
}

// A message sent to another program's window lets that program run, and it may end and take its
// windows with it: the window is looked up again by its handle after each send.
extern "C" BOOL WINAPI SetForegroundWindow(HWND handle) {
    Window *window = TopLevel(FindWindowObject(handle));
    if (window == nullptr || window == RootWindow()) {
        return FALSE;
    }
    const HWND front = window->handle;
    SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND previous = Input().foreground;
    if (previous == front) {
        return TRUE;
    }
    Input().foreground = front;
    Window *previousWindow = previous != nullptr ? FindWindowObject(previous) : nullptr;
    window = FindWindowObject(front);
    if (window != nullptr && previousWindow != nullptr &&
        OwnerOf(previousWindow) != OwnerOf(window)) {
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(front));
    }
    window = FindWindowObject(front);
    if (window == nullptr) {
        return FALSE;
    }
    // Coming to the front activates the window even if it was its program's active one.
    Program *program = OwnerOf(window);
    if (program != nullptr && UserInfo(program).active == front) {
        SendMessageW(front, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    } else {
        Activate(window);
    }
    return TRUE;
}

extern "C" HWND WINAPI GetActiveWindow(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? UserInfo(program).active : Input().foreground;
}

extern "C" HWND WINAPI SetActiveWindow(HWND handle) {
    Window *window = TopLevel(FindWindowObject(handle));
    if (window == nullptr || window == RootWindow() || OwnerOf(window) != CurrentProgram()) {
        return nullptr;
    }
    Program *program = CurrentProgram();
    bool inFront =
        Input().foreground != nullptr && OwnerOf(FindWindowObject(Input().foreground)) == program;
    HWND previous = Activate(window);
    if (inFront) {
        Input().foreground = window->handle;
    }
    return previous;
}

extern "C" HWND WINAPI GetFocus(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? UserInfo(program).focus : nullptr;
}

extern "C" HWND WINAPI SetFocus(HWND handle) {
    Program *program = CurrentProgram();
    Window *window = handle != nullptr ? FindWindowObject(handle) : nullptr;
    if (program == nullptr ||
        (handle != nullptr && (window == nullptr || OwnerOf(window) != program))) {
        return nullptr;
    }
    HWND previous = UserInfo(program).focus;
    if (previous == handle) {
        return previous;
    }
    if (window != nullptr && UserInfo(program).active != TopLevel(window)->handle) {
        SetActiveWindow(handle);
    }
    UserInfo(program).focus = handle;
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(handle), 0);
    }
    if (handle != nullptr) {
        SendMessageW(handle, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    }
    return previous;
}

extern "C" HWND WINAPI GetCapture(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? UserInfo(program).capture : Input().inputCapture;
}

extern "C" HWND WINAPI SetCapture(HWND handle) {
    Window *window = FindWindowObject(handle);
    Program *program = CurrentProgram();
    if (window == nullptr || OwnerOf(window) != program) {
        return nullptr;
    }
    HWND previous = program != nullptr ? UserInfo(program).capture : Input().inputCapture;
    if (program != nullptr) {
        UserInfo(program).capture = handle;
    }
    Input().inputCapture = handle;
    return previous;
}

extern "C" BOOL WINAPI ReleaseCapture(void) {
    Program *program = CurrentProgram();
    HWND previous = program != nullptr ? UserInfo(program).capture : Input().inputCapture;
    if (program != nullptr) {
        UserInfo(program).capture = nullptr;
    }
    if (Input().inputCapture == previous) {
        Input().inputCapture = nullptr;
    }
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    }
    return TRUE;
}

extern "C" BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    Window *window = FindWindowObject(handle);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = (window->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) {
        return wasDisabled;
    }
    window->style = enable ? window->style & ~WS_DISABLED : window->style | WS_DISABLED;
    // Controls draw their disabled look from this; the window may go while it is told.
    SendMessageW(handle, WM_ENABLE, enable ? TRUE : FALSE, 0);
    return wasDisabled;
}

extern "C" BOOL WINAPI IsWindowEnabled(HWND handle) {
    Window *window = FindWindowObject(handle);
    return window != nullptr && (window->style & WS_DISABLED) == 0;
}

void ForgetInputWindow(HWND handle) {
    if (Input().foreground == handle) {
        Input().foreground = nullptr;
    }
    if (Input().inputCapture == handle) {
        Input().inputCapture = nullptr;
    }
    Window *window = FindWindowObject(handle);
    if (Program *program = OwnerOf(window)) {
        if (UserInfo(program).focus == handle) {
            UserInfo(program).focus = nullptr;
        }
        if (UserInfo(program).active == handle) {
            UserInfo(program).active = nullptr;
        }
        if (UserInfo(program).capture == handle) {
            UserInfo(program).capture = nullptr;
        }
    }
}
