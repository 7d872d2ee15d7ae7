// Booting the emulated device from a folder on the host, and powering it off.
#ifndef PLATFORM_DEVICE_BOOT_H
#define PLATFORM_DEVICE_BOOT_H

#include "kernel/device_identity.h"

#include <string>

struct DeviceOptions {
    // The host folder that holds the device's files and registry; made with the usual folders
    // when missing.
    std::string folder;
    int screenWidth = 240;
    int screenHeight = 320;
    bool realTime = false;
    DevicePlatform platform = DevicePlatform::PocketPC;
    DWORD storeSize = defaultStoreSize;
    // The device's end of the cable, listening on the loopback address; its port goes into the
    // folder.
    bool serveRapi = false;
};

// Devices by name: "pocketpc" (a 240 x 320 Pocket PC) and "hpc" (a Handheld PC, 640 x 240).
// False for another name.
bool SetScreenByName(DeviceOptions &options, const std::string &name);

// A store size: decimal bytes, or kilobytes or megabytes with a "K" or "M" after the number,
// from 1 byte to 4 GB less one byte. False for anything else.
bool ParseStoreSize(const std::string &text, DWORD &bytes);

// Powers on a fresh device, in place of one booted before, and makes it the machine the host
// addresses: its folder, a blank screen, the shell running and idle. False, with the reason, when
// the folder cannot be made.
bool BootDevice(const DeviceOptions &options, std::string &error);
// Asks every program of the device to end, then destroys the device; the host addresses the
// machine booted before it, if any.
void PowerOffDevice();

#endif
