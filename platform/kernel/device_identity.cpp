// The device's identity and its store. The store is the device folder: what it holds is what the
// store has used, whatever the host's disk has free.
#include "kernel/device_identity.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"
#include "kernel/registry_store.h"

#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The store's use is measured by walking the folder, then kept up to date by the growth each
// write asks for, so that a copy in many pieces does not walk the folder for every piece. What
// frees room is not counted, so the figure kept is never below the truth for the device's own
// writes: when it says no, the folder is measured again before a write is refused.
struct DeviceIdentity : MachinePart {
    DevicePlatform platform = DevicePlatform::PocketPC;
    DWORD storeSize = defaultStoreSize;
    bool useKnown = false;
    unsigned long long used = 0;
};

DeviceIdentity &Identity() {
    return MachineState<DeviceIdentity>();
}

// Bytes of every file under the folder but the registry's, which is the emulator's way of keeping
// the registry rather than a file of the device; links are not followed, so a loop cannot hold it.
unsigned long long BytesUnder(const std::string &folder) {
    const fs::path registry = RegistryFilePath();
    unsigned long long used = 0;
    std::error_code failure;
    fs::recursive_directory_iterator walk(folder, fs::directory_options::skip_permission_denied,
                                          failure);
    for (; !failure && walk != fs::recursive_directory_iterator(); walk.increment(failure)) {
        std::error_code ignored;
        if (walk->is_regular_file(ignored) && !walk->is_symlink(ignored) &&
            walk->path() != registry) {
            const uintmax_t size = walk->file_size(ignored);
            used += ignored ? 0 : size;
        }
    }
    return used;
}

} // namespace

void SetDevicePlatform(DevicePlatform platform) {
    Identity().platform = platform;
}

DevicePlatform CurrentDevicePlatform() {
    return Identity().platform;
}

const char *DevicePlatformName() {
    return CurrentDevicePlatform() == DevicePlatform::PocketPC ? "POCKETPC" : "HPC";
}

void SetDeviceStoreSize(DWORD bytes) {
    Identity().storeSize = bytes;
    Identity().useKnown = false;
}

void ForgetStoreUse() {
    Identity().useKnown = false;
}

bool StoreLimitsFiles() {
    return !MachineHasDrive() && !GetDeviceFolder().empty();
}

bool StoreHasRoomFor(unsigned long long growth) {
    if (growth == 0 || !StoreLimitsFiles()) {
        return true;
    }
    const std::string folder = GetDeviceFolder();
    DeviceIdentity &identity = Identity();
    const DWORD size = identity.storeSize;
    for (int measured = identity.useKnown ? 0 : 1; measured < 2; ++measured) {
        if (measured == 1) {
            identity.used = BytesUnder(folder);
            identity.useKnown = true;
        }
        if (identity.used <= size && growth <= size - identity.used) {
            identity.used += growth;
            return true;
        }
    }
    SetLastError(ERROR_DISK_FULL);
    return false;
}

extern "C" BOOL WINAPI GetStoreInformation(LPSTORE_INFORMATION information) {
    if (information == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DeviceIdentity &identity = Identity();
    const DWORD size = identity.storeSize;
    const std::string folder = GetDeviceFolder();
    const unsigned long long used = folder.empty() ? 0 : BytesUnder(folder);
    identity.used = used;
    identity.useKnown = !folder.empty();
    information->dwStoreSize = size;
    information->dwFreeSize = used >= size ? 0 : static_cast<DWORD>(size - used);
    return TRUE;
}

extern "C" void WINAPI GetSystemInfo(LPSYSTEM_INFO information) {
    if (information == nullptr) {
        return;
    }
    std::memset(information, 0, sizeof(*information));
    information->dwPageSize = 4096;
    information->dwNumberOfProcessors = 1;
    information->dwProcessorType = deviceProcessorType;
    information->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM;
    information->dwAllocationGranularity = 65536;
}

extern "C" BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW information) {
    if (information == nullptr || information->dwOSVersionInfoSize < sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    information->dwMajorVersion = deviceMajorVersion;
    information->dwMinorVersion = deviceMinorVersion;
    information->dwBuildNumber = deviceBuildNumber;
    information->dwPlatformId = VER_PLATFORM_WIN32_CE;
    information->szCSDVersion[0] = 0;
    return TRUE;
}

extern "C" BOOL WINAPI SystemParametersInfoW(UINT action, UINT size, PVOID value, UINT) {
    if (action != SPI_GETPLATFORMTYPE || value == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const char16_t *name =
        CurrentDevicePlatform() == DevicePlatform::PocketPC ? u"PocketPC" : u"HPC";
    const size_t units = std::char_traits<char16_t>::length(name) + 1;
    if (size < units * sizeof(char16_t)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(value, name, units * sizeof(char16_t));
    return TRUE;
}
