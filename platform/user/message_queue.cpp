// Each program's message queue. A timer's WM_TIMER and a posted quit are made when the queue has
// nothing else, as Windows does.
#include "kernel/scheduler.h"
#include "user/user_thread.h"
#include "user/painting.h"
#include "user/window_state.h"

#include <algorithm>

namespace {

// Windows never lets a timer run faster than this.
const UINT minimumTimerInterval = 10;

// A window filter takes the window's own messages and those of the windows inside it.
bool InFilter(const MSG &message, HWND window, UINT first, UINT last) {
    bool windowMatches = window == nullptr || (window == reinterpret_cast<HWND>(-1)
                                                   ? message.hwnd == nullptr
                                                   : IsWindowOrDescendant(window, message.hwnd));
    bool messageMatches =
        (first == 0 && last == 0) || (message.message >= first && message.message <= last);
    return windowMatches && messageMatches;
}

MSG MakeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG made = {};
    made.hwnd = window;
    made.message = message;
    made.wParam = wParam;
    made.lParam = lParam;
    made.time = DeviceTime();
    return made;
}

ProgramTimer *DueTimer(Program *program, HWND window, UINT first, UINT last) {
    for (ProgramTimer &timer : UserInfo(program).timers) {
        MSG probe = MakeMessage(timer.window, WM_TIMER, timer.id, 0);
        if (timer.due <= DeviceTime() && InFilter(probe, window, first, last)) {
            return &timer;
        }
    }
    return nullptr;
}

// The next message within the filter, taken off the queue when remove is set.
bool TakeMessage(Program *program, MSG *message, HWND window, UINT first, UINT last, bool remove) {
    auto found =
        std::find_if(UserInfo(program).queue.begin(), UserInfo(program).queue.end(),
                     [&](const MSG &queued) { return InFilter(queued, window, first, last); });
    if (found != UserInfo(program).queue.end()) {
        *message = *found;
        if (remove) {
            UserInfo(program).queue.erase(found);
        }
        return true;
    }
    if (UserInfo(program).quitPosted) {
        *message =
            MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(UserInfo(program).quitCode), 0);
        if (remove) {
            UserInfo(program).quitPosted = false;
        }
        return true;
    }
    const bool paintInFilter = (first == 0 && last == 0) || (WM_PAINT >= first && WM_PAINT <= last);
    if (paintInFilter && window != reinterpret_cast<HWND>(-1)) {
        // Stays until the window validates what it must paint.
        if (HWND needing = WindowNeedingPaint(program, window)) {
            *message = MakeMessage(needing, WM_PAINT, 0, 0);
            return true;
        }
    }
    if (ProgramTimer *timer = DueTimer(program, window, first, last)) {
        *message =
            MakeMessage(timer->window, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->proc));
        if (remove) {
            timer->due = DeviceTime() + timer->interval;
        }
        return true;
    }
    return false;
}

// What the scheduler asks of the window system about programs waiting for messages.
// A thread waiting for a reply goes on for the reply or for a message sent to it, never for a
// posted one.
bool WaitedMessageReady(Program *program) {
    const UserThreadInfo &info = UserInfo(program);
    if (!info.sentToThread.empty()) {
        return true;
    }
    if (info.awaitedReply != nullptr) {
        return info.awaitedReply->replied;
    }
    return HasMessage(program, info.waitWindow, info.waitFirst, info.waitLast);
}

// The timers of a thread blocked in a send cannot fire, and so do not move the clock.
bool NextTimer(Program *program, DWORD &due) {
    const UserThreadInfo &info = UserInfo(program);
    if (info.timers.empty() || info.awaitedReply != nullptr) {
        return false;
    }
    due =
        std::min_element(info.timers.begin(), info.timers.end(),
                         [](const ProgramTimer &a, const ProgramTimer &b) { return a.due < b.due; })
            ->due;
    return true;
}

void AskToQuit(Program *program) {
    UserInfo(program).quitPosted = true;
}

// Senders still waiting on an ended program get 0, as from a window that is gone.
void ProgramEnded(Program *program) {
    for (SentMessage *sent : UserInfo(program).sentToThread) {
        sent->result = 0;
        sent->replied = true;
    }
    UserInfo(program).sentToThread.clear();
    ForgetProgramWindows(program->id);
}

[[maybe_unused]] const bool messageWaitsSet = [] {
    SetMessageWaits({WaitedMessageReady, NextTimer, AskToQuit, ProgramEnded});
    return true;
}();

} // namespace

UserThreadInfo &UserInfo(Program *program) {
    if (program->user == nullptr) {
        program->user = std::make_unique<UserThreadInfo>();
    }
    return static_cast<UserThreadInfo &>(*program->user);
}

bool HasMessage(Program *program, HWND window, UINT first, UINT last) {
    MSG ignored;
    return TakeMessage(program, &ignored, window, first, last, false);
}

LRESULT SendToOtherThread(Program *sender, Program *receiver, SentMessage &sent) {
    sent.result = 0;
    sent.replied = false;
    UserInfo(receiver).sentToThread.push_back(&sent);
    UserThreadInfo &own = UserInfo(sender);
    const SentMessage *outer = own.awaitedReply;
    for (;;) {
        ReceiveSentMessages(sender);
        if (sent.replied) {
            break;
        }
        own.awaitedReply = &sent;
        sender->wait = Program::Wait::Message;
        WaitInProgram(sender);
    }
    own.awaitedReply = outer;
    return sent.result;
}

extern "C" BOOL WINAPI GetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
    Program *program = CurrentProgram();
    if (program == nullptr || message == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    for (;;) {
        ReceiveSentMessages(program);
        if (TakeMessage(program, message, window, first, last, true)) {
            break;
        }
        program->wait = Program::Wait::Message;
        UserInfo(program).waitWindow = window;
        UserInfo(program).waitFirst = first;
        UserInfo(program).waitLast = last;
        WaitInProgram(program);
    }
    return message->message != WM_QUIT;
}

extern "C" BOOL WINAPI PeekMessageW(LPMSG message, HWND window, UINT first, UINT last,
                                    UINT remove) {
    Program *program = CurrentProgram();
    if (program == nullptr || message == nullptr) {
        return FALSE;
    }
    ReceiveSentMessages(program);
    return TakeMessage(program, message, window, first, last, (remove & PM_REMOVE) != 0);
}

extern "C" BOOL WINAPI WaitMessage(void) {
    Program *program = CurrentProgram();
    if (program == nullptr) {
        return FALSE;
    }
    for (;;) {
        ReceiveSentMessages(program);
        if (HasMessage(program, nullptr, 0, 0)) {
            return TRUE;
        }
        program->wait = Program::Wait::Message;
        UserInfo(program).waitWindow = nullptr;
        UserInfo(program).waitFirst = UserInfo(program).waitLast = 0;
        WaitInProgram(program);
    }
}

extern "C" BOOL WINAPI PostThreadMessageW(DWORD thread, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
    Program *program = FindProgram(thread);
    if (program == nullptr || program->exited) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    UserInfo(program).queue.push_back(MakeMessage(nullptr, message, wParam, lParam));
    return TRUE;
}

extern "C" void WINAPI PostQuitMessage(int exitCode) {
    if (Program *program = CurrentProgram()) {
        UserInfo(program).quitPosted = true;
        UserInfo(program).quitCode = exitCode;
    }
}

extern "C" UINT_PTR WINAPI SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    Program *program = CurrentProgram();
    if (program == nullptr) {
        return 0;
    }
    UINT interval = std::max(elapse, minimumTimerInterval);
    for (ProgramTimer &timer : UserInfo(program).timers) {
        if (timer.window == window && timer.id == id && window != nullptr) {
            timer.interval = interval;
            timer.due = DeviceTime() + interval;
            timer.proc = proc;
            return id;
        }
    }
    if (window == nullptr) {
        // A timer without a window gets an id of its own.
        UINT_PTR largest = 0;
        for (const ProgramTimer &timer : UserInfo(program).timers) {
            largest = std::max(largest, timer.id);
        }
        id = largest + 1;
    }
    UserInfo(program).timers.push_back({window, id, interval, DeviceTime() + interval, proc});
    return window == nullptr ? id : id != 0 ? id : 1;
}

extern "C" BOOL WINAPI KillTimer(HWND window, UINT_PTR id) {
    Program *program = CurrentProgram();
    if (program == nullptr) {
        return FALSE;
    }
    auto &timers = UserInfo(program).timers;
    auto found = std::find_if(timers.begin(), timers.end(), [&](const ProgramTimer &timer) {
        return timer.window == window && timer.id == id;
    });
    if (found == timers.end()) {
        return FALSE;
    }
    timers.erase(found);
    return TRUE;
}
