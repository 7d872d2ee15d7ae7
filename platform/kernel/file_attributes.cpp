// Win32 file attributes and times from a host file's status.
#include "kernel/file_attributes.h"

#include <cstdint>

DWORD FileAttributesFromStat(const struct stat &status) {
    if (S_ISDIR(status.st_mode)) {
        return FILE_ATTRIBUTE_DIRECTORY;
    }
    if ((status.st_mode & S_IWUSR) == 0) {
        return FILE_ATTRIBUTE_READONLY;
    }
    return FILE_ATTRIBUTE_NORMAL;
}

// FILETIME counts 100-nanosecond intervals since 1601; the host counts seconds since 1970.
FILETIME FileTimeFromTimespec(const struct timespec &time) {
    const int64_t secondsFrom1601To1970 = 11644473600LL;
    const int64_t ticks =
        (static_cast<int64_t>(time.tv_sec) + secondsFrom1601To1970) * 10000000 + time.tv_nsec / 100;
    const uint64_t value = ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
    FILETIME result;
    result.dwLowDateTime = static_cast<DWORD>(value);
    result.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return result;
}
