// Copying the distribution folder onto the PC's drive, through the PC's own path mapping.
#include "desktop/desktop_distribution.h"

#include "desktop/desktop_boot.h"
#include "kernel/host_paths.h"
#include "kernel/machine.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

const char distributionFolderOnPc[] = "C:\\Pennakey";

namespace {

bool CopyTree(const fs::path &from, const fs::path &to, std::string &error) {
    std::error_code failure;
    fs::create_directories(to, failure);
    if (failure) {
        error = "cannot make " + to.string() + ": " + failure.message();
        return false;
    }
    fs::recursive_directory_iterator walk(from, failure);
    for (; !failure && walk != fs::recursive_directory_iterator(); walk.increment(failure)) {
        const fs::path target = to / walk->path().lexically_relative(from);
        std::error_code ignored;
        if (walk->is_directory(ignored) && !walk->is_symlink(ignored)) {
            fs::create_directories(target, failure);
        } else if (walk->is_regular_file(ignored)) {
            fs::copy_file(walk->path(), target, fs::copy_options::overwrite_existing, failure);
        }
        if (failure) {
            error = "cannot copy " + walk->path().string() + ": " + failure.message();
            return false;
        }
    }
    if (failure) {
        error = "cannot read " + from.string() + ": " + failure.message();
        return false;
    }
    return true;
}

} // namespace

bool InstallDistribution(const std::string &distFolder, std::string &error) {
    Machine *desktop = DesktopMachine();
    if (desktop == nullptr) {
        error = "no PC to copy the distribution onto";
        return false;
    }
    std::error_code failure;
    if (distFolder.empty() || !fs::is_directory(distFolder, failure)) {
        error = "no distribution folder " + distFolder;
        return false;
    }
    Machine *previous = SwitchToMachine(desktop);
    const std::string target = HostPathFromA(distributionFolderOnPc);
    SwitchToMachine(previous);
    return CopyTree(distFolder, target, error);
}
