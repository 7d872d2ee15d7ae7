// Starting and ending device programs, their ids, and time as the programs see it.
#include "kernel/scheduler.h"
#include "kernel/handles.h"
#include "kernel/modules.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

struct ProcessObject : KernelObject {
    static const KernelObjectKind kind = KernelObjectKind::Process;
    explicit ProcessObject(DWORD programId) : id(programId) {}
    KernelObjectKind Kind() const override {
        return kind;
    }
    const DWORD id;
};

} // namespace

extern "C" BOOL WINAPI CreateProcessW(LPCWSTR path, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION information) {
    if (path == nullptr || path[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A built-in program's module is the host's executable, which holds its code and resources.
    HINSTANCE instance = HostExecutableModule();
    ProgramEntry entry = FindBuiltInProgram(path);
    if (entry == nullptr) {
        // A program file is a shared library with a WinMain, as a device program file is an
        // executable with one.
        instance = LoadLibraryW(path);
        if (instance != nullptr) {
            entry = reinterpret_cast<ProgramEntry>(
                reinterpret_cast<void (*)()>(GetProcAddressW(instance, u"WinMain")));
        }
        if (entry == nullptr) {
            if (instance != nullptr) {
                FreeLibrary(instance);
            }
            SetLastError(ERROR_FILE_NOT_FOUND);
            return FALSE;
        }
    }
    Program *program =
        StartProgram(path, entry, instance, commandLine != nullptr ? commandLine : u"");
    if (information != nullptr) {
        information->dwProcessId = program->id;
        information->dwThreadId = program->id;
        information->hProcess = AddKernelObject(std::make_shared<ProcessObject>(program->id));
        information->hThread = AddKernelObject(std::make_shared<ProcessObject>(program->id));
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    auto object = FindKernelObjectAs<ProcessObject>(process);
    Program *program = object != nullptr ? FindProgram(object->id) : nullptr;
    if (program == nullptr || exitCode == nullptr) {
        return FALSE;
    }
    *exitCode = program->exited ? program->exitCode : STILL_ACTIVE;
    return TRUE;
}

extern "C" void WINAPI ExitProcess(UINT exitCode) {
    Program *program = CurrentProgram();
    if (program == nullptr) {
        std::exit(static_cast<int>(exitCode));
    }
    // The program's fiber is never resumed again; its stack goes with the program.
    program->exitCode = exitCode;
    program->exited = true;
    for (;;) {
        WaitInProgram(program);
    }
}

extern "C" DWORD WINAPI GetCurrentThreadId(void) {
    Program *program = CurrentProgram();
    return program != nullptr ? program->id : 0;
}

extern "C" DWORD WINAPI GetCurrentProcessId(void) {
    return GetCurrentThreadId();
}

extern "C" HANDLE WINAPI GetCurrentThread(void) {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));
}

// One thread per program and no preemption: priorities change nothing here.
extern "C" BOOL WINAPI SetThreadPriority(HANDLE, int) {
    return TRUE;
}

extern "C" void WINAPI Sleep(DWORD milliseconds) {
    Program *program = CurrentProgram();
    if (program == nullptr) {
        // The host itself: a desktop program really waits; a test driving a device lets the
        // device's time pass instead.
        if (DeviceIsBooted()) {
            AdvanceDeviceTime(milliseconds);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
        }
        return;
    }
    program->wait = Program::Wait::Time;
    program->wakeTime = DeviceTime() + milliseconds;
    WaitInProgram(program);
}

extern "C" DWORD WINAPI GetTickCount(void) {
    return DeviceTime();
}
