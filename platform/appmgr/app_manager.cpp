// The application manager's run: its window paces the work, each step saying on the window what
// it does.
#include "appmgr/app_manager.h"

#include "appmgr/app_manager_window.h"
#include "appmgr/cabinet_choice.h"
#include "appmgr/connected_device.h"
#include "appmgr/description_file.h"
#include "appmgr/device_copy.h"
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"
#include "kernel/whole_files.h"

#include <rapi.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

const char16_t deviceAppManagerFolder[] = u"\\Windows\\AppMgr";
const char16_t deviceInstallFolder[] = u"\\Windows\\AppMgr\\Install";
const char16_t deviceInstaller[] = u"\\Windows\\wceload.exe";
const char noDevice[] =
    "No device is connected. Connect the device and start the installation again.";
const char connectionLost[] = "The connection to the device was lost. Connect the device and "
                              "start the installation again.";

// The description file's path: the whole command line, without the quotes around it.
std::string DescriptionPathOf(LPCSTR commandLine) {
    std::string line = commandLine != nullptr ? commandLine : "";
    const size_t first = line.find_first_not_of(" \t");
    line = first == std::string::npos ? std::string() : line.substr(first);
    if (!line.empty() && line.front() == '"') {
        const size_t close = line.find('"', 1);
        return line.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    const size_t last = line.find_last_not_of(" \t");
    return line.substr(0, last == std::string::npos ? 0 : last + 1);
}

// The folder of a path with its separator; empty for a bare name.
std::string FolderOf(const std::string &path) {
    const size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

// A listed cabinet's path on the PC: as listed when it names its drive or starts at the root,
// else in the description file's folder.
std::string CabinetPathOf(const std::string &folder, const std::string &listed) {
    const bool absolute =
        (listed.size() >= 2 && listed[1] == ':') || listed.front() == '\\' || listed.front() == '/';
    return absolute ? listed : folder + listed;
}

// The work, a step on each tick of the window's timer: the description, the connection, the
// choice, the copy a piece at a time, the start of the device's installer. The first step that
// fails says why in a message box and ends the work.
class Installation : public AppManagerWork {
  public:
    explicit Installation(std::string descriptionPath)
        : descriptionPath_(std::move(descriptionPath)) {}
    ~Installation() override {
        Finish();
    }
    bool Step(HWND window) override {
        if (Continue(window)) {
            return true;
        }
        Finish();
        return false;
    }
    bool InstallerStarted() const {
        return installerStarted_;
    }

  private:
    enum class Stage { read, connect, choose, startCopy, copy, startInstaller };

    bool Continue(HWND window) {
        switch (stage_) {
        case Stage::read:
            return Then(ReadDescription(window), Stage::connect);
        case Stage::connect:
            return Then(Connect(window), Stage::choose);
        case Stage::choose:
            return Then(ChooseCabinet(window), Stage::startCopy);
        case Stage::startCopy:
            return Then(StartCopy(window), Stage::copy);
        case Stage::copy:
            return Then(CopyPiece(window), copy_->Finished() ? Stage::startInstaller : Stage::copy);
        case Stage::startInstaller:
            installerStarted_ = StartInstaller(window);
            return false;
        }
        return false;
    }
    bool Then(bool done, Stage next) {
        if (done) {
            stage_ = next;
        }
        return done;
    }
    // A copy not finished goes before the connection does.
    void Finish() {
        copy_.reset();
        if (connected_) {
            CeRapiUninit();
            connected_ = false;
        }
    }
    bool Fail(HWND window, const std::string &text) {
        TellWhatWentWrong(window, text);
        return false;
    }

    bool ReadDescription(HWND window);
    bool Connect(HWND window);
    bool ChooseCabinet(HWND window);
    bool StartCopy(HWND window);
    bool CopyPiece(HWND window);
    bool StartInstaller(HWND window);

    const std::string descriptionPath_;
    Stage stage_ = Stage::read;
    InstallDescription description_;
    std::string shownName_; // the component's description, or its name without one
    bool connected_ = false;
    std::string cabinetPath_; // the cabinet chosen, on the PC
    std::string cabinetName_; // and its name on the device
    std::u16string onDevice_; // where it goes there
    std::unique_ptr<DeviceFileCopy> copy_;
    bool installerStarted_ = false;
};

bool Installation::ReadDescription(HWND window) {
    const std::string &path = descriptionPath_;
    ShowStatus(window, "Reading " + path);
    HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, maxDescriptionFileBytes, bytes)) {
        return Fail(window, "The installation's description \"" + path + "\" cannot be read.");
    }
    const std::string &component = description_.component;
    switch (ReadDescriptionFile(reinterpret_cast<const char *>(bytes.data()), bytes.size(),
                                description_)) {
    case DescriptionFault::none:
        break;
    case DescriptionFault::noComponent:
        return Fail(window, "\"" + path +
                                "\" does not name the component to install ([CEAppManager] "
                                "Component).");
    case DescriptionFault::noComponentSection:
        return Fail(window, "\"" + path + "\" has no section [" + component +
                                "] describing the component to install.");
    case DescriptionFault::noCabFiles:
        return Fail(window,
                    "\"" + path + "\" lists no cabinet files (CabFiles) for " + component + ".");
    }
    shownName_ = description_.description.empty() ? component : description_.description;
    ShowWhatIsInstalled(window, shownName_);
    return true;
}

bool Installation::Connect(HWND window) {
    ShowStatus(window, "Connecting to the device");
    if (FAILED(CeRapiInit())) {
        return Fail(window, noDevice);
    }
    connected_ = true;
    return true;
}

// The first listed cabinet that suits the device; the others are read no further.
bool Installation::ChooseCabinet(HWND window) {
    ShowStatus(window, "Choosing the package for the device");
    ConnectedDevice device;
    if (!AskConnectedDevice(device)) {
        return Fail(window, connectionLost);
    }
    const std::string folder = FolderOf(descriptionPath_);
    std::string refusals;
    for (const std::string &listed : description_.cabFiles) {
        const std::string path = CabinetPathOf(folder, listed);
        const std::string name = DeviceFileNameOf(path);
        if (name.empty()) {
            refusals += "\r\n" + listed + " has a name the device cannot take.";
            continue;
        }
        std::string problem;
        const CabinetFit fit = FitOfCabinet(HostPathFromA(path.c_str()), device, problem);
        if (fit == CabinetFit::suits) {
            cabinetPath_ = path;
            cabinetName_ = name;
            onDevice_ = std::u16string(deviceInstallFolder) + u"\\" + WideFromAnsi(name);
            return true;
        }
        refusals +=
            "\r\n" + listed + " " + FitText(fit) + (problem.empty() ? "" : ": " + problem) + ".";
    }
    return Fail(window, "None of the packages of " + shownName_ + " suits the connected device (" +
                            device.platform + ")." + refusals);
}

bool Installation::StartCopy(HWND window) {
    ShowStatus(window, "Copying " + cabinetName_ + " to the device");
    // Either may be there from an earlier installation.
    CeCreateDirectory(deviceAppManagerFolder, nullptr);
    CeCreateDirectory(deviceInstallFolder, nullptr);
    copy_ = std::make_unique<DeviceFileCopy>();
    std::string problem;
    return copy_->Start(cabinetPath_, onDevice_, problem) || Fail(window, problem);
}

bool Installation::CopyPiece(HWND window) {
    std::string problem;
    if (!copy_->Next(problem)) {
        return Fail(window, problem);
    }
    ShowStatus(window, "Copying " + cabinetName_ + " to the device (" +
                           std::to_string(copy_->Percent()) + "%)");
    return true;
}

// The device's installer takes the cabinet's path in quotes; the manager does not wait for it.
bool Installation::StartInstaller(HWND window) {
    ShowStatus(window, "Starting the installation on the device");
    const std::u16string commandLine = u"\"" + onDevice_ + u"\"";
    PROCESS_INFORMATION started = {};
    if (!CeCreateProcess(deviceInstaller, commandLine.c_str(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, nullptr, &started)) {
        return Fail(window, FAILED(CeRapiGetError())
                                ? std::string(connectionLost)
                                : "The device's installer could not be started (error " +
                                      std::to_string(CeGetLastError()) + ").");
    }
    return true;
}

} // namespace

int WINAPI AppManagerMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    Installation installation(DescriptionPathOf(commandLine));
    if (OpenAppManagerWindow(instance, installation) == nullptr) {
        return 1;
    }
    RunAppManagerWindow();
    return installation.InstallerStarted() ? 0 : 1;
}
