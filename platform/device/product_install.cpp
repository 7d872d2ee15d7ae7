// Installing the product onto the device from its package, as a user does: the package goes onto
// the device, the device's installer runs it, and the user answers its questions, copying the
// layouts into the installation directory when the installation asks for them.
#include "device/product_install.h"

#include "device/automation.h"
#include "device/window_search.h"
#include "kernel/device_identity.h"
#include "kernel/host_paths.h"
#include "kernel/scheduler.h"

#include <windows.h>

#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

const char16_t productFolder[] = u"\\Program Files\\Pennakey";

namespace {

const char16_t packageOnDevice[] = u"\\Temp\\Pennakey.cab";
const char16_t packageRecord[] = u"Software\\Apps\\Quorvale2 Pennakey";
// The installer's steps take far less; a longer wait means it is stuck.
const DWORD stepMilliseconds = 5000;

bool Fail(std::string &error, const std::string &what) {
    error = what + "; the device shows:\n" + DescribeWindows();
    return false;
}

bool CopyLayouts(const std::string &distFolder, std::string &error) {
    const fs::path target = HostPathFromW(productFolder);
    std::error_code failure;
    bool copied = false;
    for (const fs::directory_entry &entry : fs::directory_iterator(distFolder, failure)) {
        if (entry.is_regular_file() && entry.path().extension() == ".kbi") {
            fs::copy_file(entry.path(), target / entry.path().filename(),
                          fs::copy_options::overwrite_existing, failure);
            if (failure) {
                error = "cannot copy " + entry.path().string();
                return false;
            }
            copied = true;
        }
    }
    if (!copied) {
        error = "no layouts in " + distFolder;
    }
    ForgetStoreUse();
    return copied;
}

bool WaitFor(const char16_t *caption) {
    return WaitForWindow(WindowName{caption, true}, true, stepMilliseconds);
}

} // namespace

bool InstallProduct(const std::string &distFolder, std::string &error) {
    const char *packageName = CurrentDevicePlatform() == DevicePlatform::PocketPC
                                  ? "Pennakey_ppc.cab"
                                  : "Pennakey_hpc.cab";
    std::error_code failure;
    fs::copy_file(fs::path(distFolder) / packageName, HostPathFromW(packageOnDevice),
                  fs::copy_options::overwrite_existing, failure);
    if (failure) {
        error = "cannot put " + (fs::path(distFolder) / packageName).string() + " on the device";
        return false;
    }
    ForgetStoreUse(); // the package came in behind the device's back
    std::u16string commandLine = packageOnDevice;
    PROCESS_INFORMATION installer = {};
    if (!CreateProcessW(u"\\Windows\\wceload.exe", commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, nullptr, &installer)) {
        error = "the device's installer does not start";
        return false;
    }
    RunUntilIdle();
    std::string ignored;
    // An earlier installation is mentioned before anything else.
    if (FindShownWindow(WindowName{u"Pennakey Setup", true}) != nullptr) {
        AnswerMessageBox(u"OK", ignored);
    }
    const WindowName completion{u"Pennakey Setup", true};
    const bool answered = WaitFor(u"Keyboard layouts") && CopyLayouts(distFolder, error) &&
                          AnswerMessageBox(u"OK", error) && WaitFor(u"Pennakey Setup") &&
                          ClickControl(u"OK", &completion, error) && WaitFor(u"Installation") &&
                          AnswerMessageBox(u"OK", error);
    RunUntilIdle();
    DWORD exitCode = STILL_ACTIVE;
    GetExitCodeProcess(installer.hProcess, &exitCode);
    CloseHandle(installer.hProcess);
    CloseHandle(installer.hThread);
    HKEY record = nullptr;
    if (!answered || exitCode != 0 ||
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, packageRecord, 0, 0, &record) != ERROR_SUCCESS) {
        return Fail(error, error.empty() ? "the installation did not finish" : error);
    }
    RegCloseKey(record);
    return true;
}

std::string DefaultProductFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return std::string();
    }
    path[length] = '\0';
    return (fs::path(path).parent_path() / "desktop").string();
}
