// Copying a file of the PC onto the connected device over the cable, in pieces.
#ifndef PLATFORM_APPMGR_DEVICE_COPY_H
#define PLATFORM_APPMGR_DEVICE_COPY_H

#include <windows.h>

#include <functional>
#include <string>

// Told the share copied so far, from 0 to 100, after each piece.
using CopyProgress = std::function<void(int percent)>;

// Writes the PC's file over whatever the device has at devicePath. On failure nothing half
// written is left on the device (while the cable holds), and problem says what went wrong, as a
// sentence for the user.
bool CopyFileToDevice(const std::string &pcPath, const std::u16string &devicePath,
                      const CopyProgress &progress, std::string &problem);

#endif
