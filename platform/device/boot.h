// Booting the emulated device from a folder on the host, and powering it off.
#ifndef PLATFORM_DEVICE_BOOT_H
#define PLATFORM_DEVICE_BOOT_H

#include <string>

struct DeviceOptions {
    // The host folder that holds the device's files and registry; made with the usual folders
    // when missing.
    std::string folder;
    int screenWidth = 240;
    int screenHeight = 320;
    bool realTime = false;
};

// Screens by name: "pocketpc" (240 x 320) and "hpc" (640 x 240). False for another name.
bool SetScreenByName(DeviceOptions &options, const std::string &name);

// Powers on a fresh device, in place of one booted before, and makes it the machine the host
// addresses: its folder, a blank screen, the shell running and idle. False, with the reason, when
// the folder cannot be made.
bool BootDevice(const DeviceOptions &options, std::string &error);
// Asks every program of the device to end, then destroys the device; the host addresses the
// machine booted before it, if any.
void PowerOffDevice();

#endif
