// Judging a cabinet's manifest against the device's identity.
#include "appmgr/cabinet_choice.h"

#include "install/cab_archive.h"

#include <algorithm>
#include <vector>

namespace {

bool VersionAtLeast(DWORD major, DWORD minor, DWORD wantMajor, DWORD wantMinor) {
    return major != wantMajor ? major > wantMajor : minor >= wantMinor;
}

// The manifest is the cabinet's ".000" member.
const CabMember *ManifestMember(const std::vector<CabMember> &members) {
    const auto found = std::find_if(members.begin(), members.end(), [](const CabMember &member) {
        return member.name.size() > 4 &&
               member.name.compare(member.name.size() - 4, 4, ".000") == 0;
    });
    return found != members.end() ? &*found : nullptr;
}

// Room for the name in a device path: MAX_PATH less \Windows\AppMgr\Install\ and the NUL.
const size_t longestDeviceName = MAX_PATH - sizeof("\\Windows\\AppMgr\\Install\\");

} // namespace

CabinetFit FitOf(const CabManifest &manifest, const ConnectedDevice &device) {
    if (manifest.processor != 0 && manifest.processor != device.processor) {
        return CabinetFit::otherProcessor;
    }
    const bool tooOld = (manifest.minimumMajor != 0 || manifest.minimumMinor != 0) &&
                        !VersionAtLeast(device.majorVersion, device.minorVersion,
                                        manifest.minimumMajor, manifest.minimumMinor);
    const bool tooNew = (manifest.maximumMajor != 0 || manifest.maximumMinor != 0) &&
                        !VersionAtLeast(manifest.maximumMajor, manifest.maximumMinor,
                                        device.majorVersion, device.minorVersion);
    const bool buildOutside =
        (manifest.minimumBuild != 0 && device.buildNumber < manifest.minimumBuild) ||
        (manifest.maximumBuild != 0 && device.buildNumber > manifest.maximumBuild);
    if (tooOld || tooNew || buildOutside) {
        return CabinetFit::otherVersion;
    }
    for (const std::string &platform : manifest.unsupported) {
        if (lstrcmpiA(platform.c_str(), device.platform.c_str()) == 0) {
            return CabinetFit::unsupportedPlatform;
        }
    }
    return CabinetFit::suits;
}

CabinetFit FitOfCabinet(const std::string &hostPath, const ConnectedDevice &device,
                        std::string &problem) {
    std::vector<CabMember> members;
    CabManifest manifest;
    if (hostPath.empty()) {
        problem = "it is not on drive C:";
        return CabinetFit::unreadable;
    }
    if (!ReadCabinet(hostPath, members, problem)) {
        return CabinetFit::unreadable;
    }
    const CabMember *member = ManifestMember(members);
    if (member == nullptr) {
        problem = "it has no installation data";
        return CabinetFit::unreadable;
    }
    if (!ReadCabManifest(member->bytes.data(), member->bytes.size(), manifest, problem)) {
        return CabinetFit::unreadable;
    }
    return FitOf(manifest, device);
}

std::string FitText(CabinetFit fit) {
    switch (fit) {
    case CabinetFit::suits:
        return "suits the device";
    case CabinetFit::unreadable:
        return "cannot be read";
    case CabinetFit::otherProcessor:
        return "is made for another processor";
    case CabinetFit::otherVersion:
        return "needs another version of Windows CE";
    case CabinetFit::unsupportedPlatform:
        return "is not meant for this kind of device";
    }
    return std::string();
}

std::string DeviceFileNameOf(const std::string &cabinetPath) {
    const size_t separator = cabinetPath.find_last_of("\\/");
    const std::string name =
        separator == std::string::npos ? cabinetPath : cabinetPath.substr(separator + 1);
    const bool dots = name.find_first_not_of('.') == std::string::npos;
    const bool forbidden = std::any_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 ||
               std::string("\"*:<>?|").find(c) != std::string::npos;
    });
    if (name.empty() || dots || forbidden || name.size() > longestDeviceName) {
        return std::string();
    }
    return name;
}
