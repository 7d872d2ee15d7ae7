// Whether a cabinet suits the connected device, as the device's own installer will judge it: the
// processor its manifest names (0 is any), the range of Windows CE versions and builds it allows
// (0 is no limit) and the platforms it refuses, named without regard to case ("POCKETPC" refuses
// a "PocketPC").
#ifndef PLATFORM_APPMGR_CABINET_CHOICE_H
#define PLATFORM_APPMGR_CABINET_CHOICE_H

#include "appmgr/connected_device.h"
#include "install/cab_manifest.h"

#include <string>

enum class CabinetFit { suits, unreadable, otherProcessor, otherVersion, unsupportedPlatform };

CabinetFit FitOf(const CabManifest &manifest, const ConnectedDevice &device);
// The cabinet at that host path, read and judged; problem says why one that cannot be read cannot.
CabinetFit FitOfCabinet(const std::string &hostPath, const ConnectedDevice &device,
                        std::string &problem);
// Why a cabinet does not suit, in a few words after its name ("is made for another processor").
std::string FitText(CabinetFit fit);

// The name a cabinet gets on the device: the last part of its path on the PC. Empty when that
// cannot name a device file, or would not fit into a path under \Windows\AppMgr\Install.
std::string DeviceFileNameOf(const std::string &cabinetPath);

#endif
