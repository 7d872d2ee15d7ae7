// What the device says about itself: its platform, processor and version, and the size of its
// object store, which the host chooses when it boots the device.
#ifndef PLATFORM_KERNEL_DEVICE_IDENTITY_H
#define PLATFORM_KERNEL_DEVICE_IDENTITY_H

#include <windows.h>

enum class DevicePlatform { PocketPC, HandheldPC };

// A Pocket PC 2002 on a StrongARM processor, the most common device of its day.
const DWORD deviceProcessorType = 2577;
const DWORD deviceMajorVersion = 3;
const DWORD deviceMinorVersion = 0;
const DWORD deviceBuildNumber = 11171;
const DWORD defaultStoreSize = 16 * 1024 * 1024;

void SetDevicePlatform(DevicePlatform platform);
DevicePlatform CurrentDevicePlatform();
// The platform's name as installation packages spell it: "POCKETPC" or "HPC".
const char *DevicePlatformName();
void SetDeviceStoreSize(DWORD bytes);
// False, with ERROR_DISK_FULL, when a file on the device would grow by more bytes than its store
// has free; always true for a PC's disk and for the host's own files.
bool StoreHasRoomFor(unsigned long long growth);
// Whether the machine's files are held to a store at all: on a device, not on a PC or the host.
bool StoreLimitsFiles();
// Files came or went behind the device's back (copied in by the host): measure the store again.
void ForgetStoreUse();

#endif
