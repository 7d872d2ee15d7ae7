// The device's identity over the cable: three questions of the Remote API.
#include "appmgr/connected_device.h"

#include "kernel/code_pages.h"

#include <rapi.h>

bool AskConnectedDevice(ConnectedDevice &device) {
    SYSTEM_INFO system = {};
    CEOSVERSIONINFO version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    WCHAR platform[64] = {};
    if (!CeGetSystemInfo(&system) || !CeGetVersionEx(&version) ||
        !CeSystemParametersInfo(SPI_GETPLATFORMTYPE, sizeof(platform) - sizeof(WCHAR), platform,
                                0)) {
        return false;
    }
    device.processor = system.dwProcessorType;
    device.majorVersion = version.dwMajorVersion;
    device.minorVersion = version.dwMinorVersion;
    device.buildNumber = version.dwBuildNumber;
    device.platform = AnsiFromWide(platform); // the last unit stays a NUL whatever came
    return true;
}
