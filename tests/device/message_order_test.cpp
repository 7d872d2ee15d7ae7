// The order of what a program's windows are given: posted messages first in, first out, a timer
// exactly on its time, and the focus bringing its top-level window to the front.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kernel/scheduler.h"

namespace {

std::vector<std::string> received;
HWND first = nullptr;
HWND second = nullptr;

LRESULT CALLBACK Noting(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const std::string name = window == first ? "first" : "second";
    switch (message) {
    case WM_USER:
        received.push_back(name + " posted " + std::to_string(wParam));
        return 0;
    case WM_USER + 1:
        received.push_back(name + " sent " + std::to_string(wParam));
        return 0;
    case WM_TIMER:
        received.push_back(name + " timer at " + std::to_string(GetTickCount()));
        return 0;
    case WM_ACTIVATE:
        received.push_back(name + (LOWORD(wParam) == WA_INACTIVE ? " inactive" : " active"));
        return 0;
    case WM_SETFOCUS:
        received.push_back(name + " focus");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Two windows; what the test asks of them happens in the program's own context.
int WINAPI TwoWindows(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = Noting;
    windowClass.lpszClassName = u"Noting";
    RegisterClassW(&windowClass);
    first = CreateWindowExW(0, u"Noting", u"first", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                            nullptr, nullptr);
    second = CreateWindowExW(0, u"Noting", u"second", WS_VISIBLE, 100, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return 0;
}

class MessageOrder : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        received.clear();
        RegisterBuiltInProgram(u"\\two.exe", TwoWindows);
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessW(u"\\two.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, nullptr, &information));
        RunUntilIdle();
        program = information.dwProcessId;
        received.clear();
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
    DWORD program = 0;
};

// Posted messages come in the order they were posted, whichever window they are for; a sent one
// does not wait in the queue.
TEST_F(MessageOrder, PostedMessagesComeFirstInFirstOutAndSentOnesAtOnce) {
    PostMessageW(first, WM_USER, 1, 0);
    PostMessageW(second, WM_USER, 2, 0);
    PostMessageW(first, WM_USER, 3, 0);
    SendMessageW(second, WM_USER + 1, 4, 0);
    RunUntilIdle();
    EXPECT_EQ(received, (std::vector<std::string>{"second sent 4", "first posted 1",
                                                  "second posted 2", "first posted 3"}));
}

// A timer of 100 ms fires on the 100th millisecond, not before, and every 100 after.
TEST_F(MessageOrder, ATimerFiresExactlyOnItsTime) {
    const DWORD start = GetTickCount();
    const ProgramContext previous = EnterProgramContext(FindProgram(program));
    SetTimer(first, 1, 100, nullptr);
    LeaveProgramContext(previous);
    AdvanceDeviceTime(99);
    EXPECT_TRUE(received.empty()) << "one millisecond early";
    AdvanceDeviceTime(1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], "first timer at " + std::to_string(start + 100));
    AdvanceDeviceTime(200);
    EXPECT_EQ(received.size(), 3u);
    EXPECT_EQ(received.back(), "first timer at " + std::to_string(start + 300));
}

// The focus on a window of another top-level window of the program activates that one first.
TEST_F(MessageOrder, TheFocusActivatesItsWindow) {
    Program *two = FindProgram(program);
    ASSERT_NE(two, nullptr);
    const ProgramContext previous = EnterProgramContext(two);
    SetActiveWindow(first);
    received.clear();
    SetFocus(second);
    LeaveProgramContext(previous);
    EXPECT_EQ(received,
              (std::vector<std::string>{"first inactive", "second active", "second focus"}));
}

} // namespace
