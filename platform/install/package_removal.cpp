// \Windows\unload.exe NAME: removes an installed package by the name the installer recorded it
// under, asking its setup library first and telling it afterwards.
#include "install/installer_programs.h"

#include "install/installed_packages.h"
#include "install/installer_window.h"
#include "install/package_installation.h"

#include <ce_setup.h>

namespace {

const char16_t caption[] = u"Remove Programs";

enum RemovalResult { removed = 0, refused = 1, cancelled = 2 };

// The name as given, without the quotes around it.
std::u16string PackageNameFrom(const char16_t *line) {
    std::u16string name = line != nullptr ? line : u"";
    while (!name.empty() && name.back() == u' ') {
        name.pop_back();
    }
    if (name.size() >= 2 && name.front() == u'"' && name.back() == u'"') {
        name = name.substr(1, name.size() - 2);
    }
    return name;
}

} // namespace

int WINAPI UnloadMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    const std::u16string name = PackageNameFrom(commandLine);
    InstalledPackage package;
    if (name.empty() || !ReadInstalledPackage(name, package)) {
        MessageBoxW(nullptr, (u"\"" + name + u"\" is not installed on this device.").c_str(),
                    caption, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
        return refused;
    }
    HWND window = OpenInstallerWindow(instance, u"Removing " + name);
    HMODULE library =
        package.setupLibrary.empty() ? nullptr : LoadLibraryW(package.setupLibrary.c_str());
    auto uninstallInit = SetupEntry<pfnUninstall_Init>(library, u"Uninstall_Init");
    auto uninstallExit = SetupEntry<pfnUninstall_Exit>(library, u"Uninstall_Exit");
    if (uninstallInit != nullptr &&
        uninstallInit(window, package.installDirectory.c_str()) != codeUNINSTALL_INIT_CONTINUE) {
        FreeLibrary(library);
        CloseInstallerWindow(window);
        SayToUser(nullptr, name + u" was not removed: its setup cancelled the removal.", caption,
                  MB_OK | MB_ICONEXCLAMATION);
        return cancelled;
    }
    ShowInstallerProgress(window, package.installDirectory, 50);
    RemoveInstalledThings(package);
    if (uninstallExit != nullptr) {
        uninstallExit(window);
    }
    if (library != nullptr) {
        FreeLibrary(library);
    }
    if (!package.setupLibrary.empty() && DeleteFileW(package.setupLibrary.c_str())) {
        // Its folder goes with the last library kept there.
        const std::u16string &path = package.setupLibrary;
        RemoveDirectoryW(path.substr(0, path.find_last_of(u'\\')).c_str());
    }
    ForgetInstalledPackage(name);
    CloseInstallerWindow(window);
    SayToUser(nullptr, name + u" was removed.", caption, MB_OK | MB_ICONINFORMATION);
    return removed;
}
