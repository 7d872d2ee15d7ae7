// Programs and the one clock. Every program runs on a fiber of its own, belongs to one machine and
// makes that machine current while it runs; the scheduler switches only where a program waits.
// Time is one clock for every machine of a run.
#ifndef PLATFORM_KERNEL_SCHEDULER_H
#define PLATFORM_KERNEL_SCHEDULER_H

#include <windows.h>

#include <memory>
#include <string>

#include "kernel/fiber.h"
#include "kernel/machine.h"

typedef int(WINAPI *ProgramEntry)(HINSTANCE, HINSTANCE, LPWSTR, int);
// A desktop program's WinMain takes its command line in ANSI.
typedef int(WINAPI *AnsiProgramEntry)(HINSTANCE, HINSTANCE, LPSTR, int);

// What the window system keeps for a program's thread (its queue, timers, focus), as user32 keeps
// its own per-thread information beside the kernel's thread.
struct ThreadUserState {
    virtual ~ThreadUserState() = default;
};

// A process with its one thread.
struct Program {
    DWORD id = 0; // its process and thread id alike
    std::u16string path;
    std::u16string commandLine;
    HINSTANCE instance = nullptr;
    ProgramEntry entry = nullptr;
    // An ANSI program gets its command line in ANSI, through ansiEntry.
    AnsiProgramEntry ansiEntry = nullptr;
    std::string ansiCommandLine;
    int show = SW_SHOW;
    // On a desktop PC, the program's own current directory; empty for the machine's.
    std::u16string currentDirectory;
    std::unique_ptr<Fiber> fiber;
    Machine *machine = nullptr;

    // What the program waits for: a message (the window system says when one is there), a
    // moment of the clock, or bytes on a host socket (waitFd).
    enum class Wait { None, Message, Time, Readable } wait = Wait::None;
    DWORD wakeTime = 0;
    int waitFd = -1;

    bool exited = false;
    DWORD exitCode = STILL_ACTIVE;
    DWORD lastError = ERROR_SUCCESS;

    std::unique_ptr<ThreadUserState> user;
};

// How the window system answers for programs waiting for messages: whether one is there and the
// next moment a timer of the program falls due; and what it does when a program is asked to quit
// (at power-off) and when a program has ended.
struct MessageWaits {
    bool (*ready)(Program *program);
    bool (*nextTimer)(Program *program, DWORD &due);
    void (*askToQuit)(Program *program);
    void (*ended)(Program *program);
};
void SetMessageWaits(const MessageWaits &waits);

// Programs the machines themselves provide, found by their path.
void RegisterBuiltInProgram(const std::u16string &path, ProgramEntry entry);
void RegisterBuiltInAnsiProgram(const std::u16string &path, AnsiProgramEntry entry);
ProgramEntry FindBuiltInProgram(const std::u16string &path);
AnsiProgramEntry FindBuiltInAnsiProgram(const std::u16string &path);

// A new machine; the first of a run starts the one clock at zero.
Machine *PowerOnMachine(MachineKind kind);
// A fresh device in place of the one the host addresses: no programs, no windows, the clock at
// zero and virtual. For tests that need no shell.
void ResetDevice();
// Asks the machine's programs to quit, as a machine does at power-off, lets them end (up to two
// seconds of clock for those that pause on the way), and
// destroys the machine; any program that does not end is dropped with its fiber.
void PowerOffMachine(Machine *machine);
// Whether any machine is booted, so that time is the clock's rather than the host's.
bool DeviceIsBooted();
// The program whose context the caller runs in, or null on the host's own stack.
Program *CurrentProgram();
// Whether the caller runs on the program's own fiber, where it may wait, rather than in its
// context lent to the host's stack or another program's fiber.
bool RunsOnOwnFiber(const Program *program);
// Runs what follows in another program's context (its thread id, its queue, its machine) until
// the context returned is entered again.
struct ProgramContext {
    Program *program;
    Machine *machine;
};
ProgramContext EnterProgramContext(Program *program);
void LeaveProgramContext(const ProgramContext &previous);
// A program of the current machine.
Program *FindProgram(DWORD id);
Program *StartProgram(const std::u16string &path, ProgramEntry entry, HINSTANCE instance,
                      const std::u16string &commandLine);
Program *StartAnsiProgram(const std::u16string &path, AnsiProgramEntry entry, HINSTANCE instance,
                          const std::string &commandLine, int show);

DWORD DeviceTime();
// The clock back at zero, for a run's first machine.
void ResetClock();
// With real time the clock keeps pace with the host's, for a person watching; otherwise it jumps
// to the next timer or sleeper as soon as every program waits.
void SetRealTimeClock(bool realTime);
// Runs the programs of every machine until every one of them waits for a message or for time.
void RunUntilIdle();
// Lets the clock move on: every timer and sleeper due on the way gets its turn.
void AdvanceDeviceTime(DWORD milliseconds);
// Runs until no program is asleep or in a bounded wait of its own, letting time pass for them,
// but no further than bound milliseconds; timers that fire forever do not hold it back. False
// when some program still sleeps at the bound.
bool RunUntilQuiet(DWORD bound);
// From a program: back to the scheduler until what the program waits for has come.
void WaitInProgram(Program *program);

// Work the run does beside its programs, such as answering a connection: each round of
// RunUntilIdle calls every service, and a service that did something makes another round.
typedef bool (*HostService)();
void AddHostService(HostService service);
void RemoveHostService(HostService service);
// Until the host socket has bytes to read, or its peer has gone: a program waits for it as for a
// message; the host's own code keeps the run going meanwhile, as a peer in the same run needs.
void WaitUntilReadable(int fd);

#endif
