// Installing the product onto the device.
#include "device/product_install.h"

#include "kernel/code_pages.h"
#include "kernel/host_paths.h"

#include <windows.h>

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

const char16_t productFolder[] = u"\\Program Files\\Pennakey";

namespace {

const char16_t settingsKey[] = u"Software\\Quorvale2\\Pennakey";
// The help file goes where the help viewer looks for it.
const char helpFileName[] = "pennkbd.htc";
// The installation hook runs during an installation and is not itself installed.
const char setupLibraryName[] = "pennsetup.dll";

bool WriteInstallDirectory(std::string &error) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        error = "cannot make the product's registry key";
        return false;
    }
    const std::u16string folder = productFolder;
    const LONG written =
        RegSetValueExW(key, u"InstDir", 0, REG_SZ, reinterpret_cast<const BYTE *>(folder.c_str()),
                       static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
    if (written != ERROR_SUCCESS) {
        error = "cannot write InstDir";
        return false;
    }
    return true;
}

} // namespace

bool InstallProduct(const std::string &distFolder, std::string &error) {
    std::error_code failure;
    const fs::path target = HostPathFromW(productFolder);
    const fs::path windows = HostPathFromW(u"\\Windows");
    fs::create_directories(target, failure);
    if (failure) {
        error = "cannot make " + target.string();
        return false;
    }
    bool copied = false;
    for (const fs::directory_entry &entry : fs::directory_iterator(distFolder, failure)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file() || name == "libplatform.so" || name == setupLibraryName) {
            continue;
        }
        const fs::path to = (name == helpFileName ? windows : target) / name;
        fs::copy_file(entry.path(), to, fs::copy_options::overwrite_existing, failure);
        if (failure) {
            error = "cannot copy " + entry.path().string();
            return false;
        }
        copied = true;
    }
    if (!copied) {
        error = "no product files in " + distFolder;
        return false;
    }
    return WriteInstallDirectory(error);
}

std::string DefaultProductFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    path[length] = '\0';
    return (fs::path(path).parent_path() / "device").string();
}
