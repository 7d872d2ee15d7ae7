// The device's installer programs: \Windows\wceload.exe installs a cabinet, \Windows\unload.exe
// removes an installed package by its recorded name.
#ifndef PLATFORM_INSTALL_INSTALLER_PROGRAMS_H
#define PLATFORM_INSTALL_INSTALLER_PROGRAMS_H

#include <windows.h>

#include <string>

// Exit codes of both: 0 done, 1 refused or failed, 2 cancelled by the user or the setup library.
int WINAPI WceloadMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int);
int WINAPI UnloadMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int);

// Where a package's setup library is kept between its installation and its removal.
std::u16string SetupLibraryPath(const std::u16string &packageName);

// An entry point of a setup library, or null when the library or the name is missing.
template <typename Function> Function SetupEntry(HMODULE module, const char16_t *name) {
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(
                                   reinterpret_cast<void *>(GetProcAddressW(module, name)));
}

#endif
