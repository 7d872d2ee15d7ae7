// The one place where a Win32 path becomes a host path and back. Both '\' and '/' separate.
// On the host, A paths are host paths in the ANSI code page and W paths host paths in UTF-16. On a
// device W paths are device paths, stored under the device folder. On a desktop PC both are paths
// of its one drive C: ("C:\" and "c:\" alike, relative ones from the current directory), stored
// under the PC folder; other drives do not exist.
#ifndef PLATFORM_KERNEL_HOST_PATHS_H
#define PLATFORM_KERNEL_HOST_PATHS_H

#include <windows.h>

#include <string>

// Roots every W path in hostFolder, which no path can leave, through ".." or through symbolic
// links (followed as if the folder were the root); an empty folder turns this off.
// A device has no current folder, so relative W paths start at its root too.
void SetDeviceFolder(const std::string &hostFolder);
std::string GetDeviceFolder();
// The machine's disk is a PC's drive C: kept in hostFolder, its current directory "C:\".
void SetDesktopDrive(const std::string &hostFolder);
bool MachineHasDrive();
// The running program's current directory when it has one of its own, else the machine's.
std::u16string MachineCurrentDirectory();
// Sets that same one. False for a path on another drive; the directory itself is not checked
// here.
bool SetMachineCurrentDirectory(const std::u16string &path);
// A path of the drive in its plain form ("C:\name\name", "." and ".." resolved), relative ones
// from the current directory; empty for another drive.
std::u16string PlainDrivePath(const std::u16string &path);

// NULL becomes the empty path.
std::string HostPathFromA(LPCSTR path);
std::string HostPathFromW(LPCWSTR path);

// For reporting host files back (GetModuleFileName): backslashes, and on the W side a device
// path for a file inside the device folder.
std::string Win32PathFromHostA(const std::string &hostPath);
std::u16string Win32PathFromHostW(const std::string &hostPath);

#endif
