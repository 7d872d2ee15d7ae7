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

// A message another program sent to one of the thread's windows, waiting for its reply.
struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool callerAnsi;
    LRESULT result;
    bool replied;
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
    // Sent by other programs, oldest first; each lives on its sender's stack until replied.
    std::deque<SentMessage *> sentToThread;
    // The reply the thread waits for while its own send is handled elsewhere.
    const SentMessage *awaitedReply = nullptr;

    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
};

// The program's window-system state, made the first time it is asked for.
UserThreadInfo &UserInfo(Program *program);
// A message or timer is due now for this program, within the filter.
bool HasMessage(Program *program, HWND window, UINT first, UINT last);
// From the sender's own fiber: queues the message for the receiver's thread and waits for the
// reply, handling what is sent to the sender meanwhile, as a thread blocked in SendMessage does.
LRESULT SendToOtherThread(Program *sender, Program *receiver, SentMessage &sent);
// Handles every message sent to the program, in its own context; each gets its reply.
void ReceiveSentMessages(Program *program);

#endif
