// Sending and posting to windows. A program's message to another program's window waits in that
// program's thread until the thread next looks for messages (in its loop, a modal loop or its own
// send), and the sender waits for the reply meanwhile; the host's own stack, which cannot wait,
// runs the procedure at once in the receiving program's context. Text is converted when caller
// and procedure take different forms.
#include "user/window_state.h"

#include "kernel/scheduler.h"
#include "user/message_conversion.h"
#include "user/scroll_bars.h"
#include "user/user_thread.h"
#include "user/window_dcs.h"

namespace {

LRESULT CallProcedure(Window *window, bool callerAnsi, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC proc = window->proc;
    if (proc == nullptr) {
        return 0;
    }
    HWND handle = window->handle;
    const bool procAnsi = window->ansiProc;
    Program *receiver = FindProgram(window->program);
    Program *caller = CurrentProgram();
    if (receiver == nullptr || receiver == caller) {
        return CallWithConversion(proc, procAnsi, callerAnsi, handle, message, wParam, lParam);
    }
    if (RunsOnOwnFiber(caller) && !receiver->exited) {
        SentMessage sent = {handle, message, wParam, lParam, callerAnsi, 0, false};
        return SendToOtherThread(caller, receiver, sent);
    }
    const ProgramContext sender = EnterProgramContext(receiver);
    LRESULT result =
        CallWithConversion(proc, procAnsi, callerAnsi, handle, message, wParam, lParam);
    LeaveProgramContext(sender);
    return result;
}

LRESULT Send(HWND window, bool callerAnsi, UINT message, WPARAM wParam, LPARAM lParam) {
    Window *found = FindWindowObject(window);
    if (found == nullptr || found == RootWindow()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CallProcedure(found, callerAnsi, message, wParam, lParam);
}

LRESULT Dispatch(const MSG *message, bool callerAnsi) {
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
    return CallProcedure(window, callerAnsi, message->message, message->wParam, message->lParam);
}

bool IsCharacterMessage(UINT message) {
    return message == WM_CHAR || message == WM_SYSCHAR || message == WM_DEADCHAR ||
           message == WM_SYSDEADCHAR;
}

} // namespace

void ReceiveSentMessages(Program *program) {
    std::deque<SentMessage *> &pending = UserInfo(program).sentToThread;
    while (!pending.empty()) {
        SentMessage *sent = pending.front();
        pending.pop_front();
        Window *window = FindWindowObject(sent->window);
        sent->result =
            window != nullptr && window != RootWindow() && window->proc != nullptr
                ? CallWithConversion(window->proc, window->ansiProc, sent->callerAnsi, sent->window,
                                     sent->message, sent->wParam, sent->lParam)
                : 0;
        sent->replied = true;
    }
}

extern "C" LRESULT WINAPI SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(window, false, message, wParam, lParam);
}

extern "C" LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(window, true, message, wParam, lParam);
}

// Queues hold characters in UTF-16; an ANSI program's are converted on the way in and out.
extern "C" BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(window, message,
                        IsCharacterMessage(message) ? WideCharacterOf(wParam) : wParam, lParam);
}

extern "C" BOOL WINAPI GetMessageA(LPMSG message, HWND window, UINT first, UINT last) {
    const BOOL result = GetMessageW(message, window, first, last);
    if (result > 0 && IsCharacterMessage(message->message)) {
        message->wParam = AnsiCharacterOf(message->wParam);
    }
    return result;
}

extern "C" BOOL WINAPI PeekMessageA(LPMSG message, HWND window, UINT first, UINT last,
                                    UINT remove) {
    const BOOL result = PeekMessageW(message, window, first, last, remove);
    if (result && IsCharacterMessage(message->message)) {
        message->wParam = AnsiCharacterOf(message->wParam);
    }
    return result;
}

extern "C" LRESULT WINAPI DispatchMessageA(const MSG *message) {
    return Dispatch(message, true);
}

extern "C" LRESULT WINAPI CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    return CallWithConversion(proc, ProcedureTakesAnsi(proc, true), true, window, message, wParam,
                              lParam);
}

extern "C" LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithConversion(DefWindowProcW, false, true, window, message, wParam, lParam);
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
    UserInfo(program).queue.push_back(posted);
    return TRUE;
}

extern "C" LRESULT WINAPI DispatchMessageW(const MSG *message) {
    return Dispatch(message, false);
}

extern "C" LRESULT WINAPI CallWindowProcW(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    return CallWithConversion(proc, ProcedureTakesAnsi(proc, false), false, window, message, wParam,
                              lParam);
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
