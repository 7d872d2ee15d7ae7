// The current directory: the host process's own on the host, the drive's on a desktop PC. A
// device has none; its relative paths start at its root.
#include "kernel/code_pages.h"
#include "kernel/errors.h"
#include "kernel/host_paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

namespace {

// Copies text and its terminator when it fits; otherwise the size it needs, terminator included.
DWORD CopyOut(const std::string &text, DWORD size, LPSTR buffer) {
    if (buffer == nullptr || text.size() + 1 > size) {
        return static_cast<DWORD>(text.size() + 1);
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return static_cast<DWORD>(text.size());
}

bool IsDirectory(const std::string &hostPath) {
    struct stat status;
    return !hostPath.empty() && stat(hostPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

extern "C" DWORD WINAPI GetCurrentDirectoryA(DWORD size, LPSTR buffer) {
    if (MachineHasDrive()) {
        return CopyOut(AnsiFromWide(MachineCurrentDirectory()), size, buffer);
    }
    char host[4096];
    if (getcwd(host, sizeof host) == nullptr) {
        SetLastErrorFromErrno();
        return 0;
    }
    return CopyOut(Win32PathFromHostA(host), size, buffer);
}

extern "C" BOOL WINAPI SetCurrentDirectoryA(LPCSTR path) {
    if (path == nullptr || path[0] == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string hostPath = HostPathFromA(path);
    if (!IsDirectory(hostPath)) {
        SetLastError(hostPath.empty() ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (MachineHasDrive()) {
        return SetMachineCurrentDirectory(WideFromAnsi(path)) ? TRUE : FALSE;
    }
    if (chdir(hostPath.c_str()) != 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}
