#include "kernel/scheduler.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <thread>

#include <poll.h>

namespace {

// A machine's programs.
struct ProgramTable : MachinePart {
    std::vector<std::unique_ptr<Program>> programs;
    DWORD nextId = 0x1000;
};

struct Clock {
    DWORD now = 0;
    bool realTime = false;
};

Clock theClock;
Program *current = nullptr;
MessageWaits messageWaits = {};

std::vector<std::unique_ptr<Program>> &ProgramsOf(Machine *machine) {
    return MachineStateOf<ProgramTable>(machine).programs;
}

std::u16string Folded(const std::u16string &path) {
    std::u16string folded = path;
    for (char16_t &c : folded) {
        c = towupper(c);
    }
    return folded;
}

struct BuiltIn {
    ProgramEntry entry = nullptr;
    AnsiProgramEntry ansiEntry = nullptr;
};

std::map<std::u16string, BuiltIn> &BuiltIns() {
    static std::map<std::u16string, BuiltIn> *builtIns = new std::map<std::u16string, BuiltIn>;
    return *builtIns;
}

// Whether a host socket has bytes, an end or an error to report, within the milliseconds given.
bool Readable(int fd, int milliseconds) {
    pollfd watch = {fd, POLLIN, 0};
    return poll(&watch, 1, milliseconds) > 0;
}

std::vector<HostService> &Services() {
    static std::vector<HostService> services;
    return services;
}

bool RunServices() {
    bool worked = false;
    // A service may add or remove services as it works.
    const std::vector<HostService> services = Services();
    for (HostService service : services) {
        worked = service() || worked;
    }
    return worked;
}

bool Runnable(Program *program) {
    if (program->exited) {
        return false;
    }
    switch (program->wait) {
    case Program::Wait::None:
        return true;
    case Program::Wait::Time:
        return theClock.now >= program->wakeTime;
    case Program::Wait::Message: {
        // Whether a window of the program needs painting is a question about its own machine.
        if (messageWaits.ready == nullptr) {
            return false;
        }
        Machine *previous = SwitchToMachine(program->machine);
        const bool ready = messageWaits.ready(program);
        SwitchToMachine(previous);
        return ready;
    }
    case Program::Wait::Readable:
        return Readable(program->waitFd, 0);
    }
    return false;
}

void Resume(Program *program) {
    program->wait = Program::Wait::None;
    current = program;
    Machine *previous = SwitchToMachine(program->machine);
    program->fiber->Resume();
    SwitchToMachine(previous);
    current = nullptr;
    if (program->fiber->Finished()) {
        program->exited = true;
        if (messageWaits.ended != nullptr) {
            previous = SwitchToMachine(program->machine);
            messageWaits.ended(program);
            SwitchToMachine(previous);
        }
    }
}

// The earliest moment after which a waiting program can go on, or none. Only sleepers count
// when timers are left out.
bool NextEvent(DWORD &next, bool withTimers) {
    bool found = false;
    next = std::numeric_limits<DWORD>::max();
    for (Machine *machine : BootedMachines()) {
        for (const auto &program : ProgramsOf(machine)) {
            if (program->exited) {
                continue;
            }
            DWORD due;
            if (program->wait == Program::Wait::Time) {
                next = std::min(next, program->wakeTime);
                found = true;
            } else if (withTimers && program->wait == Program::Wait::Message &&
                       messageWaits.nextTimer != nullptr &&
                       messageWaits.nextTimer(program.get(), due)) {
                next = std::min(next, due);
                found = true;
            }
        }
    }
    return found;
}

void MoveClockTo(DWORD moment) {
    if (theClock.realTime && moment > theClock.now) {
        std::this_thread::sleep_for(std::chrono::milliseconds(moment - theClock.now));
    }
    theClock.now = std::max(theClock.now, moment);
}

} // namespace

void SetMessageWaits(const MessageWaits &waits) {
    messageWaits = waits;
}

ProgramEntry FindBuiltInProgram(const std::u16string &path) {
    auto found = BuiltIns().find(Folded(path));
    return found != BuiltIns().end() ? found->second.entry : nullptr;
}

AnsiProgramEntry FindBuiltInAnsiProgram(const std::u16string &path) {
    auto found = BuiltIns().find(Folded(path));
    return found != BuiltIns().end() ? found->second.ansiEntry : nullptr;
}

void RegisterBuiltInProgram(const std::u16string &path, ProgramEntry entry) {
    BuiltIns()[Folded(path)] = BuiltIn{entry, nullptr};
}

void RegisterBuiltInAnsiProgram(const std::u16string &path, AnsiProgramEntry entry) {
    BuiltIns()[Folded(path)] = BuiltIn{nullptr, entry};
}

void PowerOffMachine(Machine *machine) {
    if (machine == nullptr || machine == HostMachine()) {
        return;
    }
    if (messageWaits.askToQuit != nullptr) {
        for (const auto &program : ProgramsOf(machine)) {
            messageWaits.askToQuit(program.get());
        }
    }
    // A program on its way out may still pause (a library's pause as it is freed): time passes
    // for it, up to a bound, so that it ends rather than being dropped with what it holds.
    const DWORD endingMilliseconds = 2000;
    RunUntilQuiet(endingMilliseconds);
    DestroyMachine(machine);
}

Machine *PowerOnMachine(MachineKind kind) {
    if (BootedMachines().empty()) {
        ResetClock();
    }
    return MakeMachine(kind);
}

void ResetDevice() {
    for (Machine *machine : std::vector<Machine *>(BootedMachines())) {
        if (KindOf(machine) == MachineKind::Device) {
            PowerOffMachine(machine);
        }
    }
    AddressMachine(MakeMachine(MachineKind::Device));
    ResetClock();
}

Program *CurrentProgram() {
    return current;
}

bool RunsOnOwnFiber(const Program *program) {
    return program != nullptr && program->fiber != nullptr &&
           Fiber::Running() == program->fiber.get();
}

ProgramContext EnterProgramContext(Program *program) {
    const ProgramContext previous = {current, SwitchToMachine(program->machine)};
    current = program;
    return previous;
}

void LeaveProgramContext(const ProgramContext &previous) {
    current = previous.program;
    SwitchToMachine(previous.machine);
}

Program *FindProgram(DWORD id) {
    for (const auto &program : ProgramsOf(CurrentMachine())) {
        if (program->id == id) {
            return program.get();
        }
    }
    return nullptr;
}

Program *StartProgram(const std::u16string &path, ProgramEntry entry, HINSTANCE instance,
                      const std::u16string &commandLine) {
    Machine *machine = CurrentMachine();
    ProgramTable &table = MachineStateOf<ProgramTable>(machine);
    auto program = std::make_unique<Program>();
    Program *started = program.get();
    started->id = table.nextId;
    table.nextId += 4;
    started->path = path;
    started->commandLine = commandLine;
    started->instance = instance;
    started->entry = entry;
    started->machine = machine;
    started->fiber = std::make_unique<Fiber>([started] {
        const int code = started->ansiEntry != nullptr
                             ? started->ansiEntry(started->instance, nullptr,
                                                  started->ansiCommandLine.data(), started->show)
                             : started->entry(started->instance, nullptr,
                                              started->commandLine.data(), started->show);
        started->exitCode = static_cast<DWORD>(code);
    });
    table.programs.push_back(std::move(program));
    return started;
}

Program *StartAnsiProgram(const std::u16string &path, AnsiProgramEntry entry, HINSTANCE instance,
                          const std::string &commandLine, int show) {
    Program *started = StartProgram(path, nullptr, instance, u"");
    started->ansiEntry = entry;
    started->ansiCommandLine = commandLine;
    started->show = show;
    return started;
}

bool DeviceIsBooted() {
    return !BootedMachines().empty();
}

// Without a machine (on the desktop host) time is the host's.
DWORD DeviceTime() {
    if (!DeviceIsBooted()) {
        using namespace std::chrono;
        return static_cast<DWORD>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    return theClock.now;
}

void ResetClock() {
    theClock = Clock{};
}

void RunUntilIdle() {
    bool ran = true;
    while (ran) {
        ran = RunServices();
        // Machines and programs started on the way join this round.
        for (size_t m = 0; m < BootedMachines().size(); m++) {
            Machine *machine = BootedMachines()[m];
            auto &programs = ProgramsOf(machine);
            for (size_t i = 0; i < programs.size(); i++) {
                Program *program = programs[i].get();
                if (Runnable(program)) {
                    Resume(program);
                    ran = true;
                }
            }
        }
    }
}

void SetRealTimeClock(bool realTime) {
    theClock.realTime = realTime;
}

void AdvanceDeviceTime(DWORD milliseconds) {
    const DWORD target = theClock.now + milliseconds;
    RunUntilIdle();
    DWORD next;
    while (NextEvent(next, true) && next <= target) {
        MoveClockTo(next);
        RunUntilIdle();
    }
    MoveClockTo(target);
    RunUntilIdle();
}

bool RunUntilQuiet(DWORD bound) {
    const DWORD limit = theClock.now + bound;
    RunUntilIdle();
    DWORD sleeper;
    while (NextEvent(sleeper, false)) {
        if (sleeper > limit) {
            AdvanceDeviceTime(limit - theClock.now);
            return !NextEvent(sleeper, false);
        }
        AdvanceDeviceTime(sleeper - theClock.now);
    }
    return true;
}

void WaitInProgram(Program *program) {
    Fiber::Yield();
    (void)program;
}

void AddHostService(HostService service) {
    if (std::find(Services().begin(), Services().end(), service) == Services().end()) {
        Services().push_back(service);
    }
}

void RemoveHostService(HostService service) {
    Services().erase(std::remove(Services().begin(), Services().end(), service), Services().end());
}

void WaitUntilReadable(int fd) {
    if (Program *program = CurrentProgram()) {
        program->wait = Program::Wait::Readable;
        program->waitFd = fd;
        WaitInProgram(program);
        return;
    }
    // A peer in this run answers while the run goes on; one in another process, meanwhile.
    while (!Readable(fd, 0)) {
        RunUntilIdle();
        if (!Readable(fd, 0)) {
            Readable(fd, 1);
        }
    }
}
