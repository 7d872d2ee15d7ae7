// The PC's application manager against a device of the same run: every new PC has it; started
// with a description file it copies the cabinet that suits the device into
// \Windows\AppMgr\Install and starts the device's installer on it, showing what it does while it
// works; whatever stops it is said in a message box, after which its window goes. And the product's
// distribution copied onto the PC as if from its CD.
#include "two_machines.h"

#include "appmgr/app_manager_window.h"
#include "appmgr/description_file.h"
#include "desktop/desktop_distribution.h"
#include "desktop/desktop_programs.h"
#include "device/automation.h"
#include "device/window_search.h"
#include "kernel/code_pages.h"
#include "rapi/rapi_client.h"
#include "rapi/rapi_server.h"

#include <algorithm>
#include <set>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

const int messageBoxTextId = 0xFFFF;
const char descriptionOnPc[] = "C:\\Pennakey\\Pennakey.ini";
const char noDeviceText[] =
    "No device is connected. Connect the device and start the installation again.";

std::string ProductFile(const std::string &name) {
    return std::string(PENNAKEY_PRODUCT_DIST) + "/" + name;
}

// What the window's two lines said, each change once, while the manager ran.
std::vector<std::string> linesSeen;

std::string LineOf(HWND window, int id) {
    HWND line = GetDlgItem(window, id);
    return line != nullptr ? AnsiFromWide(TextOfWindow(line)) : std::string();
}

// Called on every round of the run, so also while the manager waits for the device's replies.
bool WatchTheWindow() {
    Machine *desktop = DesktopMachine();
    if (desktop == nullptr) {
        return false;
    }
    OnMachine on(desktop);
    HWND window = FindWindowA(appManagerWindowClass, nullptr);
    if (window != nullptr && IsWindowVisible(window)) {
        for (int id : {1, 2}) {
            const std::string line = LineOf(window, id);
            if (!line.empty() &&
                std::find(linesSeen.begin(), linesSeen.end(), line) == linesSeen.end()) {
                linesSeen.push_back(line);
            }
        }
    }
    return false;
}

class AppManager : public TwoMachines {
  protected:
    void SetUp() override {
        deviceOptions.serveRapi = true;
        ASSERT_NO_FATAL_FAILURE(TwoMachines::SetUp());
        SetRapiPort(0);
        linesSeen.clear();
        AddHostService(WatchTheWindow);
        fs::create_directories(desktopFolder + "/Pennakey");
    }
    void TearDown() override {
        RemoveHostService(WatchTheWindow);
        if (process != nullptr) {
            OnMachine on(desktop);
            CloseHandle(process);
        }
        TwoMachines::TearDown();
    }

    // A file of the product's distribution into C:\Pennakey.
    void PutOnPc(const std::string &name) const {
        fs::copy_file(ProductFile(name), desktopFolder + "/Pennakey/" + name,
                      fs::copy_options::overwrite_existing);
    }
    void WriteOnPc(const std::string &name, const std::string &text) const {
        std::ofstream(desktopFolder + "/Pennakey/" + name, std::ios::binary) << text;
    }
    static std::string DescriptionOf(const std::string &cabFiles) {
        return "[CEAppManager]\r\nVersion = 1.0\r\nComponent = Pennakey\r\n\r\n[Pennakey]\r\n"
               "Description = On-screen keyboard\r\nCabFiles = " +
               cabFiles + "\r\n";
    }

    // Starts the manager as the installer on the PC does, by its App Paths entry's path, with the
    // description file's path in quotes, and runs until everything waits.
    void StartAppManager(const std::string &description) {
        {
            OnMachine on(desktop);
            if (process != nullptr) {
                CloseHandle(process);
            }
            std::string line = std::string("\"") + appManagerPath + "\" \"" + description + "\"";
            PROCESS_INFORMATION information = {};
            ASSERT_TRUE(CreateProcessA(appManagerPath, line.data(), nullptr, nullptr, FALSE, 0,
                                       nullptr, nullptr, nullptr, &information));
            process = information.hProcess;
            CloseHandle(information.hThread);
        }
        RunUntilIdle();
    }
    // The manager works at the PC's pace: these let the PC's time pass until it is done, or until
    // it asks the user something, up to a bound far above what it takes.
    bool WaitUntilDone() const {
        OnMachine on(desktop);
        return WaitForWindow(WindowName{u"CEAppMgr", false}, false, 10000);
    }
    // The product's description and both cabinets on the PC, the manager run: the chosen cabinet
    // lands whole on the device, the other not at all, and the device's installer asks for
    // layouts.
    void ExpectCabinetInstalled(const std::string &chosen, const std::string &other) {
        for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
            PutOnPc(name);
        }
        StartAppManager(descriptionOnPc);
        ASSERT_TRUE(WaitUntilDone()) << BoxText();
        EXPECT_EQ(BoxText(), "(none)");
        EXPECT_EQ(ExitCode(), 0u);
        EXPECT_FALSE(WindowThere());
        EXPECT_EQ(HostFileText(OnDevice(chosen)), HostFileText(ProductFile(chosen)));
        EXPECT_FALSE(fs::exists(OnDevice(other)));
        OnMachine on(device);
        EXPECT_TRUE(WaitForWindow(WindowName{u"Keyboard layouts", true}, true, 5000))
            << DescribeWindows();
    }
    bool WaitForTheBox() const {
        OnMachine on(desktop);
        return WaitForWindow(WindowName{u"Dialog", false}, true, 10000);
    }
    DWORD ExitCode() const {
        OnMachine on(desktop);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeProcess(process, &code));
        return code;
    }
    bool WindowThere() const {
        OnMachine on(desktop);
        return FindWindowA(appManagerWindowClass, nullptr) != nullptr;
    }
    // The text of the PC's message box in front, or "(none)".
    std::string BoxText() const {
        OnMachine on(desktop);
        for (HWND top = GetWindow(GetDesktopWindow(), GW_CHILD); top != nullptr;
             top = GetWindow(top, GW_HWNDNEXT)) {
            if (IsWindowVisible(top) && GetDlgItem(top, messageBoxTextId) != nullptr) {
                return AnsiFromWide(TextOfWindow(top)) + ": " +
                       AnsiFromWide(TextOfWindow(GetDlgItem(top, messageBoxTextId)));
            }
        }
        return "(none)";
    }
    // Answers the box as a user would; the manager then ends.
    void AnswerTheBox() const {
        OnMachine on(desktop);
        std::string error;
        ASSERT_TRUE(AnswerMessageBox(u"OK", error)) << error;
        RunUntilIdle();
    }
    std::string OnDevice(const std::string &name) const {
        return deviceFolder + "/Windows/AppMgr/Install/" + name;
    }
    // The box that stopped the manager, answered; its window goes with it and the exit code is 1.
    std::string RefusalAnswered() {
        EXPECT_TRUE(WaitForTheBox()) << "the manager ended without a word";
        const std::string text = BoxText();
        EXPECT_TRUE(WindowThere()) << "the window stays while the box is shown";
        EXPECT_EQ(ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
        AnswerTheBox();
        EXPECT_FALSE(WindowThere());
        EXPECT_EQ(ExitCode(), 1u);
        EXPECT_FALSE(fs::exists(deviceFolder + "/Windows/AppMgr/Install")) << "nothing copied";
        return text;
    }

    HANDLE process = nullptr;
};

// --- On every PC ---

TEST_F(AppManager, ANewPcHasTheProgramAndItsAppPathsEntry) {
    OnMachine on(desktop);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE",
                            0, 0, &key),
              ERROR_SUCCESS);
    char path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "", nullptr, &type, reinterpret_cast<BYTE *>(path), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::string(path), "C:\\Program Files\\CE Services\\ceappmgr.exe");
    RegCloseKey(key);

    // Found on the disk as a program that is looked for before it is started is found.
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(path, &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::string(found.cFileName), "ceappmgr.exe");
    FindClose(search);
    EXPECT_EQ(GetFileAttributesA(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

// Booted again from its folder, the PC keeps a changed entry and makes a removed file again.
TEST_F(AppManager, ABootKeepsWhatIsThereAndMakesWhatIsMissing) {
    {
        OnMachine on(desktop);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, appManagerAppPathsKey, 0, nullptr, 0, 0,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char moved[] = "C:\\Tools\\ceappmgr.exe";
        ASSERT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(moved),
                                 sizeof(moved)),
                  ERROR_SUCCESS);
        RegCloseKey(key);
        ASSERT_TRUE(DeleteFileA(appManagerPath));
    }
    DesktopOptions options;
    options.folder = desktopFolder;
    std::string error;
    ASSERT_TRUE(BootDesktop(options, error)) << error;
    desktop = DesktopMachine();
    OnMachine on(desktop);
    EXPECT_NE(GetFileAttributesA(appManagerPath), INVALID_FILE_ATTRIBUTES);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, appManagerAppPathsKey, 0, 0, &key), ERROR_SUCCESS);
    char path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    EXPECT_EQ(
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::string(path), "C:\\Tools\\ceappmgr.exe");
    RegCloseKey(key);
}

// --- Installing ---

TEST_F(AppManager, APocketPcGetsThePocketPcCabinetAndItsInstallerStarts) {
    ExpectCabinetInstalled("Pennakey_ppc.cab", "Pennakey_hpc.cab");
    // What the window said while the manager waited for the device, in that order (reading the
    // description file waits for nothing).
    const std::vector<std::string> expected = {"Installing On-screen keyboard",
                                               "Connecting to the device",
                                               "Choosing the package for the device",
                                               "Copying Pennakey_ppc.cab to the device",
                                               "Copying Pennakey_ppc.cab to the device (100%)",
                                               "Starting the installation on the device"};
    std::vector<std::string> seen;
    for (const std::string &line : linesSeen) {
        if (std::find(expected.begin(), expected.end(), line) != expected.end()) {
            seen.push_back(line);
        }
    }
    EXPECT_EQ(seen, expected) << testing::PrintToString(linesSeen);
}

// What a PC installer that starts the manager saw: its window, and the manager's exit code once
// the window had gone.
struct WaitingInstaller {
    bool started = false;
    bool sawWindow = false;
    bool done = false;
    DWORD managerExit = 0;
} waitingInstaller;

// Starts the manager as the product's Setup does: by its App Paths entry, with the description
// file named on its own command line; then looks for the window every 5 ms, a hundred times at
// most, and waits, looking now and then, while it is there.
int WINAPI WaitingInstallerMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    waitingInstaller = WaitingInstaller();
    HKEY key = nullptr;
    char path[MAX_PATH] = {};
    DWORD size = sizeof(path);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, appManagerAppPathsKey, 0, 0, &key) != ERROR_SUCCESS ||
        RegQueryValueExA(key, nullptr, nullptr, nullptr, reinterpret_cast<BYTE *>(path), &size) !=
            ERROR_SUCCESS) {
        return 1;
    }
    RegCloseKey(key);
    std::string line = std::string("\"") + path + "\" \"" + commandLine + "\"";
    PROCESS_INFORMATION manager = {};
    waitingInstaller.started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0,
                                              nullptr, nullptr, nullptr, &manager);
    for (int look = 0; look < 100 && !waitingInstaller.sawWindow; ++look) {
        Sleep(5);
        waitingInstaller.sawWindow = FindWindowA(appManagerWindowClass, nullptr) != nullptr;
    }
    while (FindWindowA(appManagerWindowClass, nullptr) != nullptr) {
        Sleep(250);
    }
    GetExitCodeProcess(manager.hProcess, &waitingInstaller.managerExit);
    CloseHandle(manager.hProcess);
    CloseHandle(manager.hThread);
    waitingInstaller.done = true;
    return 0;
}

TEST_F(AppManager, AnInstallerOnThePcWaitsWhileTheWindowIsThere) {
    for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
        PutOnPc(name);
    }
    RegisterBuiltInAnsiProgram(u"C:\\Pennakey\\setup.exe", WaitingInstallerMain);
    StartOn(desktop, u"C:\\Pennakey\\setup.exe", u"C:\\Pennakey\\Pennakey.ini");
    EXPECT_TRUE(RunUntilQuiet(10000));
    EXPECT_TRUE(waitingInstaller.started);
    EXPECT_TRUE(waitingInstaller.sawWindow) << "the manager works at the PC's pace";
    ASSERT_TRUE(waitingInstaller.done);
    EXPECT_EQ(waitingInstaller.managerExit, 0u) << "the window went with the manager";
    EXPECT_TRUE(fs::exists(OnDevice("Pennakey_ppc.cab")));
}

// A cabinet left by an earlier installation is written over.
TEST_F(AppManager, ACabinetThereFromBeforeIsReplaced) {
    for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
        PutOnPc(name);
    }
    fs::create_directories(deviceFolder + "/Windows/AppMgr/Install");
    std::ofstream(OnDevice("Pennakey_ppc.cab")) << std::string(600000, 'x');
    StartAppManager(descriptionOnPc);
    ASSERT_TRUE(WaitUntilDone()) << BoxText();
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(HostFileText(OnDevice("Pennakey_ppc.cab")),
              HostFileText(ProductFile("Pennakey_ppc.cab")));
}

class AppManagerOnHandheld : public AppManager {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetScreenByName(deviceOptions, "hpc"));
        ASSERT_NO_FATAL_FAILURE(AppManager::SetUp());
    }
};

TEST_F(AppManagerOnHandheld, AHandheldPcGetsTheHandheldCabinet) {
    ExpectCabinetInstalled("Pennakey_hpc.cab", "Pennakey_ppc.cab");
}

// --- What stops it ---

TEST_F(AppManager, WithoutADeviceItSaysSoAndCloses) {
    for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
        PutOnPc(name);
    }
    {
        OnMachine on(device);
        SetCablePlugged(false);
    }
    StartAppManager(descriptionOnPc);
    EXPECT_EQ(RefusalAnswered(), std::string("Add/Remove Programs: ") + noDeviceText);
}

TEST_F(AppManager, WhenNoCabinetSuitsTheDeviceItSaysSoAndCloses) {
    PutOnPc("Pennakey_hpc.cab");
    WriteOnPc("Pennakey.ini", DescriptionOf("Pennakey_hpc.cab, Missing.cab"));
    StartAppManager(descriptionOnPc);
    const std::string text = RefusalAnswered();
    EXPECT_EQ(text.find("Add/Remove Programs: None of the packages of On-screen keyboard suits the "
                        "connected device (PocketPC)."),
              0u)
        << text;
    EXPECT_NE(text.find("Pennakey_hpc.cab is not meant for this kind of device."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Missing.cab cannot be read"), std::string::npos) << text;
}

TEST_F(AppManager, AStoreTooSmallForTheCabinetIsSaidAndNothingIsLeftHalfWritten) {
    // Room for the first pieces of the cabinet, not for all of them.
    {
        OnMachine on(device);
        SetDeviceStoreSize(256 * 1024);
    }
    for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
        PutOnPc(name);
    }
    StartAppManager(descriptionOnPc);
    ASSERT_TRUE(WaitForTheBox());
    EXPECT_EQ(BoxText(), "Add/Remove Programs: There is not enough room on the device for "
                         "Pennakey_ppc.cab.");
    AnswerTheBox();
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_FALSE(WindowThere());
    EXPECT_FALSE(fs::exists(OnDevice("Pennakey_ppc.cab")));
}

// Pulls the cable once the manager has copied its first piece.
bool UnplugWhileCopying() {
    const bool copying =
        std::any_of(linesSeen.begin(), linesSeen.end(), [](const std::string &line) {
            return line.find("to the device (") != std::string::npos;
        });
    if (!copying) {
        return false;
    }
    for (Machine *machine : BootedMachines()) {
        if (KindOf(machine) == MachineKind::Device) {
            OnMachine on(machine);
            if (CablePlugged()) {
                SetCablePlugged(false);
                return true;
            }
        }
    }
    return false;
}

// The device closes what the connection had open; the piece it has is replaced by the next copy.
TEST_F(AppManager, ACablePulledDuringTheCopyIsSaid) {
    for (const char *name : {"Pennakey.ini", "Pennakey_ppc.cab", "Pennakey_hpc.cab"}) {
        PutOnPc(name);
    }
    AddHostService(UnplugWhileCopying);
    StartAppManager(descriptionOnPc);
    ASSERT_TRUE(WaitForTheBox());
    RemoveHostService(UnplugWhileCopying);
    EXPECT_EQ(BoxText(), "Add/Remove Programs: The connection to the device was lost while "
                         "Pennakey_ppc.cab was being copied.");
    AnswerTheBox();
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_FALSE(WindowThere());
    EXPECT_LT(fs::file_size(OnDevice("Pennakey_ppc.cab")),
              fs::file_size(ProductFile("Pennakey_ppc.cab")));

    // Plugged again, the next run writes it whole.
    {
        OnMachine on(device);
        SetCablePlugged(true);
    }
    StartAppManager(descriptionOnPc);
    ASSERT_TRUE(WaitUntilDone()) << BoxText();
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(HostFileText(OnDevice("Pennakey_ppc.cab")),
              HostFileText(ProductFile("Pennakey_ppc.cab")));
}

struct RefusedCase {
    const char *name;
    const char *file; // null: no file at all
    const char *says;
};

class RefusedDescriptions : public AppManager, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedDescriptions, AreSaidAndTheManagerCloses) {
    if (GetParam().file != nullptr) {
        WriteOnPc("Pennakey.ini", GetParam().file);
    }
    StartAppManager(descriptionOnPc);
    EXPECT_EQ(RefusalAnswered(), std::string("Add/Remove Programs: ") + GetParam().says);
}

INSTANTIATE_TEST_SUITE_P(
    AppManager, RefusedDescriptions,
    testing::Values(
        RefusedCase{"AMissingFile", nullptr,
                    "The installation's description \"C:\\Pennakey\\Pennakey.ini\" cannot be "
                    "read."},
        RefusedCase{"NoManagerSection", "[Pennakey]\nCabFiles=Pennakey_ppc.cab\n",
                    "\"C:\\Pennakey\\Pennakey.ini\" does not name the component to install "
                    "([CEAppManager] Component)."},
        RefusedCase{"AMissingComponentSection",
                    "[CEAppManager]\nComponent=Pennakey\n[Other]\nCabFiles=Pennakey_ppc.cab\n",
                    "\"C:\\Pennakey\\Pennakey.ini\" has no section [Pennakey] describing the "
                    "component to install."},
        RefusedCase{"AnEmptyCabFilesList",
                    "[CEAppManager]\nComponent=Pennakey\n[Pennakey]\nCabFiles= , \n",
                    "\"C:\\Pennakey\\Pennakey.ini\" lists no cabinet files (CabFiles) for "
                    "Pennakey."}),
    [](const testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

// A description file is read whole up to 64 KB; a larger file is none.
TEST_F(AppManager, ADescriptionFileIsReadUpToItsLimit) {
    std::string text = DescriptionOf("Missing.cab");
    text += std::string(maxDescriptionFileBytes - text.size() - 2, ';') + "\r\n";
    ASSERT_EQ(text.size(), maxDescriptionFileBytes);
    WriteOnPc("Pennakey.ini", text);
    StartAppManager(descriptionOnPc);
    EXPECT_NE(RefusalAnswered().find("None of the packages"), std::string::npos)
        << "read, and its one cabinet is missing";

    WriteOnPc("Pennakey.ini", text + ";");
    StartAppManager(descriptionOnPc);
    EXPECT_EQ(RefusalAnswered(), "Add/Remove Programs: The installation's description "
                                 "\"C:\\Pennakey\\Pennakey.ini\" cannot be read.");
}

// --- The distribution on the PC ---

std::set<std::string> FilesUnder(const std::string &folder) {
    std::set<std::string> files;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        files.insert(entry.path().lexically_relative(folder).string() +
                     (entry.is_directory() ? "/" : " " + std::to_string(entry.file_size())));
    }
    return files;
}

TEST_F(AppManager, TheDistributionIsCopiedWholeOntoThePc) {
    std::string error;
    ASSERT_TRUE(InstallDistribution(PENNAKEY_PRODUCT_DIST, error)) << error;
    const std::set<std::string> copied = FilesUnder(desktopFolder + "/Pennakey");
    EXPECT_EQ(copied, FilesUnder(PENNAKEY_PRODUCT_DIST));
    EXPECT_TRUE(
        copied.count("Pennakey.ini " + std::to_string(fs::file_size(ProductFile("Pennakey.ini")))));
    EXPECT_EQ(HostFileText(desktopFolder + "/Pennakey/Pennakey_hpc.cab"),
              HostFileText(ProductFile("Pennakey_hpc.cab")));

    // And the manager installs from it.
    StartAppManager(descriptionOnPc);
    ASSERT_TRUE(WaitUntilDone()) << BoxText();
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(AppManager, SubfoldersAreCopiedAndALinkToAFolderIsNotFollowed) {
    const std::string dist = base + "/dist";
    fs::create_directories(dist + "/legacy/more");
    std::ofstream(dist + "/Pennakey.ini") << "[CEAppManager]";
    std::ofstream(dist + "/legacy/pennini.deu") << "deu";
    std::ofstream(dist + "/legacy/more/pennini.ru") << "ru";
    fs::create_directory_symlink(dist, dist + "/legacy/loop");
    std::string error;
    ASSERT_TRUE(InstallDistribution(dist, error)) << error;
    EXPECT_EQ(FilesUnder(desktopFolder + "/Pennakey"),
              (std::set<std::string>{"Pennakey.ini 14", "legacy/", "legacy/pennini.deu 3",
                                     "legacy/more/", "legacy/more/pennini.ru 2"}));
    // Again, over what the first copy left.
    std::ofstream(dist + "/Pennakey.ini") << "[CEAppManager]\r\n";
    ASSERT_TRUE(InstallDistribution(dist, error)) << error;
    EXPECT_EQ(HostFileText(desktopFolder + "/Pennakey/Pennakey.ini"), "[CEAppManager]\r\n");
}

TEST_F(AppManager, TheDistributionNeedsAPcAndAFolder) {
    std::string error;
    EXPECT_FALSE(InstallDistribution(base + "/nowhere", error));
    EXPECT_NE(error.find("nowhere"), std::string::npos) << error;
    PowerOffDesktop();
    error.clear();
    EXPECT_FALSE(InstallDistribution(PENNAKEY_PRODUCT_DIST, error));
    EXPECT_NE(error.find("no PC"), std::string::npos) << error;
}

// pennakey-device's option, as a person runs it: refused without a PC, done with one.
int RunDeviceProgram(const std::string &arguments, std::string &output) {
    const std::string command =
        "timeout 60 " + std::string(PENNAKEY_DEVICE_PROGRAM) + " " + arguments + " 2>&1";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        output.append(buffer, got);
    }
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(AppManager, TheDeviceProgramCopiesTheDistributionOntoItsPc) {
    const std::string deviceAlone = base + "/run/device";
    const std::string pc = base + "/run/pc";
    std::string output;
    EXPECT_EQ(
        RunDeviceProgram("--folder " + deviceAlone + " --headless --install-distribution", output),
        2);
    EXPECT_NE(output.find("--install-distribution copies onto the PC: it needs --desktop PCDIR"),
              std::string::npos)
        << output;
    EXPECT_FALSE(fs::exists(deviceAlone)) << "refused before booting";
    output.clear();
    EXPECT_EQ(RunDeviceProgram("--folder " + deviceAlone + " --desktop " + pc +
                                   " --headless --install-distribution --script /dev/null",
                               output),
              0)
        << output;
    EXPECT_EQ(HostFileText(pc + "/Pennakey/Pennakey.ini"),
              HostFileText(ProductFile("Pennakey.ini")));
    EXPECT_EQ(HostFileText(pc + "/Pennakey/Pennakey_ppc.cab"),
              HostFileText(ProductFile("Pennakey_ppc.cab")));
}

} // namespace
