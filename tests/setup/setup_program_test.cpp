// Setup as a user meets it: started from the distribution on the PC, page after page.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "device/automation.h"
#include "kernel/device_identity.h"
#include "rapi/rapi_server.h"
#include "setup_fixture.h"

namespace {

std::string managerCommandLine;
UINT managerMilliseconds = 2000;

// Stands in for the application manager: its window shows for two seconds, then it goes.
LRESULT CALLBACK ManagerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI FakeManager(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    managerCommandLine = commandLine;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ManagerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "CEAppMgr";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "CEAppMgr", "Manager", WS_VISIBLE | WS_CAPTION, 0, 0, 200, 100,
                                  nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, managerMilliseconds, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0))
        DispatchMessageA(&message);
    return 0;
}

const char appPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";

class SetupProgram : public SetupFixture {
  protected:
    void SetUp() override {
        SetupFixture::SetUp();
        std::filesystem::create_directories(OnPc("Pennakey"));
        for (const auto &file : std::filesystem::directory_iterator(PENNAKEY_PRODUCT_DIST)) {
            if (file.is_regular_file())
                std::filesystem::copy_file(file.path(), OnPc("Pennakey") + "/" +
                                                            file.path().filename().string());
        }
    }
    // Setup started from C:\Pennakey, as from its icon; its process id.
    DWORD StartSetup() {
        PROCESS_INFORMATION information = {};
        {
            OnMachine pc(desktop);
            char commandLine[] = "\"C:\\Pennakey\\Setup.exe\"";
            STARTUPINFOA startup = {};
            startup.cb = sizeof startup;
            EXPECT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                       "C:\\Pennakey", &startup, &information));
        }
        RunUntilIdle();
        return information.dwProcessId;
    }
    // The exit code of a PC program, or STILL_ACTIVE.
    DWORD ExitCodeOnPc(DWORD program) {
        OnMachine pc(desktop);
        const Program *found = FindProgram(program);
        return found != nullptr ? found->exitCode : 0xFFFFFFFF;
    }
    void Click(const char16_t *text) {
        OnMachine pc(desktop);
        std::string error;
        EXPECT_TRUE(ClickControl(text, nullptr, error)) << error;
        RunUntilIdle();
    }
    // The top-level windows of the PC, as DescribeWindows tells them.
    std::string PcWindows() {
        OnMachine pc(desktop);
        return DescribeWindows();
    }
    HWND PcWindow(const char *className, const char *text) {
        OnMachine pc(desktop);
        return FindWindowA(className, text);
    }
    // The front-most window captioned "Pennakey" on the PC, by its first label (a message box's
    // text), or "(none)".
    std::string Message() {
        OnMachine pc(desktop);
        HWND box = FindShownWindow(WindowName{u"Pennakey", true});
        if (box == nullptr)
            return "(none)";
        char text[1000] = {};
        GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        return text[0] != 0 ? text : "(none)"; // a page, not a message
    }
    void Answer(const char16_t *button) {
        OnMachine pc(desktop);
        std::string error;
        EXPECT_TRUE(AnswerMessageBox(button, error)) << error;
        RunUntilIdle();
    }
    // The application manager replaced by one that only shows its window for a while.
    void UseFakeManager() {
        managerCommandLine.clear();
        managerMilliseconds = 2000;
        RegisterBuiltInAnsiProgram(u"C:\\Tools\\ceappmgr.exe", FakeManager);
        OnMachine pc(desktop);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char path[] = "C:\\Tools\\ceappmgr.exe";
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(path), sizeof path);
        RegCloseKey(key);
        std::filesystem::create_directories(OnPc("Tools"));
    }
    // What the device's installation leaves for Setup: its directory, and the box it waits in.
    void DeviceAsksForLayouts() {
        OnMachine on(device);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, nullptr,
                                  0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const std::u16string directory = u"\\Program Files\\Pennakey";
        RegSetValueExW(key, u"InstDir", 0, REG_SZ,
                       reinterpret_cast<const BYTE *>(directory.c_str()),
                       static_cast<DWORD>((directory.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
        CreateDirectoryW(u"\\Program Files\\Pennakey", nullptr);
        layoutsBox = CreateWindowExW(0, u"Dialog", u"Keyboard layouts", WS_POPUP | WS_VISIBLE, 0, 0,
                                     100, 60, nullptr, nullptr, nullptr, nullptr);
    }
    // From the start to the selection page: the licence agreed, the manager gone, the device
    // ready and seen at the next tick.
    DWORD StartToSelection() {
        UseFakeManager();
        const DWORD setup = StartSetup();
        Click(u"I Agree");
        BeginInstalling();
        AdvanceDeviceTime(2000);
        DeviceAsksForLayouts();
        AdvanceDeviceTime(5000);
        return setup;
    }
    HWND Page() {
        return PcWindow("Dialog", "Pennakey");
    }
    // OK on the welcome page: Setup hands over to the manager and looks for its window, which
    // shows once Setup's first short pause lets it run.
    void BeginInstalling() {
        Click(u"OK");
        AdvanceDeviceTime(5);
    }
    // The names a list box of the front page shows, in order.
    std::vector<std::string> Items(int listBox) {
        OnMachine pc(desktop);
        std::vector<std::string> items;
        HWND list = GetDlgItem(Page(), listBox);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; i++) {
            char text[256] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(text);
        }
        return items;
    }
    // A tap on the item, which a multiple-selection list toggles.
    void Select(int listBox, const char *name) {
        OnMachine pc(desktop);
        HWND list = GetDlgItem(Page(), listBox);
        const LRESULT item =
            SendMessageA(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name));
        ASSERT_GE(item, 0) << name;
        RECT rect = {};
        SendMessageA(list, LB_GETITEMRECT, item, reinterpret_cast<LPARAM>(&rect));
        POINT point = {rect.left + 5, (rect.top + rect.bottom) / 2};
        ClientToScreen(list, &point);
        TapAt(point.x, point.y);
        AdvanceDeviceTime(600); // apart from the next tap, which is no double tap then
        EXPECT_GT(SendMessageA(list, LB_GETSEL, item, 0), 0) << name;
    }
    // Layouts of the given sizes in place of the shipped ones.
    void UseLayoutsOfSizes(const std::vector<std::pair<std::string, size_t>> &layouts) {
        for (const auto &file : std::filesystem::directory_iterator(OnPc("Pennakey"))) {
            if (file.path().extension() == ".kbi")
                std::filesystem::remove(file.path());
        }
        for (const auto &[name, size] : layouts) {
            std::u16string text =
                u"[" + std::u16string(name.begin(), name.end()) + u",L,Main,1]\r\n";
            text.resize(size / 2, u' ');
            WriteText(OnPc("Pennakey/" + name + ".kbi"), text);
        }
    }
    // The device's store with exactly that many bytes free.
    void LeaveFreeOnDevice(DWORD bytes) {
        OnMachine on(device);
        STORE_INFORMATION store = {};
        GetStoreInformation(&store);
        SetDeviceStoreSize(store.dwStoreSize - store.dwFreeSize + bytes);
    }
    HWND layoutsBox = nullptr;
};

TEST_F(SetupProgram, TheLicenceComesFirstAndNoEndsSetupSilently) {
    const DWORD setup = StartSetup();
    HWND page = PcWindow("Dialog", "Pennakey");
    ASSERT_NE(page, nullptr) << PcWindows();
    char licence[2048] = {};
    {
        OnMachine pc(desktop);
        GetDlgItemTextA(page, 1001, licence, sizeof licence);
        EXPECT_NE(FindWindowA("Pennakey", "Pennakey"), nullptr) << "the hidden main window";
        EXPECT_FALSE(IsWindowVisible(FindWindowA("Pennakey", "Pennakey")));
    }
    EXPECT_NE(std::string(licence).find("Pennakey Licence"), std::string::npos);
    Click(u"No");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
    EXPECT_EQ(PcWindow("Dialog", nullptr), nullptr) << "no message: " << PcWindows();
    EXPECT_EQ(PcWindow("Pennakey", nullptr), nullptr);
}

TEST_F(SetupProgram, ASecondSetupWhileOneRunsEndsAtOnce) {
    const DWORD first = StartSetup();
    const DWORD second = StartSetup();
    EXPECT_EQ(ExitCodeOnPc(second), 0u);
    EXPECT_EQ(ExitCodeOnPc(first), static_cast<DWORD>(STILL_ACTIVE));
    OnMachine pc(desktop);
    int pages = 0;
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window != nullptr;
         window = GetWindow(window, GW_HWNDNEXT)) {
        char title[32] = {};
        GetWindowTextA(window, title, sizeof title);
        pages += IsWindowVisible(window) && lstrcmpA(title, "Pennakey") == 0;
    }
    EXPECT_EQ(pages, 1);
}

// Not registered, or registered with a path too short to name the manager's folder: Setup ends
// after the welcome page without a word.
TEST_F(SetupProgram, WithoutAnApplicationManagerSetupEndsWithoutAMessage) {
    for (const char *registered : {"", "a.exe"}) {
        {
            OnMachine pc(desktop);
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, appPathsKey);
            HKEY key = nullptr;
            if (registered[0] != 0 &&
                RegCreateKeyExA(HKEY_LOCAL_MACHINE, appPathsKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr) == ERROR_SUCCESS) {
                RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(registered),
                               lstrlenA(registered) + 1);
                RegCloseKey(key);
            }
        }
        const DWORD setup = StartSetup();
        Click(u"I Agree");
        HWND welcome = PcWindow("Dialog", "Pennakey");
        ASSERT_NE(welcome, nullptr);
        Click(u"OK");
        EXPECT_EQ(ExitCodeOnPc(setup), 0u) << registered;
        EXPECT_EQ(PcWindow("Dialog", nullptr), nullptr) << PcWindows();
    }
}

const char waitTimedOut[] =
    "Could not detect a completion of program files installation for a long time.\r\nPerhaps the "
    "information message box of keyboard layouts copying was closed unexpectedly\r\nor you have "
    "canceled the application setup on the device side\r\nor Setup could not initialize "
    "connection with the device.";
const char cancelled[] = "The installation was canceled by user.";
const char installed[] = "Pennakey is successfully installed on the device. Find appropriate item "
                         "in the Start->Programs menu and double tap to run the application.";

TEST_F(SetupProgram, TheWholeSequenceCopiesTheChosenLayoutsToTheDevice) {
    UseFakeManager();
    const DWORD setup = StartSetup();
    Click(u"I Agree");
    {
        OnMachine pc(desktop);
        char text[128] = {};
        GetDlgItemTextA(Page(), 1011, text, sizeof text);
        EXPECT_STREQ(text, "Wellcome to Quorvale's Pennakey setup. Press \"OK\" button to start "
                           "installation on the device.");
    }
    BeginInstalling();
    {
        OnMachine pc(desktop);
        char text[128] = {};
        GetDlgItemTextA(Page(), 1011, text, sizeof text);
        EXPECT_STREQ(text, "Plese wait while fixed part of application will be installed.");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(Page(), IDOK)));
    }
    // The distribution went into the manager's folder for the kind of device its cabinets name,
    // and the manager was started with the description file there.
    const std::string target = "Tools/HPC Applications/Pennakey/";
    for (const char *name :
         {"Setup.exe", "morvex.exe", "pennini.sve", "Pennakey_ppc.cab", "Pennakey_hpc.cab",
          "Pennakey.htm", "English.kbi", "Swedish.kbi", "Layodex.dll", "Pennakey.ini"})
        EXPECT_TRUE(std::filesystem::exists(OnPc(target + name))) << name;
    EXPECT_FALSE(std::filesystem::exists(OnPc(target + "kbi"))) << "not a distribution file";
    EXPECT_EQ(managerCommandLine, "\"C:\\Tools\\HPC Applications\\Pennakey\\Pennakey.ini\"");

    AdvanceDeviceTime(2000);
    DeviceAsksForLayouts();
    AdvanceDeviceTime(5000);
    const std::vector<std::string> available = Items(1001);
    EXPECT_NE(std::find(available.begin(), available.end(), "English"), available.end());
    EXPECT_TRUE(std::is_sorted(available.begin(), available.end()));
    EXPECT_TRUE(Items(1000).empty());
    Select(1001, "English");
    Select(1001, "Swedish");
    Click(u"->");
    EXPECT_EQ(Items(1000), (std::vector<std::string>{"English", "Swedish"}));
    EXPECT_EQ(Items(1001).size(), available.size() - 2);
    Click(u"&Next >");
    EXPECT_EQ(Message(), installed);
    for (const char *name : {"English.kbi", "Swedish.kbi"}) {
        EXPECT_EQ(HostFileText(OnDevice(std::string("Program Files/Pennakey/") + name)),
                  HostFileText(std::string(PENNAKEY_PRODUCT_DIST) + "/" + name))
            << name;
    }
    EXPECT_FALSE(std::filesystem::exists(OnDevice("Program Files/Pennakey/French.kbi")));
    Answer(u"OK");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
    EXPECT_EQ(PcWindow("Pennakey", nullptr), nullptr);
}

// The wait counts five seconds a tick once the manager has gone, and gives up past sixty.
TEST_F(SetupProgram, TheWaitGivesUpAfterSixtySecondsWithoutTheDevice) {
    UseFakeManager();
    const DWORD setup = StartSetup();
    Click(u"I Agree");
    BeginInstalling();
    AdvanceDeviceTime(60000); // twelve ticks: exactly sixty seconds counted
    EXPECT_EQ(Message(), "(none)");
    EXPECT_NE(Page(), nullptr);
    AdvanceDeviceTime(5000);
    EXPECT_EQ(Message(), waitTimedOut);
    Answer(u"OK");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
}

TEST_F(SetupProgram, TheWaitDoesNotCountWhileTheManagerIsOpen) {
    UseFakeManager();
    managerMilliseconds = 30000;
    StartSetup();
    Click(u"I Agree");
    BeginInstalling();
    // The manager goes after 30 s; the tick just after it is the first counted, the one at 85 s
    // the twelfth.
    AdvanceDeviceTime(85000);
    EXPECT_EQ(Message(), "(none)");
    AdvanceDeviceTime(5000);
    EXPECT_EQ(Message(), waitTimedOut);
}

// A device that cannot be reached does not keep Setup waiting for ever.
TEST_F(SetupProgram, WithTheCableUnpluggedTheWaitStillGivesUp) {
    UseFakeManager();
    StartSetup();
    Click(u"I Agree");
    BeginInstalling();
    DeviceAsksForLayouts();
    SetCablePlugged(false);
    AdvanceDeviceTime(65000);
    EXPECT_EQ(Message(), waitTimedOut);
    SetCablePlugged(true);
}

TEST_F(SetupProgram, CancellingTheWelcomePageOrItsWaitSaysSo) {
    for (bool waiting : {false, true}) {
        UseFakeManager();
        const DWORD setup = StartSetup();
        Click(u"I Agree");
        if (waiting)
            BeginInstalling();
        Click(u"Cancel");
        EXPECT_EQ(Message(), cancelled) << waiting;
        Answer(u"OK");
        EXPECT_EQ(ExitCodeOnPc(setup), 0u);
        AdvanceDeviceTime(10000); // no timer left behind
        EXPECT_EQ(Message(), "(none)");
    }
}

TEST_F(SetupProgram, WithoutLayoutsNextAsksAndOnlyNoOrExitLeave) {
    UseLayoutsOfSizes({});
    const DWORD setup = StartToSelection();
    EXPECT_TRUE(Items(1001).empty());
    Click(u"&Next >");
    EXPECT_EQ(Message(), "At least one keyboard layout must be selected. If you want to proceed "
                         "with setup press YES button.");
    Answer(u"Yes");
    EXPECT_NE(Page(), nullptr) << "still choosing";
    {
        OnMachine pc(desktop);
        PressKey(VK_ESCAPE);
    }
    EXPECT_NE(Page(), nullptr) << "Esc does not leave";
    Click(u"&Next >");
    Answer(u"No");
    EXPECT_EQ(Message(), cancelled);
    Answer(u"OK");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
}

// 5000 bytes wanted and 3000 free: 4 kb and 2 kb. Continue shows the page again while the room
// is not there; Back keeps both lists; free space equal to the need goes on to the copy.
TEST_F(SetupProgram, TheSpacePageComesBackUntilTheDeviceHasRoom) {
    UseLayoutsOfSizes({{"Big", 3000}, {"Small", 2000}});
    StartToSelection();
    LeaveFreeOnDevice(3000);
    Click(u"&Install All");
    EXPECT_EQ(Items(1000), (std::vector<std::string>{"Big", "Small"}));
    Click(u"&Next >");
    auto shown = [&](int control) {
        OnMachine pc(desktop);
        HWND page = FindWindowA("Dialog", "");
        char text[32] = {};
        GetDlgItemTextA(page, control, text, sizeof text);
        return std::string(text);
    };
    EXPECT_EQ(shown(1012), "4 kb");
    EXPECT_EQ(shown(1011), "2 kb");
    Click(u"&Continue >");
    EXPECT_EQ(shown(1012), "4 kb") << "shown again";
    Click(u"< &Back");
    EXPECT_TRUE(Items(1001).empty());
    EXPECT_EQ(Items(1000), (std::vector<std::string>{"Big", "Small"}));
    Click(u"&Next >");
    LeaveFreeOnDevice(5000);
    Click(u"&Continue >");
    EXPECT_EQ(Message(), installed);
    EXPECT_EQ(std::filesystem::file_size(OnDevice("Program Files/Pennakey/Big.kbi")), 3000u);
}

TEST_F(SetupProgram, ExitSetupOnTheSpacePageEndsSilently) {
    UseLayoutsOfSizes({{"Big", 3000}});
    const DWORD setup = StartToSelection();
    LeaveFreeOnDevice(1000);
    Click(u"&Install All");
    Click(u"&Next >");
    Click(u"E&xit Setup");
    EXPECT_EQ(Message(), "(none)");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
}

TEST_F(SetupProgram, AnUnpluggedCableAfterTheSelectionOrAtContinueSaysSo) {
    UseLayoutsOfSizes({{"Big", 3000}});
    StartToSelection();
    Click(u"&Install All");
    SetCablePlugged(false);
    Click(u"&Next >");
    EXPECT_EQ(Message(), "Can't connect to device.");
    Answer(u"OK");
    SetCablePlugged(true);

    StartToSelection();
    LeaveFreeOnDevice(1000);
    Click(u"&Install All");
    Click(u"&Next >");
    SetCablePlugged(false);
    Click(u"&Continue >");
    EXPECT_EQ(Message(), "Could not connect to the device.");
    SetCablePlugged(true);
}

TEST_F(SetupProgram, WithoutTheInstallationDirectoryNothingIsCopied) {
    UseLayoutsOfSizes({{"Big", 3000}});
    StartToSelection();
    {
        OnMachine on(device);
        RegDeleteKeyW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey");
    }
    Click(u"&Install All");
    Click(u"&Next >");
    EXPECT_EQ(Message(), "Could not obtain Pennakey's installation directory.");
    EXPECT_FALSE(std::filesystem::exists(OnDevice("Program Files/Pennakey/Big.kbi")));
}

// Started from the folder it would copy itself into, Setup copies nothing and hands that
// folder's description file to the manager.
TEST_F(SetupProgram, StartedFromItsTargetFolderSetupCopiesNothing) {
    UseFakeManager();
    const std::string target = OnPc("Tools/HPC Applications/Pennakey");
    std::filesystem::create_directories(target);
    std::filesystem::copy(OnPc("Pennakey"), target);
    std::filesystem::remove(target + "/morvex.exe");
    std::filesystem::remove_all(OnPc("Pennakey"));
    {
        OnMachine pc(desktop);
        char commandLine[] = "\"C:\\Tools\\HPC Applications\\Pennakey\\Setup.exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                   "C:\\Tools\\HPC Applications\\Pennakey", &startup,
                                   &information));
    }
    RunUntilIdle();
    Click(u"I Agree");
    BeginInstalling();
    EXPECT_EQ(managerCommandLine, "\"C:\\Tools\\HPC Applications\\Pennakey\\Pennakey.ini\"");
    EXPECT_FALSE(std::filesystem::exists(target + "/morvex.exe")) << "nothing copied";
}

} // namespace
