#include "product_package.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

// Every member's name before its number; the hook is member 999, whatever its file is called.
const char memberStem[] = "PENNAKEY";
const char setupLibraryName[] = "pennsetup.dll";

enum StringId : uint16_t {
    installDirString = 1,
    windowsString,
    softwareString,
    companyString,
    productString,
    shortcutString,
};

enum DirectoryId : uint16_t { installDirectory = 1, windowsDirectory };

// %CE11%: the Start menu's programs on either kind of device.
const uint16_t startMenuPrograms = 11;

bool ReadWholeFile(const std::string &path, std::vector<uint8_t> &bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

std::string MemberName(int number) {
    char name[32];
    snprintf(name, sizeof name, "%s.%03d", memberStem, number);
    return name;
}

} // namespace

std::vector<std::string> ProductFileNames() {
    return {"pennakbd.exe", "layodex.dll", "pennkbd.htc"};
}

CabManifest ProductManifest(DeviceKind kind) {
    CabManifest manifest;
    manifest.appName = "Pennakey";
    manifest.provider = "Quorvale2";
    // Each package is refused by the other kind of device.
    manifest.unsupported = {kind == DeviceKind::PocketPc ? "HPC" : "POCKETPC"};
    manifest.strings = {{installDirString, "%InstallDir%"}, {windowsString, "%CE2%"},
                        {softwareString, "Software"},       {companyString, "Quorvale2"},
                        {productString, "Pennakey"},        {shortcutString, "Pennakey.lnk"}};
    manifest.directories = {{installDirectory, {installDirString}},
                            {windowsDirectory, {windowsString}}};
    // The help file goes where the help viewer looks for it.
    const std::vector<std::string> names = ProductFileNames();
    for (uint16_t number = 1; number <= names.size(); ++number) {
        const bool help = names[number - 1] == "pennkbd.htc";
        manifest.files.push_back({number, help ? windowsDirectory : installDirectory, number,
                                  manifestFileAlwaysOverwrite, names[number - 1]});
    }
    // The key the installation hook and the keyboard program open; InstDir is made with it, so
    // that the key is there before the hook writes the same value.
    manifest.hives = {{1, 2, {softwareString, companyString, productString}}};
    manifest.values = {
        {1, 1, 1, manifestValueString, "InstDir", std::string("%InstallDir%\0", 13)}};
    manifest.links = {{1, startMenuPrograms, 1, 1, {shortcutString}}};
    return manifest;
}

bool ProductMembers(DeviceKind kind, const std::string &deviceDist, std::vector<CabMember> &members,
                    std::string &error) {
    members.clear();
    members.push_back({MemberName(0), WriteCabManifest(ProductManifest(kind))});
    CabMember hook{MemberName(999), {}};
    if (!ReadWholeFile(deviceDist + "/" + setupLibraryName, hook.bytes)) {
        error = std::string("cannot read ") + setupLibraryName;
        return false;
    }
    members.push_back(std::move(hook));
    const std::vector<std::string> names = ProductFileNames();
    for (int number = static_cast<int>(names.size()); number >= 1; --number) {
        CabMember file{MemberName(number), {}};
        if (!ReadWholeFile(deviceDist + "/" + names[number - 1], file.bytes)) {
            error = "cannot read " + names[number - 1];
            return false;
        }
        members.push_back(std::move(file));
    }
    return true;
}
