// The product's installation package, one for each kind of device: what it installs, where, the
// registry key it makes and the shortcut, as a cabinet manifest and its members.
#ifndef TOOLS_PACKAGE_PRODUCT_PACKAGE_H
#define TOOLS_PACKAGE_PRODUCT_PACKAGE_H

#include "install/cab_archive.h"
#include "install/cab_manifest.h"

#include <string>
#include <vector>

enum class DeviceKind { PocketPc, HandheldPc };

// The manifest alone; the files it names are the device distribution's.
CabManifest ProductManifest(DeviceKind kind);
// The installed files in manifest order (file 1 first), as the device distribution names them.
std::vector<std::string> ProductFileNames();
// The members of the cabinet: the manifest, the installation hook, then the files from the last
// number down. False with the reason when a file of the distribution cannot be read.
bool ProductMembers(DeviceKind kind, const std::string &deviceDist, std::vector<CabMember> &members,
                    std::string &error);

#endif
