// \Windows\wceload.exe CABPATH [/delete 0]: installs a Windows CE cabinet. Everything the package
// asks for is checked before anything changes; the setup library then has its say before and
// after the copying, and may have it all undone.
#include "install/installer_programs.h"

#include "install/cab_archive.h"
#include "install/installed_packages.h"
#include "install/installer_window.h"
#include "install/package_installation.h"
#include "install/package_plan.h"
#include "kernel/code_pages.h"
#include "kernel/device_identity.h"
#include "kernel/host_paths.h"

#include <ce_setup.h>

#include <algorithm>

namespace {

const char16_t caption[] = u"Installation";
const char16_t appManagerFolder[] = u"\\Windows\\AppMgr";

enum InstallerResult { installed = 0, refused = 1, cancelled = 2 };

struct InstallerArguments {
    std::u16string cabinet;
    bool keepCabinet = false;
};

// The cabinet's path, quoted or not (then it runs up to an option), and "/delete 0", which keeps
// the cabinet after the installation.
InstallerArguments ParseArguments(std::u16string line) {
    InstallerArguments arguments;
    const size_t option = line.find(u" /");
    std::u16string options = option == std::u16string::npos ? u"" : line.substr(option + 1);
    line = line.substr(0, option);
    if (!line.empty() && line[0] == u'"') {
        const size_t end = line.find(u'"', 1);
        arguments.cabinet = line.substr(1, end == std::u16string::npos ? end : end - 1);
    } else {
        arguments.cabinet = line;
    }
    while (!arguments.cabinet.empty() && arguments.cabinet.back() == u' ') {
        arguments.cabinet.pop_back();
    }
    for (char16_t &c : options) {
        c = static_cast<char16_t>(towlower(c));
    }
    arguments.keepCabinet = options.find(u"/delete 0") != std::u16string::npos;
    return arguments;
}

bool ReadPackage(const std::u16string &path, std::vector<CabMember> &members, CabManifest &manifest,
                 std::string &problem) {
    const std::string host = HostPathFromW(path.c_str());
    if (host.empty() || !ReadCabinet(host, members, problem)) {
        return false;
    }
    const auto manifestMember =
        std::find_if(members.begin(), members.end(), [](const CabMember &m) {
            return m.name.size() > 4 && m.name.compare(m.name.size() - 4, 4, ".000") == 0;
        });
    if (manifestMember == members.end()) {
        problem = "it has no installation data";
        return false;
    }
    return ReadCabManifest(manifestMember->bytes.data(), manifestMember->bytes.size(), manifest,
                           problem);
}

bool VersionAtLeast(uint32_t major, uint32_t minor, uint32_t wantMajor, uint32_t wantMinor) {
    return major != wantMajor ? major > wantMajor : minor >= wantMinor;
}

// Why the package is not for this device, or nothing.
std::u16string Refusal(const CabManifest &manifest) {
    if (manifest.processor != 0 && manifest.processor != deviceProcessorType) {
        return u"it is made for another processor";
    }
    const bool tooOld = (manifest.minimumMajor != 0 || manifest.minimumMinor != 0) &&
                        !VersionAtLeast(deviceMajorVersion, deviceMinorVersion,
                                        manifest.minimumMajor, manifest.minimumMinor);
    const bool tooNew = (manifest.maximumMajor != 0 || manifest.maximumMinor != 0) &&
                        !VersionAtLeast(manifest.maximumMajor, manifest.maximumMinor,
                                        deviceMajorVersion, deviceMinorVersion);
    const bool buildOutside =
        (manifest.minimumBuild != 0 && deviceBuildNumber < manifest.minimumBuild) ||
        (manifest.maximumBuild != 0 && deviceBuildNumber > manifest.maximumBuild);
    if (tooOld || tooNew || buildOutside) {
        return u"it needs another version of Windows CE";
    }
    for (const std::string &platform : manifest.unsupported) {
        if (lstrcmpiW(WideFromAnsi(platform).c_str(), WideFromAnsi(DevicePlatformName()).c_str()) ==
            0) {
            return u"it is not meant for this kind of device";
        }
    }
    return u"";
}

const CabMember *SetupLibraryMember(const std::vector<CabMember> &members) {
    for (const CabMember &member : members) {
        if (member.name.size() > 4 && member.name.compare(member.name.size() - 4, 4, ".999") == 0) {
            return &member;
        }
    }
    return nullptr;
}

struct SetupLibrary {
    HMODULE module = nullptr;
    std::u16string path;
    pfnInstall_Init installInit = nullptr;
    pfnInstall_Exit installExit = nullptr;
};

// The library goes beside the one an earlier installation left, which must survive a cancel.
enum class SetupLibraryLoad { loaded, noRoom, unusable };

SetupLibraryLoad LoadSetupLibrary(const CabMember &member, const std::u16string &packageName,
                                  SetupLibrary &library) {
    CreateDirectoryW(appManagerFolder, nullptr);
    library.path = std::u16string(appManagerFolder) + u"\\" + packageName + u".new";
    if (!WriteDeviceFile(library.path, member.bytes)) {
        return GetLastError() == ERROR_DISK_FULL ? SetupLibraryLoad::noRoom
                                                 : SetupLibraryLoad::unusable;
    }
    library.module = LoadLibraryW(library.path.c_str());
    if (library.module != nullptr) {
        library.installInit = SetupEntry<pfnInstall_Init>(library.module, u"Install_Init");
        library.installExit = SetupEntry<pfnInstall_Exit>(library.module, u"Install_Exit");
    }
    return library.installInit != nullptr && library.installExit != nullptr
               ? SetupLibraryLoad::loaded
               : SetupLibraryLoad::unusable;
}

void FreeSetupLibrary(SetupLibrary &library, bool keep, const std::u16string &packageName) {
    if (library.module != nullptr) {
        FreeLibrary(library.module);
        library.module = nullptr;
    }
    if (library.path.empty()) {
        return;
    }
    if (keep) {
        MoveFileExW(library.path.c_str(), SetupLibraryPath(packageName).c_str(),
                    MOVEFILE_REPLACE_EXISTING);
    } else {
        DeleteFileW(library.path.c_str());
        RemoveDirectoryW(appManagerFolder); // made for it, unless others are kept there
    }
}

std::u16string Number(unsigned long long value) {
    return WideFromAnsi(std::to_string(value));
}

std::u16string FailureSummary(const InstallationFailures &failures) {
    const unsigned total = failures.directories + failures.files + failures.keys + failures.values +
                           failures.shortcuts;
    return total == 0 ? u"" : u" " + Number(total) + u" of its items could not be installed.";
}

struct Installation {
    HINSTANCE instance = nullptr;
    InstallerArguments arguments;
    CabManifest manifest;
    std::vector<CabMember> members;
    InstallationPlan plan;
    std::u16string appName;
    std::u16string packageName;
    HWND window = nullptr;
    SetupLibrary library;
};

// Asks for room until there is enough; each new try asks the setup library again.
bool MakeRoom(Installation &installation, BOOL previouslyInstalled) {
    for (;;) {
        STORE_INFORMATION store = {};
        GetStoreInformation(&store);
        const unsigned long long needed = BytesNeeded(installation.plan);
        if (needed <= store.dwFreeSize) {
            return true;
        }
        const std::u16string text =
            u"There is not enough space on the device to install " + installation.appName +
            u". It needs " + Number((needed + 1023) / 1024) + u" KB; " +
            Number(store.dwFreeSize / 1024) +
            u" KB are free.\r\nFree some space and tap Retry, or tap Cancel.";
        if (SayToUser(installation.window, text, caption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) !=
            IDRETRY) {
            return false;
        }
        if (installation.library.installInit != nullptr &&
            installation.library.installInit(installation.window, FALSE, previouslyInstalled,
                                             installation.plan.installDirectory.c_str()) !=
                codeINSTALL_INIT_CONTINUE) {
            return false;
        }
    }
}

int Finish(Installation &installation, int result, const std::u16string &text) {
    const bool keepLibrary = result == installed;
    FreeSetupLibrary(installation.library, keepLibrary, installation.packageName);
    CloseInstallerWindow(installation.window);
    SayToUser(nullptr, text, caption,
              result == installed ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONEXCLAMATION);
    return result;
}

int Install(Installation &in) {
    InstalledPackage record;
    const bool previous = ReadInstalledPackage(in.packageName, record);
    in.window = OpenInstallerWindow(in.instance, u"Installing " + in.appName);
    const CabMember *setupMember = SetupLibraryMember(in.members);
    const SetupLibraryLoad load = setupMember != nullptr
                                      ? LoadSetupLibrary(*setupMember, in.packageName, in.library)
                                      : SetupLibraryLoad::loaded;
    if (load == SetupLibraryLoad::noRoom) {
        return Finish(in, cancelled,
                      in.appName + u" was not installed: there is not enough space for it.");
    }
    if (load == SetupLibraryLoad::unusable) {
        return Finish(in, refused,
                      in.appName + u" was not installed: its setup library cannot be loaded.");
    }
    const std::u16string directory = in.plan.installDirectory;
    if (in.library.installInit != nullptr &&
        in.library.installInit(in.window, TRUE, previous, directory.c_str()) !=
            codeINSTALL_INIT_CONTINUE) {
        return Finish(in, cancelled, in.appName + u" was not installed: its setup cancelled it.");
    }
    if (!MakeRoom(in, previous)) {
        return Finish(in, cancelled,
                      in.appName + u" was not installed: there is not enough space for it.");
    }
    InstallationJournal journal;
    const InstallationFailures failures =
        CarryOutPlan(in.plan, journal, [&](const std::u16string &file, int percent) {
            ShowInstallerProgress(in.window, file, percent);
        });
    if (in.library.installExit != nullptr &&
        in.library.installExit(in.window, directory.c_str(), failures.directories, failures.files,
                               failures.keys, failures.values,
                               failures.shortcuts) != codeINSTALL_EXIT_DONE) {
        UndoInstallation(journal);
        return Finish(in, cancelled, in.appName + u" was not installed: its setup undid it.");
    }
    record.name = in.packageName;
    record.installDirectory = directory;
    record.setupLibrary = in.library.module != nullptr ? SetupLibraryPath(in.packageName) : u"";
    RecordInstallation(journal, record);
    if (!WriteInstalledPackage(record)) {
        UndoInstallation(journal);
        return Finish(in, refused,
                      in.appName + u" was not installed: the device cannot record it.");
    }
    if (!in.arguments.keepCabinet) {
        DeleteFileW(in.arguments.cabinet.c_str());
    }
    return Finish(in, installed,
                  in.appName + u" was installed successfully." + FailureSummary(failures));
}

} // namespace

std::u16string SetupLibraryPath(const std::u16string &packageName) {
    return std::u16string(appManagerFolder) + u"\\" + packageName + u".dll";
}

int WINAPI WceloadMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    Installation installation;
    installation.instance = instance;
    installation.arguments = ParseArguments(commandLine != nullptr ? commandLine : u"");
    const std::u16string &cabinet = installation.arguments.cabinet;
    if (cabinet.empty()) {
        SayToUser(nullptr, u"No installation file was given.", caption, MB_OK | MB_ICONERROR);
        return refused;
    }
    std::string problem;
    if (!ReadPackage(cabinet, installation.members, installation.manifest, problem)) {
        SayToUser(nullptr,
                  cabinet + u" is not a valid installation file (" + WideFromAnsi(problem) +
                      u"). Nothing was installed.",
                  caption, MB_OK | MB_ICONERROR);
        return refused;
    }
    const CabManifest &manifest = installation.manifest;
    installation.appName = WideFromAnsi(manifest.appName);
    installation.packageName = PackageName(manifest.provider, manifest.appName);
    const std::u16string directory = InstallDirectoryFor(manifest.appName);
    if (directory.empty() || !IsPlainName(installation.packageName)) {
        problem = "its name cannot be a folder's";
    } else if (!PlanInstallation(manifest, installation.members, directory, CurrentDevicePlatform(),
                                 installation.plan, problem)) {
        problem = "the installation data is damaged: " + problem;
    }
    if (!problem.empty()) {
        SayToUser(nullptr,
                  cabinet + u" is not a valid installation file (" + WideFromAnsi(problem) +
                      u"). Nothing was installed.",
                  caption, MB_OK | MB_ICONERROR);
        return refused;
    }
    const std::u16string refusal = Refusal(manifest);
    if (!refusal.empty()) {
        SayToUser(nullptr,
                  installation.appName + u" cannot be installed on this device: " + refusal + u".",
                  caption, MB_OK | MB_ICONERROR);
        return refused;
    }
    return Install(installation);
}
