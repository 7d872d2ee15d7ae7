// The application manager's run: each step says on the window what it does, and the first that
// fails says why in a message box and ends the run.
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

struct Run {
    HWND window = nullptr;
    std::string descriptionPath;
    InstallDescription description;
    std::string shownName; // the component's description, or its name without one
    bool connected = false;
    std::string cabinetPath; // the cabinet chosen, on the PC
    std::u16string onDevice; // where it goes on the device
};

bool Fail(const Run &run, const std::string &text) {
    TellWhatWentWrong(run.window, text);
    return false;
}

bool ReadDescription(Run &run) {
    ShowStatus(run.window, "Reading " + run.descriptionPath);
    const std::string &path = run.descriptionPath;
    HANDLE file = path.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, maxDescriptionFileBytes, bytes)) {
        return Fail(run, "The installation's description \"" + path + "\" cannot be read.");
    }
    const std::string &component = run.description.component;
    switch (ReadDescriptionFile(reinterpret_cast<const char *>(bytes.data()), bytes.size(),
                                run.description)) {
    case DescriptionFault::none:
        break;
    case DescriptionFault::noComponent:
        return Fail(run, "\"" + path +
                             "\" does not name the component to install ([CEAppManager] "
                             "Component).");
    case DescriptionFault::noComponentSection:
        return Fail(run, "\"" + path + "\" has no section [" + component +
                             "] describing the component to install.");
    case DescriptionFault::noCabFiles:
        return Fail(run,
                    "\"" + path + "\" lists no cabinet files (CabFiles) for " + component + ".");
    }
    run.shownName = run.description.description.empty() ? component : run.description.description;
    ShowWhatIsInstalled(run.window, run.shownName);
    return true;
}

bool Connect(Run &run) {
    ShowStatus(run.window, "Connecting to the device");
    if (FAILED(CeRapiInit())) {
        return Fail(run, noDevice);
    }
    run.connected = true;
    return true;
}

// The first listed cabinet that suits the device; the others are read no further.
bool ChooseCabinet(Run &run) {
    ShowStatus(run.window, "Choosing the package for the device");
    ConnectedDevice device;
    if (!AskConnectedDevice(device)) {
        return Fail(run, connectionLost);
    }
    const std::string folder = FolderOf(run.descriptionPath);
    std::string refusals;
    for (const std::string &listed : run.description.cabFiles) {
        const std::string path = CabinetPathOf(folder, listed);
        const std::string name = DeviceFileNameOf(path);
        if (name.empty()) {
            refusals += "\r\n" + listed + " has a name the device cannot take.";
            continue;
        }
        std::string problem;
        const CabinetFit fit = FitOfCabinet(HostPathFromA(path.c_str()), device, problem);
        if (fit == CabinetFit::suits) {
            run.cabinetPath = path;
            run.onDevice = std::u16string(deviceInstallFolder) + u"\\" + WideFromAnsi(name);
            return true;
        }
        refusals +=
            "\r\n" + listed + " " + FitText(fit) + (problem.empty() ? "" : ": " + problem) + ".";
    }
    return Fail(run, "None of the packages of " + run.shownName + " suits the connected device (" +
                         device.platform + ")." + refusals);
}

bool CopyCabinet(Run &run) {
    const std::string name = AnsiFromWide(run.onDevice.substr(run.onDevice.rfind(u'\\') + 1));
    const std::string copying = "Copying " + name + " to the device";
    ShowStatus(run.window, copying);
    // Either may be there from an earlier installation.
    CeCreateDirectory(deviceAppManagerFolder, nullptr);
    CeCreateDirectory(deviceInstallFolder, nullptr);
    std::string problem;
    const HWND window = run.window;
    const CopyProgress progress = [&](int percent) {
        ShowStatus(window, copying + " (" + std::to_string(percent) + "%)");
    };
    if (!CopyFileToDevice(run.cabinetPath, run.onDevice, progress, problem)) {
        return Fail(run, problem);
    }
    return true;
}

// The device's installer takes the cabinet's path in quotes; the manager does not wait for it.
bool StartInstallation(Run &run) {
    ShowStatus(run.window, "Starting the installation on the device");
    const std::u16string commandLine = u"\"" + run.onDevice + u"\"";
    PROCESS_INFORMATION started = {};
    if (!CeCreateProcess(deviceInstaller, commandLine.c_str(), nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, nullptr, &started)) {
        return Fail(run, FAILED(CeRapiGetError())
                             ? std::string(connectionLost)
                             : "The device's installer could not be started (error " +
                                   std::to_string(CeGetLastError()) + ").");
    }
    return true;
}

} // namespace

int WINAPI AppManagerMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    Run run;
    run.descriptionPath = DescriptionPathOf(commandLine);
    run.window = OpenAppManagerWindow(instance);
    const bool started = ReadDescription(run) && Connect(run) && ChooseCabinet(run) &&
                         CopyCabinet(run) && StartInstallation(run);
    if (run.connected) {
        CeRapiUninit();
    }
    CloseAppManagerWindow(run.window);
    return started ? 0 : 1;
}
