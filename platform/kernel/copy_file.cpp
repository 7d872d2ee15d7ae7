// CopyFile through the file functions themselves, so that the target's rules (no clobbering, the
// disk's limits) are those of any other write. A file copied onto itself is refused, as Windows
// refuses it, rather than truncated. As on Windows, the copy keeps the source's read-only
// attribute, and a read-only target is not overwritten.
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"

#include <sys/stat.h>

#include <vector>

namespace {

bool SameFile(const std::string &a, const std::string &b) {
    struct stat first;
    struct stat second;
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

void MakeReadOnly(const std::string &hostPath) {
    struct stat status;
    if (stat(hostPath.c_str(), &status) == 0) {
        chmod(hostPath.c_str(), status.st_mode & ~(S_IWUSR | S_IWGRP | S_IWOTH));
    }
}

BOOL CopyOpenFile(HANDLE from, HANDLE to) {
    std::vector<BYTE> buffer(64 * 1024);
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            return FALSE;
        }
        if (read == 0) {
            return TRUE;
        }
        DWORD written = 0;
        if (!WriteFile(to, buffer.data(), read, &written, nullptr) || written != read) {
            return FALSE;
        }
    }
}

BOOL CopyHostFile(const std::u16string &from, const std::u16string &to, BOOL failIfExists) {
    if (SameFile(HostPathFromW(from.c_str()), HostPathFromW(to.c_str()))) {
        SetLastError(ERROR_SHARING_VIOLATION);
        return FALSE;
    }
    HANDLE source = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    HANDLE target =
        CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr,
                    failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (target == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        return FALSE;
    }
    const BOOL copied = CopyOpenFile(source, target);
    const DWORD error = GetLastError();
    CloseHandle(source);
    CloseHandle(target);
    if (!copied) {
        DeleteFileW(to.c_str()); // no half copy left behind
        SetLastError(error);
    } else if (GetFileAttributesW(from.c_str()) == FILE_ATTRIBUTE_READONLY) {
        MakeReadOnly(HostPathFromW(to.c_str()));
    }
    return copied;
}

} // namespace

extern "C" BOOL WINAPI CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    if (from == nullptr || to == nullptr || from[0] == 0 || to[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return CopyHostFile(from, to, failIfExists);
}

extern "C" BOOL WINAPI CopyFileA(LPCSTR from, LPCSTR to, BOOL failIfExists) {
    if (from == nullptr || to == nullptr || from[0] == 0 || to[0] == 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return CopyHostFile(WideFromAnsi(from), WideFromAnsi(to), failIfExists);
}
