// Booting the emulated desktop PC from a folder on the host, beside a device or alone.
#ifndef PLATFORM_DESKTOP_DESKTOP_BOOT_H
#define PLATFORM_DESKTOP_DESKTOP_BOOT_H

#include <string>

struct Machine;

struct DesktopOptions {
    // The host folder that holds the PC's drive C: and its registry; made with the usual folders
    // when missing.
    std::string folder;
    bool realTime = false;
};

const int desktopScreenWidth = 800;
const int desktopScreenHeight = 600;

// Powers on a fresh PC, in place of one booted before: its drive, a plain desktop of 800 x 600,
// no program running. The host goes on addressing the machine it addressed before, if any.
// False, with the reason, when the folder cannot be made.
bool BootDesktop(const DesktopOptions &options, std::string &error);
// The booted PC, or null.
Machine *DesktopMachine();
// Asks every program of the PC to end, then destroys it.
void PowerOffDesktop();

#endif
