// The device's record of installed packages: one key under HKEY_LOCAL_MACHINE\Software\Apps for
// each, named PROVIDER + " " + APPNAME, with the installation directory and everything the
// installation made, so that it can be removed again.
#ifndef PLATFORM_INSTALL_INSTALLED_PACKAGES_H
#define PLATFORM_INSTALL_INSTALLED_PACKAGES_H

#include <windows.h>

#include <string>
#include <vector>

// A registry value the installation wrote: its key as "HKEY_CURRENT_USER\a\b" and its name.
struct InstalledValue {
    std::u16string key;
    std::u16string name;
    bool operator==(const InstalledValue &other) const;
};

struct InstalledPackage {
    std::u16string name;
    std::u16string installDirectory;
    std::u16string setupLibrary; // kept for the removal; empty without one
    std::vector<std::u16string> files;
    std::vector<std::u16string> shortcuts;
    std::vector<std::u16string> directories; // made by the installation, parents first
    std::vector<std::u16string> keys;        // the same for registry keys
    std::vector<InstalledValue> values;
};

std::u16string PackageName(const std::string &provider, const std::string &appName);
bool ReadInstalledPackage(const std::u16string &name, InstalledPackage &package);
bool WriteInstalledPackage(const InstalledPackage &package);
void ForgetInstalledPackage(const std::u16string &name);

// A key path "HKEY_CURRENT_USER\a\b" opened or created; nullptr for another root.
HKEY OpenKeyPath(const std::u16string &path, bool create, bool *created = nullptr);

#endif
