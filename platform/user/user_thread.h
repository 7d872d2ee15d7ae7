// What the window system keeps per program thread, beside the kernel's thread: the message queue
// with its timers, and the thread's focus, active window and capture.
#ifndef PLATFORM_USER_USER_THREAD_H
#define PLATFORM_USER_USER_THREAD_H

#include <windows.h>

#include <deque>
#include <vector>

#include "kernel/scheduler.h"

struct ProgramTimer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    DWORD due;
    TIMERPROC proc;
};

struct UserThreadInfo : ThreadUserState {
    std::deque<MSG> queue;
    std::vector<ProgramTimer> timers;
    bool quitPosted = false;
    int quitCode = 0;
    // The filter of the message the thread waits for.
    HWND waitWindow = nullptr;
    UINT waitFirst = 0;
    UINT waitLast = 0;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
};

// The program's window-system state, made the first time it is asked for.
UserThreadInfo &UserInfo(Program *program);
// A message or timer is due now for this program, within the filter.
bool HasMessage(Program *program, HWND window, UINT first, UINT last);

#endif
