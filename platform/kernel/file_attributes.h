// Win32 file attributes and times from a host file's status.
#ifndef PLATFORM_KERNEL_FILE_ATTRIBUTES_H
#define PLATFORM_KERNEL_FILE_ATTRIBUTES_H

#include <windows.h>

#include <sys/stat.h>

DWORD FileAttributesFromStat(const struct stat &status);
FILETIME FileTimeFromTimespec(const struct timespec &time);

#endif
