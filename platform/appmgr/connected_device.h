// What the device at the other end of the cable says of itself: what its packages are checked
// against.
#ifndef PLATFORM_APPMGR_CONNECTED_DEVICE_H
#define PLATFORM_APPMGR_CONNECTED_DEVICE_H

#include <windows.h>

#include <string>

struct ConnectedDevice {
    DWORD processor = 0; // as GetSystemInfo gives it: 2577 for a StrongARM
    DWORD majorVersion = 0;
    DWORD minorVersion = 0;
    DWORD buildNumber = 0;
    // As SystemParametersInfo(SPI_GETPLATFORMTYPE) names it: "PocketPC", "HPC".
    std::string platform;
};

// Asks the device over the connection CeRapiInit made; false when the cable fails a question.
bool AskConnectedDevice(ConnectedDevice &device);

#endif
