// Carrying out an installation plan on the device: directories, files, registry keys and values,
// shortcuts, each change noted so that it can be undone or recorded, each failure counted.
#ifndef PLATFORM_INSTALL_PACKAGE_INSTALLATION_H
#define PLATFORM_INSTALL_PACKAGE_INSTALLATION_H

#include "install/installed_packages.h"
#include "install/package_plan.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct InstallationFailures {
    WORD directories = 0;
    WORD files = 0;
    WORD keys = 0;
    WORD values = 0;
    WORD shortcuts = 0;
};

// A file or shortcut written, with what it replaced.
struct WrittenFile {
    std::u16string path;
    bool existed = false;
    std::vector<BYTE> before;
};

struct WrittenValue {
    InstalledValue value;
    bool existed = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> before;
};

struct InstallationJournal {
    std::vector<std::u16string> directories; // made, parents first
    std::vector<WrittenFile> files;
    std::vector<std::u16string> keys; // made, parents first
    std::vector<WrittenValue> values;
    std::vector<WrittenFile> shortcuts;
};

// Called before each file with its path and the share of the work done, in per cent.
using InstallationProgress = std::function<void(const std::u16string &file, int percent)>;

InstallationFailures CarryOutPlan(const InstallationPlan &plan, InstallationJournal &journal,
                                  const InstallationProgress &progress);
// Puts back what was there before, and removes what was not.
void UndoInstallation(const InstallationJournal &journal);
// Adds what the journal made to the package's record, each thing once.
void RecordInstallation(const InstallationJournal &journal, InstalledPackage &package);
// Bytes the plan's files and shortcuts need beyond those of the files they replace.
unsigned long long BytesNeeded(const InstallationPlan &plan);

// A whole file written anew; none is left when it cannot be written whole.
bool WriteDeviceFile(const std::u16string &path, const std::vector<BYTE> &bytes);

// Removing a recorded package's files, shortcuts, values, and the keys and directories it made
// when nothing else is left in them. What cannot be removed is left.
void RemoveInstalledThings(const InstalledPackage &package);

#endif
