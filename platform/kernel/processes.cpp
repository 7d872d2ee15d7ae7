// Starting and ending programs, their ids, and time as the programs see it.
#include "kernel/scheduler.h"
#include "kernel/code_pages.h"
#include "kernel/handles.h"
#include "kernel/host_paths.h"
#include "kernel/modules.h"

#include <algorithm>
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

// A program file is a shared library with a WinMain, as a program file is an executable with
// one; a built-in program's module is the host's executable, which holds its code and resources.
struct ProgramCode {
    HINSTANCE instance = nullptr;
    ProgramEntry entry = nullptr;
    AnsiProgramEntry ansiEntry = nullptr;
};

bool FindProgramCode(const std::u16string &path, ProgramCode &code) {
    code.instance = HostExecutableModule();
    code.entry = FindBuiltInProgram(path);
    code.ansiEntry = FindBuiltInAnsiProgram(path);
    if (code.entry != nullptr || code.ansiEntry != nullptr) {
        return true;
    }
    // A program named without an extension is its ".exe", as CreateProcess finds it.
    const size_t slash = path.find_last_of(u"\\/");
    const size_t dot = path.find_last_of(u'.');
    const bool bare = dot == std::u16string::npos || (slash != std::u16string::npos && dot < slash);
    code.instance = LoadLibraryW(bare ? (path + u".exe").c_str() : path.c_str());
    if (code.instance == nullptr) {
        return false;
    }
    void *winMain = reinterpret_cast<void *>(GetProcAddressW(code.instance, u"WinMain"));
    if (winMain == nullptr) {
        FreeLibrary(code.instance);
        return false;
    }
    // The desktop's programs are ANSI programs, the device's UTF-16 ones.
    if (MachineHasDrive()) {
        code.ansiEntry = reinterpret_cast<AnsiProgramEntry>(winMain);
    } else {
        code.entry = reinterpret_cast<ProgramEntry>(winMain);
    }
    return true;
}

void ReportStarted(Program *program, LPPROCESS_INFORMATION information) {
    if (information != nullptr) {
        information->dwProcessId = program->id;
        information->dwThreadId = program->id;
        information->hProcess = AddKernelObject(std::make_shared<ProcessObject>(program->id));
        information->hThread = AddKernelObject(std::make_shared<ProcessObject>(program->id));
    }
}

// The program's path and the rest of a command line that names it first: up to the closing
// quote, or to the first blank; the rest starts after the blanks that follow.
void SplitCommandLine(const std::string &line, std::string &path, std::string &rest) {
    size_t end;
    if (!line.empty() && line[0] == '"') {
        end = line.find('"', 1);
        path = line.substr(1, end == std::string::npos ? std::string::npos : end - 1);
        end = end == std::string::npos ? line.size() : end + 1;
    } else {
        end = line.find_first_of(" \t");
        end = end == std::string::npos ? line.size() : end;
        path = line.substr(0, end);
    }
    while (end < line.size() && (line[end] == ' ' || line[end] == '\t')) {
        ++end;
    }
    rest = line.substr(end);
}

// A program named on a command line without an extension is a ".exe", as Windows assumes; a
// program named apart from the line must carry its extension.
std::string WithProgramExtension(const std::string &file) {
    const size_t name = file.find_last_of("\\/");
    const size_t dot = file.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (name == std::string::npos || dot > name);
    return hasExtension ? file : file + ".exe";
}

} // namespace

extern "C" BOOL WINAPI CreateProcessW(LPCWSTR path, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                      LPSTARTUPINFOW, LPPROCESS_INFORMATION information) {
    if (path == nullptr || path[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ProgramCode code;
    if (!FindProgramCode(path, code)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::u16string line = commandLine != nullptr ? commandLine : u"";
    Program *program = code.entry != nullptr ? StartProgram(path, code.entry, code.instance, line)
                                             : StartAnsiProgram(path, code.ansiEntry, code.instance,
                                                                AnsiFromWide(line), SW_SHOW);
    ReportStarted(program, information);
    return TRUE;
}

extern "C" BOOL WINAPI CreateProcessA(LPCSTR path, LPSTR commandLine, LPSECURITY_ATTRIBUTES,
                                      LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
                                      LPCSTR currentDirectory, LPSTARTUPINFOA startup,
                                      LPPROCESS_INFORMATION information) {
    std::string file = path != nullptr ? path : "";
    std::string arguments = commandLine != nullptr ? commandLine : "";
    if (path == nullptr) {
        SplitCommandLine(arguments, file, arguments);
        file = file.empty() ? file : WithProgramExtension(file);
    } else if (commandLine != nullptr) {
        // The line names the program first, as it does for every Windows program.
        std::string named;
        SplitCommandLine(commandLine, named, arguments);
    }
    if (file.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // On a PC the directory is the new program's own, the caller's staying as it was; a program
    // on the host shares the host process's.
    std::u16string directory = MachineHasDrive() ? MachineCurrentDirectory() : u"";
    if (currentDirectory != nullptr) {
        const DWORD attributes = GetFileAttributesA(currentDirectory);
        if (MachineHasDrive()) {
            directory = PlainDrivePath(WideFromAnsi(currentDirectory));
        }
        const bool isDirectory =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!isDirectory ||
            (MachineHasDrive() ? directory.empty() : !SetCurrentDirectoryA(currentDirectory))) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
    }
    ProgramCode code;
    bool found = FindProgramCode(WideFromAnsi(file), code);
    // An unquoted path may hold blanks ("C:\Program Files\..."): Windows tries each blank in
    // turn as the end of the path, nearest first, and starts the first program it finds.
    const std::string line = commandLine != nullptr ? commandLine : "";
    if (!found && path == nullptr && line[0] != '"') {
        size_t end = std::min(line.find_first_of(" \t"), line.size());
        while (!found && end < line.size()) {
            end = std::min(line.find_first_of(" \t", end + 1), line.size());
            const std::string candidate = WithProgramExtension(line.substr(0, end));
            found = FindProgramCode(WideFromAnsi(candidate), code);
            if (found) {
                file = candidate;
                arguments = line.substr(std::min(line.find_first_not_of(" \t", end), line.size()));
            }
        }
    }
    if (!found) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    const std::u16string wide = WideFromAnsi(file);
    const int show = startup != nullptr && (startup->dwFlags & STARTF_USESHOWWINDOW) != 0
                         ? startup->wShowWindow
                         : SW_SHOWDEFAULT;
    Program *program = code.ansiEntry != nullptr
                           ? StartAnsiProgram(wide, code.ansiEntry, code.instance, arguments, show)
                           : StartProgram(wide, code.entry, code.instance, WideFromAnsi(arguments));
    program->currentDirectory = directory;
    ReportStarted(program, information);
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
