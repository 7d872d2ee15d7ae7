// What happens between a PC's power-on and its empty desktop.
#include "desktop/desktop_boot.h"

#include "desktop/desktop_programs.h"

#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "user/window_state.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// The folders every PC's drive has.
const char *const desktopFolders[] = {"Windows", "Program Files", "Temp"};

bool MakeDesktopFolder(const std::string &folder, std::string &error) {
    std::error_code failure;
    for (const char *name : desktopFolders) {
        std::filesystem::create_directories(std::filesystem::path(folder) / name, failure);
        if (failure) {
            error = "cannot make the PC folder " + folder + ": " + failure.message();
            return false;
        }
    }
    return true;
}

} // namespace

Machine *DesktopMachine() {
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == MachineKind::Desktop) {
            return machine;
        }
    }
    return nullptr;
}

bool BootDesktop(const DesktopOptions &options, std::string &error) {
    if (options.folder.empty()) {
        error = "no PC folder";
        return false;
    }
    if (!MakeDesktopFolder(options.folder, error)) {
        return false;
    }
    PowerOffDesktop();
    // A PC beside a device runs on the device's clock, real or virtual.
    if (!DeviceIsBooted()) {
        SetRealTimeClock(options.realTime);
    }
    Machine *addressed = DeviceIsBooted() ? CurrentMachine() : nullptr;
    Machine *desktop = PowerOnMachine(MachineKind::Desktop);
    AddressMachine(desktop);
    SetUpScreen(desktopScreenWidth, desktopScreenHeight);
    SetDesktopDrive(std::filesystem::absolute(options.folder).string());
    RegisterDesktopPrograms();
    const bool inPlace = PutDesktopProgramsInPlace(error);
    AddressMachine(addressed != nullptr ? addressed : desktop);
    return inPlace;
}

void PowerOffDesktop() {
    if (Machine *desktop = DesktopMachine()) {
        PowerOffMachine(desktop);
    }
}
