// What happens between power-on and an idle shell.
#include "device/boot.h"
#include "rapi/rapi_server.h"

#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"
#include "shell/shell.h"
#include "user/window_state.h"

#include <filesystem>
#include <system_error>

namespace {

// The folders every device has.
const char *const deviceFolders[] = {"Windows", "Program Files", "My Documents", "Temp"};

bool MakeDeviceFolder(const std::string &folder, std::string &error) {
    std::error_code failure;
    for (const char *name : deviceFolders) {
        std::filesystem::create_directories(std::filesystem::path(folder) / name, failure);
        if (failure) {
            error = "cannot make the device folder " + folder + ": " + failure.message();
            return false;
        }
    }
    return true;
}

} // namespace

bool SetScreenByName(DeviceOptions &options, const std::string &name) {
    if (name == "pocketpc") {
        options.screenWidth = 240;
        options.screenHeight = 320;
        options.platform = DevicePlatform::PocketPC;
        return true;
    }
    if (name == "hpc") {
        options.screenWidth = 640;
        options.screenHeight = 240;
        options.platform = DevicePlatform::HandheldPC;
        return true;
    }
    return false;
}

bool ParseStoreSize(const std::string &text, DWORD &bytes) {
    size_t digits = 0;
    unsigned long long value = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9' &&
           value <= 0xFFFFFFFFull) {
        value = value * 10 + static_cast<unsigned>(text[digits] - '0');
        ++digits;
    }
    const std::string unit = text.substr(digits);
    if (digits == 0 || (unit != "" && unit != "K" && unit != "M")) {
        return false;
    }
    value *= unit == "K" ? 1024 : unit == "M" ? 1024 * 1024 : 1;
    if (value == 0 || value > 0xFFFFFFFFull) {
        return false;
    }
    bytes = static_cast<DWORD>(value);
    return true;
}

bool BootDevice(const DeviceOptions &options, std::string &error) {
    if (options.folder.empty()) {
        error = "no device folder";
        return false;
    }
    if (!MakeDeviceFolder(options.folder, error)) {
        return false;
    }
    // One device to a run: a new one replaces the one booted before.
    PowerOffDevice();
    Machine *device = PowerOnMachine(MachineKind::Device);
    AddressMachine(device);
    SetUpScreen(options.screenWidth, options.screenHeight);
    SetDeviceFolder(std::filesystem::absolute(options.folder).string());
    SetRealTimeClock(options.realTime);
    SetDevicePlatform(options.platform);
    SetDeviceStoreSize(options.storeSize);
    RegisterShellPrograms();
    if (options.serveRapi && !StartRapiServer(error)) {
        return false;
    }
    PROCESS_INFORMATION information;
    if (!CreateProcessW(u"\\Windows\\explorer.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, nullptr, &information)) {
        error = "the shell does not start";
        return false;
    }
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    return true;
}

void PowerOffDevice() {
    for (Machine *machine : std::vector<Machine *>(BootedMachines())) {
        if (KindOf(machine) == MachineKind::Device) {
            PowerOffMachine(machine);
        }
    }
}
