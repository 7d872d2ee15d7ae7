// Files: open, read, write, seek, and the operations on names.
#include "kernel/device_identity.h"
#include "kernel/errors.h"
#include "kernel/file_attributes.h"
#include "kernel/file_growth.h"
#include "kernel/file_object.h"
#include "kernel/host_paths.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsDirectory(const std::string &hostPath) {
    struct stat status;
    return stat(hostPath.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool Exists(const std::string &hostPath) {
    struct stat status;
    return lstat(hostPath.c_str(), &status) == 0;
}

// Checked here rather than left to the host, which lets root write whatever the bits say.
bool IsReadOnlyFile(const std::string &hostPath) {
    struct stat status;
    return stat(hostPath.c_str(), &status) == 0 &&
           FileAttributesFromStat(status) == FILE_ATTRIBUTE_READONLY;
}

// FIFOs, sockets and devices are no files on Windows; opening one could block for ever.
bool IsSpecialFile(const struct stat &status) {
    return !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

// Windows tells a missing file from a missing folder on the way to it.
void SetMissingError(const std::string &hostPath) {
    const size_t slash = hostPath.find_last_of('/');
    const std::string parent = slash == std::string::npos ? "." : hostPath.substr(0, slash + 1);
    SetLastError(IsDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
}

void SetErrorForPath(const std::string &hostPath) {
    if (errno == ENOENT) {
        SetMissingError(hostPath);
    } else {
        SetLastErrorFromErrno();
    }
}

HANDLE OpenFile(const std::string &hostPath, DWORD access, DWORD disposition) {
    if (hostPath.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const bool readable = (access & GENERIC_READ) != 0;
    const bool writable = (access & GENERIC_WRITE) != 0;
    int flags = O_CLOEXEC | O_NOCTTY | (writable ? (readable ? O_RDWR : O_WRONLY) : O_RDONLY);
    switch (disposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT | O_TRUNC;
        break;
    case OPEN_EXISTING:
        break;
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case TRUNCATE_EXISTING:
        if (!writable) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
        }
        flags |= O_TRUNC;
        break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const bool always = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    const bool existed = always && Exists(hostPath);
    struct stat status;
    const bool changesContents = writable || disposition == CREATE_ALWAYS;
    if (stat(hostPath.c_str(), &status) == 0 && disposition != CREATE_NEW &&
        (IsSpecialFile(status) ||
         (changesContents && FileAttributesFromStat(status) == FILE_ATTRIBUTE_READONLY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Non-blocking, so that a special file swapped in after the check cannot hang the open.
    const int fd = open(hostPath.c_str(), flags | O_NONBLOCK, 0666);
    if (fd < 0) {
        SetErrorForPath(hostPath);
        return INVALID_HANDLE_VALUE;
    }
    // Of the status flags, only O_NONBLOCK was set.
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || fcntl(fd, F_SETFL, 0) != 0) {
        close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Windows reports that an "always" disposition met an existing file.
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return AddKernelObject(std::make_shared<FileObject>(fd, readable, writable));
}

BOOL DeleteHostFile(const std::string &hostPath) {
    if (IsReadOnlyFile(hostPath)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (unlink(hostPath.c_str()) != 0) {
        SetErrorForPath(hostPath);
        return FALSE;
    }
    return TRUE;
}

BOOL MoveHostFile(const std::string &from, const std::string &to, DWORD flags) {
    if (from.empty() || to.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (!Exists(from)) {
        SetMissingError(from);
        return FALSE;
    }
    if (flags & MOVEFILE_REPLACE_EXISTING) {
        if (IsReadOnlyFile(to)) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        // rename(2) replaces the target atomically: readers see the old file or the new one.
        if (rename(from.c_str(), to.c_str()) != 0) {
            SetErrorForPath(to);
            return FALSE;
        }
        return TRUE;
    }
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return TRUE;
    }
    if (errno == EEXIST) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        SetErrorForPath(to);
        return FALSE;
    }
    // A file system without RENAME_NOREPLACE: check, then rename.
    if (Exists(to)) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        SetErrorForPath(to);
        return FALSE;
    }
    return TRUE;
}

BOOL CreateHostDirectory(const std::string &hostPath) {
    if (hostPath.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (mkdir(hostPath.c_str(), 0777) != 0) {
        SetLastError(errno == EEXIST   ? ERROR_ALREADY_EXISTS
                     : errno == ENOENT ? ERROR_PATH_NOT_FOUND
                                       : Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

DWORD HostFileAttributes(const std::string &hostPath) {
    struct stat status;
    if (hostPath.empty() || stat(hostPath.c_str(), &status) != 0) {
        if (hostPath.empty()) {
            SetLastError(ERROR_PATH_NOT_FOUND);
        } else {
            SetErrorForPath(hostPath);
        }
        return INVALID_FILE_ATTRIBUTES;
    }
    return FileAttributesFromStat(status);
}

} // namespace

extern "C" HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                                     DWORD disposition, DWORD, HANDLE) {
    return OpenFile(HostPathFromA(name), access, disposition);
}

extern "C" HANDLE WINAPI CreateFileW(LPCWSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                                     DWORD disposition, DWORD, HANDLE) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return OpenFile(HostPathFromW(name), access, disposition);
}

extern "C" BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD bytes, LPDWORD bytesRead,
                                LPVOID) {
    if (bytesRead != nullptr) {
        *bytesRead = 0;
    }
    const auto object = FindKernelObjectAs<FileObject>(file);
    if (!object) {
        return FALSE;
    }
    if (!object->canRead) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && bytes != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD done = 0;
    while (done < bytes) {
        const ssize_t got = read(object->fd, static_cast<char *>(buffer) + done, bytes - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            SetLastErrorFromErrno();
            return FALSE;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<DWORD>(got);
    }
    if (bytesRead != nullptr) {
        *bytesRead = done;
    }
    return TRUE;
}

extern "C" BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD bytes, LPDWORD bytesWritten,
                                 LPVOID) {
    if (bytesWritten != nullptr) {
        *bytesWritten = 0;
    }
    const auto object = FindKernelObjectAs<FileObject>(file);
    if (!object) {
        return FALSE;
    }
    if (!object->canWrite) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (buffer == nullptr && bytes != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A device's store is full before the host's disk is: nothing is written that does not fit.
    struct stat status;
    const off_t position = StoreLimitsFiles() ? lseek(object->fd, 0, SEEK_CUR) : -1;
    if (position >= 0 && fstat(object->fd, &status) == 0) {
        const uint64_t end = static_cast<uint64_t>(position) + bytes;
        const uint64_t size = static_cast<uint64_t>(status.st_size);
        if (end > size && !StoreHasRoomFor(end - size)) {
            return FALSE;
        }
    }
    DWORD done = 0;
    while (done < bytes) {
        const ssize_t put =
            write(object->fd, static_cast<const char *>(buffer) + done, bytes - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            SetLastErrorFromErrno();
            if (bytesWritten != nullptr) {
                *bytesWritten = done;
            }
            return FALSE;
        }
        done += static_cast<DWORD>(put);
    }
    if (bytesWritten != nullptr) {
        *bytesWritten = done;
    }
    return TRUE;
}

extern "C" DWORD WINAPI GetFileSize(HANDLE file, LPDWORD sizeHigh) {
    const auto object = FindKernelObjectAs<FileObject>(file);
    struct stat status;
    if (!object || fstat(object->fd, &status) != 0) {
        if (object) {
            SetLastErrorFromErrno();
        }
        return INVALID_FILE_SIZE;
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (sizeHigh != nullptr) {
        *sizeHigh = static_cast<DWORD>(size >> 32);
    }
    // A size whose low part is INVALID_FILE_SIZE is told from a failure by the last error.
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(size);
}

extern "C" DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh,
                                       DWORD method) {
    const auto object = FindKernelObjectAs<FileObject>(file);
    if (!object) {
        return INVALID_SET_FILE_POINTER;
    }
    const int whence = method == FILE_BEGIN     ? SEEK_SET
                       : method == FILE_CURRENT ? SEEK_CUR
                       : method == FILE_END     ? SEEK_END
                                                : -1;
    if (whence < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    // With a high part the distance is one signed 64-bit number; without, a signed 32-bit one.
    const int64_t offset =
        distanceHigh != nullptr
            ? static_cast<int64_t>(
                  (static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                  static_cast<uint32_t>(distance))
            : static_cast<int64_t>(distance);
    const off_t current = lseek(object->fd, 0, SEEK_CUR);
    struct stat status;
    if (current < 0 || fstat(object->fd, &status) != 0) {
        SetLastErrorFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    const int64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? current : status.st_size;
    if ((offset < 0 && base + offset < 0) || (offset > 0 && base > INT64_MAX - offset)) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    const off_t position = lseek(object->fd, base + offset, SEEK_SET);
    if (position < 0) {
        SetLastErrorFromErrno();
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh != nullptr) {
        *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    }
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

extern "C" BOOL WINAPI SetEndOfFile(HANDLE file) {
    const auto object = FindKernelObjectAs<FileObject>(file);
    if (!object) {
        return FALSE;
    }
    if (!object->canWrite) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    const off_t position = lseek(object->fd, 0, SEEK_CUR);
    struct stat status;
    if (position < 0 || fstat(object->fd, &status) != 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    if (position > status.st_size) {
        return GrowFile(object->fd, static_cast<uint64_t>(status.st_size),
                        static_cast<uint64_t>(position))
                   ? TRUE
                   : FALSE;
    }
    if (ftruncate(object->fd, position) != 0) {
        SetLastErrorFromErrno();
        return FALSE;
    }
    return TRUE;
}

extern "C" BOOL WINAPI DeleteFileA(LPCSTR name) {
    return DeleteHostFile(HostPathFromA(name));
}

extern "C" BOOL WINAPI DeleteFileW(LPCWSTR name) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return DeleteHostFile(HostPathFromW(name));
}

extern "C" BOOL WINAPI MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) {
    return MoveHostFile(HostPathFromA(from), HostPathFromA(to), flags);
}

extern "C" BOOL WINAPI MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (from == nullptr || from[0] == 0 || to == nullptr || to[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return MoveHostFile(HostPathFromW(from), HostPathFromW(to), flags);
}

extern "C" BOOL WINAPI CreateDirectoryA(LPCSTR name, LPSECURITY_ATTRIBUTES) {
    return CreateHostDirectory(HostPathFromA(name));
}

extern "C" BOOL WINAPI CreateDirectoryW(LPCWSTR name, LPSECURITY_ATTRIBUTES) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return CreateHostDirectory(HostPathFromW(name));
}

// An empty directory; never the root of the machine's disk.
extern "C" BOOL WINAPI RemoveDirectoryW(LPCWSTR name) {
    const std::string hostPath = name != nullptr && name[0] != 0 ? HostPathFromW(name) : "";
    if (hostPath.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::error_code failure;
    if (std::filesystem::equivalent(hostPath, HostPathFromW(u"\\"), failure)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (rmdir(hostPath.c_str()) != 0) {
        SetLastError(errno == ENOTEMPTY || errno == EEXIST ? ERROR_DIR_NOT_EMPTY
                     : errno == ENOTDIR                    ? ERROR_DIRECTORY
                                                           : Win32ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

extern "C" DWORD WINAPI GetFileAttributesA(LPCSTR name) {
    return HostFileAttributes(HostPathFromA(name));
}

extern "C" DWORD WINAPI GetFileAttributesW(LPCWSTR name) {
    if (name == nullptr || name[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return HostFileAttributes(HostPathFromW(name));
}
