// The one place where a Win32 path becomes a host path and back. Both '\' and '/' separate.
// A paths are the desktop's host paths in the ANSI code page. W paths are host paths in UTF-16,
// except while a device folder is set: then they are device paths, stored under that folder.
#ifndef PLATFORM_KERNEL_HOST_PATHS_H
#define PLATFORM_KERNEL_HOST_PATHS_H

#include <windows.h>

#include <string>

// Roots every W path in hostFolder, which no path can leave, through ".." or through symbolic
// links (followed as if the folder were the root); an empty folder turns this off.
// A device has no current folder, so relative W paths start at its root too.
void SetDeviceFolder(const std::string &hostFolder);
std::string GetDeviceFolder();

// NULL becomes the empty path.
std::string HostPathFromA(LPCSTR path);
std::string HostPathFromW(LPCWSTR path);

// For reporting host files back (GetModuleFileName): backslashes, and on the W side a device
// path for a file inside the device folder.
std::string Win32PathFromHostA(const std::string &hostPath);
std::u16string Win32PathFromHostW(const std::string &hostPath);

#endif
