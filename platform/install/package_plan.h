// What installing a package would do on this device, worked out before anything changes: every
// path resolved, every reference checked, the registry data converted. A package whose manifest
// refers to something it does not have, or names a place outside its folders, has no plan.
#ifndef PLATFORM_INSTALL_PACKAGE_PLAN_H
#define PLATFORM_INSTALL_PACKAGE_PLAN_H

#include "install/cab_archive.h"
#include "install/cab_manifest.h"
#include "kernel/device_identity.h"

#include <windows.h>

#include <string>
#include <vector>

struct PlannedFile {
    std::u16string path;
    std::u16string directory;
    uint32_t flags = 0;
    const std::vector<uint8_t> *bytes = nullptr; // the member's, which must outlive the plan
};

struct PlannedKey {
    std::u16string path; // "HKEY_CURRENT_USER\a\b"; empty for a root this device has not
};

struct PlannedValue {
    size_t key = 0; // index into the plan's keys
    std::u16string name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data; // as RegSetValueExW takes it
    bool noClobber = false;
    bool sound = true; // false when the data does not fit its type
};

struct PlannedShortcut {
    std::u16string path;
    std::u16string target; // quoted when it holds a blank
};

struct InstallationPlan {
    std::u16string installDirectory;
    std::vector<std::u16string> directories; // empty for one that names an unknown folder
    std::vector<PlannedFile> files;
    std::vector<PlannedKey> keys;
    std::vector<PlannedValue> values;
    std::vector<PlannedShortcut> shortcuts;
    unsigned long long bytes = 0;
};

// A standard folder of the device (%CE1% .. %CE17%); empty for a number it does not have.
std::u16string StandardFolder(int number, DevicePlatform platform);
// The installation directory: "\Program Files\" + the package's name; empty when the name is no
// plain file name.
std::u16string InstallDirectoryFor(const std::string &appName);
// %InstallDir% and the standard folders replaced, in any case; unknown names stay.
std::u16string SubstituteFolders(const std::u16string &text, const std::u16string &installDirectory,
                                 DevicePlatform platform);
// A name that stays where it is put: not empty, not "." or "..", no separator, wildcard, drive
// or control character.
bool IsPlainName(std::u16string_view name);

bool PlanInstallation(const CabManifest &manifest, const std::vector<CabMember> &members,
                      const std::u16string &installDirectory, DevicePlatform platform,
                      InstallationPlan &plan, std::string &problem);

#endif
