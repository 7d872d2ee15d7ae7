// The emulated device's programs and its one clock. Every program runs on a fiber of its own with
// its own message queue; the scheduler switches only where a program waits.
#ifndef PLATFORM_DEVICE_SCHEDULER_H
#define PLATFORM_DEVICE_SCHEDULER_H

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "device/fiber.h"

typedef int(WINAPI *ProgramEntry)(HINSTANCE, HINSTANCE, LPWSTR, int);

struct ProgramTimer {
    HWND window;
    UINT_PTR id;
    UINT interval;
    DWORD due;
    TIMERPROC proc;
};

struct Program {
    DWORD id = 0; // its process and thread id alike
    std::u16string path;
    std::u16string commandLine;
    HINSTANCE instance = nullptr;
    ProgramEntry entry = nullptr;
    std::unique_ptr<Fiber> fiber;

    std::deque<MSG> queue;
    std::vector<ProgramTimer> timers;
    bool quitPosted = false;
    int quitCode = 0;

    // What the program waits for: a message within a filter, or a moment of the device clock.
    enum class Wait { None, Message, Time } wait = Wait::None;
    HWND waitWindow = nullptr;
    UINT waitFirst = 0;
    UINT waitLast = 0;
    DWORD wakeTime = 0;

    bool exited = false;
    DWORD exitCode = STILL_ACTIVE;

    // What Win32 keeps per thread.
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
};

// Programs the device itself provides, found by their device path.
void RegisterBuiltInProgram(const std::u16string &devicePath, ProgramEntry entry);
ProgramEntry FindBuiltInProgram(const std::u16string &devicePath);

// A fresh device in this host process: no programs, the clock at zero, virtual time.
void ResetDevice();
bool DeviceIsBooted();
// The program on whose fiber the caller runs, or null on the host's own stack.
Program *CurrentProgram();
// Runs what follows in another program's context (its thread id, its queue); returns the
// context to go back to.
Program *EnterProgramContext(Program *program);
Program *FindProgram(DWORD id);
Program *StartProgram(const std::u16string &path, ProgramEntry entry, HINSTANCE instance,
                      const std::u16string &commandLine);

DWORD DeviceTime();
// With real time the clock keeps pace with the host's, for a person watching; otherwise it jumps
// to the next timer or sleeper as soon as every program waits.
void SetRealTimeClock(bool realTime);
// Runs the programs until every one of them waits for a message or for time.
void RunUntilIdle();
// Lets the device clock move on: every timer and sleeper due on the way gets its turn.
void AdvanceDeviceTime(DWORD milliseconds);
// From a program: back to the scheduler until what the program waits for has come.
void WaitInProgram(Program *program);
// A message or timer is due now for this program, within the filter.
bool HasMessage(Program *program, HWND window, UINT first, UINT last);

#endif
