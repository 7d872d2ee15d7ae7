// The per-thread last error, and how host errno values map onto it.
#include "kernel/errors.h"

#include "kernel/scheduler.h"

#include <cerrno>

namespace {
// Code on the host's own threads, outside every program.
thread_local DWORD hostLastError = ERROR_SUCCESS;

DWORD &LastError() {
    Program *program = CurrentProgram();
    return program != nullptr ? program->lastError : hostLastError;
}
} // namespace

extern "C" DWORD WINAPI GetLastError(void) {
    return LastError();
}

extern "C" void WINAPI SetLastError(DWORD error) {
    LastError() = error;
}

DWORD Win32ErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return ERROR_SUCCESS;
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ERROR_DISK_FULL;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EBUSY:
        return ERROR_SHARING_VIOLATION;
    default:
        return ERROR_INVALID_PARAMETER;
    }
}

void SetLastErrorFromErrno() {
    SetLastError(Win32ErrorFromErrno(errno));
}
