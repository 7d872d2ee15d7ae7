// Focus, activation and capture, kept per program as Win32 keeps them per thread, and the one
// foreground window of the device.
#include "user/input.h"
#include "user/window_state.h"

#include "device/scheduler.h"

namespace {

HWND foreground = nullptr;
HWND inputCapture = nullptr;

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
    HWND &active = program != nullptr ? program->active : foreground;
    HWND previous = active;
    if (previous == window->handle) {
        return previous;
    }
    active = window->handle;
    if (previous != nullptr && IsWindow(previous)) {
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(window->handle));
    }
    SendMessageW(window->handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    return previous;
}

} // namespace

extern "C" HWND WINAPI GetForegroundWindow(void) {
    return foreground;
}

extern "C" BOOL WINAPI SetForegroundWindow(HWND handle) {
    Window *window = TopLevel(FindWindowObject(handle));
    if (window == nullptr || window == RootWindow()) {
        return FALSE;
    }
    SetWindowPos(window->handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    HWND previous = foreground;
    if (previous == window->handle) {
        return TRUE;
    }
    foreground = window->handle;
    Window *previousWindow = previous != nullptr ? FindWindowObject(previous) : nullptr;
    if (previousWindow != nullptr && OwnerOf(previousWindow) != OwnerOf(window)) {
        SendMessageW(previous, WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(foreground));
    }
    // Coming to the front activates the window even if it was its program's active one.
    Program *program = OwnerOf(window);
    if (program != nullptr && program->active == window->handle) {
        SendMessageW(window->handle, WM_ACTIVATE, WA_ACTIVE, reinterpret_cast<LPARAM>(previous));
    } else {
        Activate(window);
    }
    return TRUE;
}

extern "C" HWND WINAPI GetActiveWindow(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? program->active : foreground;
}

extern "C" HWND WINAPI SetActiveWindow(HWND handle) {
    Window *window = TopLevel(FindWindowObject(handle));
    if (window == nullptr || window == RootWindow() || OwnerOf(window) != CurrentProgram()) {
        return nullptr;
    }
    Program *program = CurrentProgram();
    bool inFront = foreground != nullptr && OwnerOf(FindWindowObject(foreground)) == program;
    HWND previous = Activate(window);
    if (inFront) {
        foreground = window->handle;
    }
    return previous;
}

extern "C" HWND WINAPI GetFocus(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? program->focus : nullptr;
}

extern "C" HWND WINAPI SetFocus(HWND handle) {
    Program *program = CurrentProgram();
    Window *window = handle != nullptr ? FindWindowObject(handle) : nullptr;
    if (program == nullptr ||
        (handle != nullptr && (window == nullptr || OwnerOf(window) != program))) {
        return nullptr;
    }
    HWND previous = program->focus;
    if (previous == handle) {
        return previous;
    }
    if (window != nullptr && program->active != TopLevel(window)->handle) {
        SetActiveWindow(handle);
    }
    program->focus = handle;
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
    return program != nullptr ? program->capture : inputCapture;
}

extern "C" HWND WINAPI SetCapture(HWND handle) {
    Window *window = FindWindowObject(handle);
    Program *program = CurrentProgram();
    if (window == nullptr || OwnerOf(window) != program) {
        return nullptr;
    }
    HWND previous = program != nullptr ? program->capture : inputCapture;
    if (program != nullptr) {
        program->capture = handle;
    }
    inputCapture = handle;
    return previous;
}

extern "C" BOOL WINAPI ReleaseCapture(void) {
    Program *program = CurrentProgram();
    HWND previous = program != nullptr ? program->capture : inputCapture;
    if (program != nullptr) {
        program->capture = nullptr;
    }
    if (inputCapture == previous) {
        inputCapture = nullptr;
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

HWND InputCapture() {
    return inputCapture;
}

void ForgetInputWindow(HWND handle) {
    if (foreground == handle) {
        foreground = nullptr;
    }
    if (inputCapture == handle) {
        inputCapture = nullptr;
    }
    Window *window = FindWindowObject(handle);
    if (Program *program = OwnerOf(window)) {
        if (program->focus == handle) {
            program->focus = nullptr;
        }
        if (program->active == handle) {
            program->active = nullptr;
        }
        if (program->capture == handle) {
            program->capture = nullptr;
        }
    }
}

void ResetFocus() {
    foreground = nullptr;
    inputCapture = nullptr;
}
