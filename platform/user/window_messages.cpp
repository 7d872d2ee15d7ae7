// Sending and posting to windows. A message sent to another program's window runs that
// window's procedure at once, in the receiving program's context.
#include "user/window_state.h"

#include "device/scheduler.h"
#include "user/scroll_bars.h"
#include "user/window_dcs.h"

namespace {

LRESULT CallProcedure(Window *window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = window->proc;
    if (proc == nullptr) {
        return 0;
    }
    HWND handle = window->handle;
    Program *receiver = FindProgram(window->program);
    if (receiver == nullptr || receiver == CurrentProgram()) {
        return proc(handle, message, wParam, lParam);
    }
    Program *sender = EnterProgramContext(receiver);
    LRESULT result = proc(handle, message, wParam, lParam);
    EnterProgramContext(sender);
    return result;
}

} // namespace

extern "C" LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *found = FindWindowObject(window);
    if (found == nullptr || found == RootWindow()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CallProcedure(found, message, wParam, lParam);
}

extern "C" BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr) {
        return PostThreadMessageW(GetCurrentThreadId(), message, wParam, lParam);
    }
    Window *found = FindWindowObject(window);
    Program *program = found != nullptr ? FindProgram(found->program) : nullptr;
    if (program == nullptr || program->exited) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    MSG posted = {};
    posted.hwnd = window;
    posted.message = message;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.time = DeviceTime();
    program->queue.push_back(posted);
    return TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageW(const MSG *message) {
    if (message == nullptr) {
        return 0;
    }
    if (message->message == WM_TIMER && message->lParam != 0) {
        reinterpret_cast<TIMERPROC>(message->lParam)(
            message->hwnd, WM_TIMER, static_cast<UINT_PTR>(message->wParam), DeviceTime());
        return 0;
    }
    Window *window = FindWindowObject(message->hwnd);
    if (window == nullptr || window == RootWindow()) {
        return 0;
    }
    return CallProcedure(window, message->message, message->wParam, message->lParam);
}

extern "C" LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

extern "C" LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *found = FindWindowObject(window);
    if (found == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_SETTEXT:
        found->text = lParam != 0 ? reinterpret_cast<LPCWSTR>(lParam) : u"";
        found->frameDirty = true;
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || lParam == 0) {
            return 0;
        }
        LPWSTR text = reinterpret_cast<LPWSTR>(lParam);
        lstrcpynW(text, found->text.c_str(), static_cast<int>(wParam));
        return lstrlenW(text);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(found->text.size());
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_PAINT:
    case WM_ERASEBKGND:
        return DefaultPaintMessage(window, message, wParam);
    case WM_NCLBUTTONDOWN:
        if (wParam == HTVSCROLL) {
            TrackVerticalScrollBar(window, POINT{static_cast<short>(LOWORD(lParam)),
                                                 static_cast<short>(HIWORD(lParam))});
        }
        return 0;
    }
    return 0;
}
