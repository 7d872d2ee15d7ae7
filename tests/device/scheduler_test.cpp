// Device programs on their fibers: message queues, the order programs run in, virtual time,
// timers, and starting and ending programs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kernel/scheduler.h"
#include "kernel/host_paths.h"

namespace {

std::vector<std::string> journal;

void Note(const std::string &what) {
    journal.push_back(what);
}

class Device : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        journal.clear();
        processes.clear();
    }
    void TearDown() override {
        for (HANDLE process : processes)
            CloseHandle(process);
        PowerOffMachine(CurrentMachine());
    }
    static DWORD Start(const char16_t *path, const char16_t *commandLine = u"") {
        PROCESS_INFORMATION information = {};
        std::u16string line = commandLine;
        EXPECT_TRUE(CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   nullptr, &information));
        CloseHandle(information.hThread);
        processes.push_back(information.hProcess);
        return information.dwProcessId;
    }
    static DWORD ExitCode(size_t index) {
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeProcess(processes[index], &code));
        return code;
    }
    static inline std::vector<HANDLE> processes;
};

// Records every message until WM_QUIT, which it asks for on WM_USER + 9.
int WINAPI Recorder(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::string name(commandLine, commandLine + wcslen(commandLine));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        Note(name + " " + std::to_string(message.message - WM_USER) + " at " +
             std::to_string(message.time));
        if (message.message == WM_USER + 9)
            PostQuitMessage(40 + (int)message.wParam);
    }
    Note(name + " quits");
    return (int)message.wParam;
}

TEST_F(Device, ProgramsTakeTheirMessagesInTheOrderPosted) {
    RegisterBuiltInProgram(u"\\Windows\\recorder.exe", Recorder);
    DWORD first = Start(u"\\WINDOWS\\Recorder.EXE", u"first");
    DWORD second = Start(u"\\Windows\\recorder.exe", u"second");
    EXPECT_NE(first, second);
    RunUntilIdle();
    EXPECT_TRUE(journal.empty());

    PostThreadMessageW(second, WM_USER + 1, 0, 0);
    PostThreadMessageW(first, WM_USER + 2, 0, 0);
    PostThreadMessageW(first, WM_USER + 3, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(journal, (std::vector<std::string>{"first 2 at 0", "first 3 at 0", "second 1 at 0"}));

    journal.clear();
    EXPECT_EQ(ExitCode(0), (DWORD)STILL_ACTIVE);
    PostThreadMessageW(first, WM_USER + 9, 2, 0);
    RunUntilIdle();
    EXPECT_EQ(journal, (std::vector<std::string>{"first 9 at 0", "first quits"}));
    EXPECT_EQ(ExitCode(0), 42u);
    EXPECT_FALSE(PostThreadMessageW(first, WM_USER, 0, 0)); // it has ended
}

int WINAPI Sleeper(HINSTANCE, HINSTANCE, LPWSTR, int) {
    Note("awake at " + std::to_string(GetTickCount()));
    Sleep(5000);
    Note("awake at " + std::to_string(GetTickCount()));
    Sleep(0);
    Note("after a yield at " + std::to_string(GetTickCount()));
    return 0;
}

TEST_F(Device, SleepingCostsNoRealTime) {
    RegisterBuiltInProgram(u"\\sleeper.exe", Sleeper);
    Start(u"\\sleeper.exe");
    RunUntilIdle();
    AdvanceDeviceTime(4999);
    EXPECT_EQ(journal, (std::vector<std::string>{"awake at 0"}));
    AdvanceDeviceTime(1);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"awake at 0", "awake at 5000", "after a yield at 5000"}));
    EXPECT_EQ(GetTickCount(), 5000u);
    Sleep(250); // the host's own sleep moves the device clock
    EXPECT_EQ(GetTickCount(), 5250u);
}

int timerTicks;

void CALLBACK CountTick(HWND, UINT message, UINT_PTR, DWORD time) {
    timerTicks++;
    Note("tick " + std::to_string(message) + " at " + std::to_string(time));
}

int WINAPI Ticker(HINSTANCE, HINSTANCE, LPWSTR, int) {
    UINT_PTR fast = SetTimer(nullptr, 0, 1, CountTick); // clamped to 10 ms
    UINT_PTR slow = SetTimer(nullptr, 0, 100, nullptr);
    Note("timers " + std::to_string(fast) + " " + std::to_string(slow));
    MSG message;
    int slowTicks = 0;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message == WM_TIMER && message.wParam == slow && ++slowTicks == 3) {
            KillTimer(nullptr, fast);
            KillTimer(nullptr, slow);
            Note("stopped at " + std::to_string(GetTickCount()));
        }
        DispatchMessageW(&message);
    }
    return 0;
}

TEST_F(Device, TimersFireOnVirtualTimeUntilKilled) {
    timerTicks = 0;
    RegisterBuiltInProgram(u"\\ticker.exe", Ticker);
    Start(u"\\ticker.exe");
    RunUntilIdle();
    EXPECT_EQ(journal.front(), "timers 1 2");
    AdvanceDeviceTime(10000);
    EXPECT_EQ(journal.back(), "stopped at 300");
    EXPECT_EQ(timerTicks, 30);
    EXPECT_EQ(journal[1], "tick 275 at 10");
}

int WINAPI Quitter(HINSTANCE, HINSTANCE, LPWSTR, int) {
    Note("before");
    ExitProcess(3);
    Note("never");
    return 0;
}

int WINAPI Starter(HINSTANCE, HINSTANCE, LPWSTR, int) {
    PROCESS_INFORMATION information = {};
    Note(CreateProcessW(u"\\quitter.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        nullptr, &information)
             ? "started"
             : "not started");
    Note(CreateProcessW(u"\\nowhere.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        nullptr, &information)
             ? "started nowhere"
             : "nowhere fails");
    return 0;
}

TEST_F(Device, ProgramsStartProgramsAndEndThemselves) {
    RegisterBuiltInProgram(u"\\quitter.exe", Quitter);
    RegisterBuiltInProgram(u"\\starter.exe", Starter);
    Start(u"\\starter.exe");
    EXPECT_EQ(GetCurrentThreadId(), 0u); // the host runs on no program's thread
    RunUntilIdle();
    EXPECT_EQ(journal, (std::vector<std::string>{"started", "nowhere fails", "before"}));
    EXPECT_EQ(ExitCode(0), 0u);
}

int WINAPI Peeker(HINSTANCE, HINSTANCE, LPWSTR, int) {
    MSG message;
    WaitMessage();
    Note(PeekMessageW(&message, nullptr, WM_USER + 5, WM_USER + 6, PM_NOREMOVE)
             ? "peeked " + std::to_string(message.message - WM_USER)
             : "nothing");
    while (PeekMessageW(&message, nullptr, WM_USER + 5, WM_USER + 6, PM_REMOVE))
        Note("took " + std::to_string(message.message - WM_USER));
    GetMessageW(&message, nullptr, 0, 0);
    Note("left " + std::to_string(message.message - WM_USER));
    return 0;
}

TEST_F(Device, PeekingHonoursTheFilterAndTheRemoveFlag) {
    RegisterBuiltInProgram(u"\\peeker.exe", Peeker);
    DWORD peeker = Start(u"\\peeker.exe");
    RunUntilIdle();
    PostThreadMessageW(peeker, WM_USER + 1, 0, 0);
    PostThreadMessageW(peeker, WM_USER + 6, 0, 0);
    PostThreadMessageW(peeker, WM_USER + 5, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(journal, (std::vector<std::string>{"peeked 6", "took 6", "took 5", "left 1"}));
}

int WINAPI Asker(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    DWORD answerer = (DWORD)std::stoul(std::string(commandLine, commandLine + wcslen(commandLine)));
    PostThreadMessageW(answerer, WM_USER, GetCurrentThreadId(), 0);
    MSG message;
    GetMessageW(&message, nullptr, 0, 0);
    Note("answer " + std::to_string(message.message - WM_USER) + " " +
         std::to_string(message.wParam) + " from " +
         (message.lParam == (LPARAM)answerer ? "the answerer" : "elsewhere"));
    PostThreadMessageW(answerer, WM_USER + 2, 17, 0);
    return 0;
}

TEST_F(Device, AProgramFileInTheDeviceFolderIsStartedByItsDevicePath) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/device-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    fs::create_directories(std::string(pattern) + "/Windows");
    fs::copy_file(DEVICE_TEST_PROGRAM, std::string(pattern) + "/Windows/answer.exe");
    SetDeviceFolder(pattern);

    DWORD answerer = Start(u"\\Windows\\answer", u"four");
    std::string id = std::to_string(answerer);
    RegisterBuiltInProgram(u"\\asker.exe", Asker);
    Start(u"\\asker.exe", std::u16string(id.begin(), id.end()).c_str());
    RunUntilIdle();
    EXPECT_EQ(journal, (std::vector<std::string>{"answer 1 4 from the answerer"}));
    EXPECT_EQ(ExitCode(0), 17u);

    PROCESS_INFORMATION information = {};
    EXPECT_FALSE(CreateProcessW(u"\\Windows\\missing", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, nullptr, &information));
    fs::remove_all(pattern);
}

} // namespace

// Sleeps in 10 ms steps until the count of steps it was given has passed, as a program waiting a
// bounded time for an answer does.
int WINAPI StepSleeper(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const int steps = std::stoi(std::string(commandLine, commandLine + wcslen(commandLine)));
    for (int i = 0; i < steps; ++i) {
        Sleep(10);
    }
    Note("done at " + std::to_string(GetTickCount()));
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
    }
    return 0;
}

// Keeps a timer that fires forever.
int WINAPI ForeverTicker(HINSTANCE, HINSTANCE, LPWSTR, int) {
    SetTimer(nullptr, 0, 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
    }
    return 0;
}

TEST_F(Device, QuietWaitsForSleepersButNotForTimers) {
    RegisterBuiltInProgram(u"\\steps.exe", StepSleeper);
    RegisterBuiltInProgram(u"\\ticker.exe", ForeverTicker);
    Start(u"\\ticker.exe");
    Start(u"\\steps.exe", u"5");
    EXPECT_TRUE(RunUntilQuiet(5000));
    EXPECT_EQ(journal, (std::vector<std::string>{"done at 50"}));
    EXPECT_EQ(GetTickCount(), 50u) << "the ticker's timer held nothing back";
    EXPECT_TRUE(RunUntilQuiet(5000));
    EXPECT_EQ(GetTickCount(), 50u) << "nothing sleeps: no time passes";
}

TEST_F(Device, QuietGivesUpAtItsBound) {
    RegisterBuiltInProgram(u"\\steps.exe", StepSleeper);
    // 500 steps end exactly at the bound; 501 pass it.
    Start(u"\\steps.exe", u"500");
    EXPECT_TRUE(RunUntilQuiet(5000));
    EXPECT_EQ(journal, (std::vector<std::string>{"done at 5000"}));
    journal.clear();
    Start(u"\\steps.exe", u"501");
    EXPECT_FALSE(RunUntilQuiet(5000));
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(GetTickCount(), 10000u);
    EXPECT_TRUE(RunUntilQuiet(5000));
    EXPECT_EQ(journal, (std::vector<std::string>{"done at 10010"}));
}
