#include "device/scheduler.h"

#include "user/window_state.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <thread>

namespace {

struct DeviceState {
    bool booted = false;
    std::vector<std::unique_ptr<Program>> programs;
    DWORD clock = 0;
    DWORD nextId = 0x1000;
    Program *current = nullptr;
    bool realTime = false;
};

DeviceState &State() {
    static DeviceState state;
    return state;
}

std::u16string Folded(const std::u16string &path) {
    std::u16string folded = path;
    for (char16_t &c : folded) {
        c = towupper(c);
    }
    return folded;
}

std::map<std::u16string, ProgramEntry> &BuiltIns() {
    static std::map<std::u16string, ProgramEntry> builtIns;
    return builtIns;
}

bool Runnable(Program *program) {
    if (program->exited) {
        return false;
    }
    switch (program->wait) {
    case Program::Wait::None:
        return true;
    case Program::Wait::Time:
        return State().clock >= program->wakeTime;
    case Program::Wait::Message:
        return HasMessage(program, program->waitWindow, program->waitFirst, program->waitLast);
    }
    return false;
}

void Resume(Program *program) {
    DeviceState &state = State();
    program->wait = Program::Wait::None;
    state.current = program;
    program->fiber->Resume();
    state.current = nullptr;
    if (program->fiber->Finished()) {
        program->exited = true;
        ForgetProgramWindows(program->id);
    }
}

// The earliest moment after which a waiting program can go on, or none.
bool NextEvent(DWORD &next) {
    bool found = false;
    next = std::numeric_limits<DWORD>::max();
    for (const auto &program : State().programs) {
        if (program->exited) {
            continue;
        }
        if (program->wait == Program::Wait::Time) {
            next = std::min(next, program->wakeTime);
            found = true;
        } else if (program->wait == Program::Wait::Message) {
            for (const ProgramTimer &timer : program->timers) {
                next = std::min(next, timer.due);
                found = true;
            }
        }
    }
    return found;
}

} // namespace

ProgramEntry FindBuiltInProgram(const std::u16string &devicePath) {
    auto found = BuiltIns().find(Folded(devicePath));
    return found != BuiltIns().end() ? found->second : nullptr;
}

void RegisterBuiltInProgram(const std::u16string &devicePath, ProgramEntry entry) {
    BuiltIns()[Folded(devicePath)] = entry;
}

void ResetDevice() {
    DeviceState &state = State();
    // Programs that still run are asked to quit, as a device does at power-off, so that they
    // can end properly; any that does not is dropped with its fiber.
    for (const auto &program : state.programs) {
        program->quitPosted = true;
    }
    RunUntilIdle();
    state.booted = true;
    state.programs.clear();
    state.clock = 0;
    state.current = nullptr;
    state.realTime = false;
}

Program *CurrentProgram() {
    return State().current;
}

Program *EnterProgramContext(Program *program) {
    Program *previous = State().current;
    State().current = program;
    return previous;
}

Program *FindProgram(DWORD id) {
    for (const auto &program : State().programs) {
        if (program->id == id) {
            return program.get();
        }
    }
    return nullptr;
}

Program *StartProgram(const std::u16string &path, ProgramEntry entry, HINSTANCE instance,
                      const std::u16string &commandLine) {
    DeviceState &state = State();
    auto program = std::make_unique<Program>();
    Program *started = program.get();
    started->id = state.nextId;
    state.nextId += 4;
    started->path = path;
    started->commandLine = commandLine;
    started->instance = instance;
    started->entry = entry;
    started->fiber = std::make_unique<Fiber>([started] {
        int code = started->entry(started->instance, nullptr, started->commandLine.data(), SW_SHOW);
        started->exitCode = static_cast<DWORD>(code);
    });
    state.programs.push_back(std::move(program));
    return started;
}

bool DeviceIsBooted() {
    return State().booted;
}

// Without a device (on the desktop) time is the host's.
DWORD DeviceTime() {
    if (!State().booted) {
        using namespace std::chrono;
        return static_cast<DWORD>(
            duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    return State().clock;
}

void RunUntilIdle() {
    DeviceState &state = State();
    bool ran = true;
    while (ran) {
        ran = false;
        // Programs started on the way join this round.
        for (size_t i = 0; i < state.programs.size(); i++) {
            Program *program = state.programs[i].get();
            if (Runnable(program)) {
                Resume(program);
                ran = true;
            }
        }
    }
}

void SetRealTimeClock(bool realTime) {
    State().realTime = realTime;
}

void AdvanceDeviceTime(DWORD milliseconds) {
    DeviceState &state = State();
    const DWORD target = state.clock + milliseconds;
    const auto moveClockTo = [&state](DWORD moment) {
        if (state.realTime && moment > state.clock) {
            std::this_thread::sleep_for(std::chrono::milliseconds(moment - state.clock));
        }
        state.clock = std::max(state.clock, moment);
    };
    RunUntilIdle();
    DWORD next;
    while (NextEvent(next) && next <= target) {
        moveClockTo(next);
        RunUntilIdle();
    }
    moveClockTo(target);
    RunUntilIdle();
}

void WaitInProgram(Program *program) {
    Fiber::Yield();
    (void)program;
}
