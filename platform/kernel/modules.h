// Modules as the platform itself loads them.
#ifndef PLATFORM_KERNEL_MODULES_H
#define PLATFORM_KERNEL_MODULES_H

#include <windows.h>

#include <string>

// Loads the module in the host file of exactly that path, no extension added and no search made,
// as LoadLibrary loads one: FreeLibrary releases it.
HMODULE LoadModuleFile(const std::string &hostPath);

// The host's own executable: the module of the device's built-in programs.
HMODULE HostExecutableModule();

#endif
