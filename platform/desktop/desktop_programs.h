// The programs every PC has before anything is installed: the application manager, the stand-in
// for the synchronisation software's. It is built in, found by its path as the device's own
// programs are; a small file of the same name stands for it on the disk, so that a program that
// looks for it before starting it (FindFirstFileA, GetFileAttributesA) finds it there too.
#ifndef PLATFORM_DESKTOP_DESKTOP_PROGRAMS_H
#define PLATFORM_DESKTOP_DESKTOP_PROGRAMS_H

#include <string>

// C:\Program Files\CE Services\ceappmgr.exe
extern const char appManagerPath[];
// Its App Paths key under HKEY_LOCAL_MACHINE, whose default value is appManagerPath.
extern const char appManagerAppPathsKey[];

void RegisterDesktopPrograms();
// On the PC the host addresses: each program's folder and file, and its App Paths value, made
// where missing; what is there already is kept. False, with the reason, when the disk or the
// registry refuses.
bool PutDesktopProgramsInPlace(std::string &error);

#endif
