// A device and a desktop PC in one process: each keeps its own registry, files, windows and focus;
// they share one clock; powering one off leaves the other running and takes with it everything
// the gone one owned; and every program keeps its own last error across waits.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "two_machines.h"

namespace {

namespace fs = std::filesystem;

// --- Registries and files ---

std::u16string ReadDeviceValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Shared", 0, 0, &key) != ERROR_SUCCESS) {
        return u"<no key>";
    }
    WCHAR text[64] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, u"Owner", nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::u16string(text) : u"<no value>";
}

std::string ReadDesktopValue() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, 0, &key) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char text[64] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, "Owner", nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(text) : "<no value>";
}

TEST_F(TwoMachines, EachKeepsItsOwnRegistryInItsOwnFolder) {
    {
        OnMachine on(device);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Shared", 0, nullptr, 0, 0,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const char16_t value[] = u"handheld";
        ASSERT_EQ(RegSetValueExW(key, u"Owner", 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                                 sizeof value),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    {
        OnMachine on(desktop);
        EXPECT_EQ(ReadDesktopValue(), "<no key>");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Shared", 0, nullptr, 0, 0, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        const char value[] = "workstation";
        ASSERT_EQ(RegSetValueExA(key, "Owner", 0, REG_SZ, reinterpret_cast<const BYTE *>(value),
                                 sizeof value),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    {
        OnMachine on(device);
        EXPECT_EQ(ReadDeviceValue(), u"handheld");
    }
    {
        OnMachine on(desktop);
        EXPECT_EQ(ReadDesktopValue(), "workstation");
    }
    const std::string deviceRegistry = HostFileText(deviceFolder + "/registry.txt");
    const std::string desktopRegistry = HostFileText(desktopFolder + "/registry.txt");
    EXPECT_NE(deviceRegistry.find("handheld"), std::string::npos);
    EXPECT_EQ(deviceRegistry.find("workstation"), std::string::npos);
    EXPECT_NE(desktopRegistry.find("workstation"), std::string::npos);
    EXPECT_EQ(desktopRegistry.find("handheld"), std::string::npos);
}

bool WriteWholeFile(HANDLE file, const std::string &text) {
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL wrote =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return wrote && written == text.size();
}

std::string ReadWholeFile(HANDLE file) {
    if (file == INVALID_HANDLE_VALUE) {
        return "<cannot open>";
    }
    char buffer[64] = {};
    DWORD read = 0;
    ReadFile(file, buffer, sizeof buffer - 1, &read, nullptr);
    CloseHandle(file);
    return std::string(buffer, read);
}

TEST_F(TwoMachines, AFileOfOneNameIsTwoFilesOneOnEachDisk) {
    {
        OnMachine on(device);
        ASSERT_TRUE(WriteWholeFile(CreateFileW(u"\\Temp\\note.txt", GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
                                   "from the device"));
    }
    {
        OnMachine on(desktop);
        EXPECT_EQ(GetFileAttributesA("C:\\Temp\\note.txt"), INVALID_FILE_ATTRIBUTES);
        ASSERT_TRUE(WriteWholeFile(CreateFileA("C:\\Temp\\note.txt", GENERIC_WRITE, 0, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
                                   "from the PC"));
    }
    {
        OnMachine on(device);
        EXPECT_EQ(ReadWholeFile(CreateFileW(u"\\Temp\\note.txt", GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
                  "from the device");
    }
    {
        OnMachine on(desktop);
        EXPECT_EQ(ReadWholeFile(CreateFileA("c:\\Temp\\note.txt", GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)),
                  "from the PC");
    }
    EXPECT_EQ(HostFileText(deviceFolder + "/Temp/note.txt"), "from the device");
    EXPECT_EQ(HostFileText(desktopFolder + "/Temp/note.txt"), "from the PC");
}

// --- Windows and focus ---

// What a program saw of the windows around it when asked.
struct Sight {
    std::string ownTwinTitle;   // of the window of class "Twin" that FindWindow gives
    bool sawOtherTwin = false;  // FindWindow found the other machine's "Twin" by its title
    bool sawOtherClass = false; // FindWindow found the class only the other machine has
    bool focusIsOwn = false;
};
Sight deviceSight;
Sight desktopSight;
const UINT look = WM_USER + 1;

LRESULT CALLBACK DeviceTwinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == look) {
        WCHAR title[64] = {};
        GetWindowTextW(FindWindowW(u"Twin", nullptr), title, 64);
        deviceSight.ownTwinTitle = std::string(title, title + lstrlenW(title));
        deviceSight.sawOtherTwin = FindWindowW(u"Twin", u"PC twin") != nullptr;
        deviceSight.sawOtherClass = FindWindowW(u"PcOnly", nullptr) != nullptr;
        deviceSight.focusIsOwn = GetFocus() == window;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI DeviceTwinProgram(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DeviceTwinProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = u"Twin";
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = u"DeviceOnly";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, u"DeviceOnly", u"alone", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                    nullptr, instance, nullptr);
    HWND twin = CreateWindowExW(0, u"Twin", u"device twin", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
    SetFocus(twin);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK DesktopTwinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == look) {
        char title[64] = {};
        GetWindowTextA(FindWindowA("Twin", nullptr), title, 64);
        desktopSight.ownTwinTitle = title;
        desktopSight.sawOtherTwin = FindWindowA("Twin", "device twin") != nullptr;
        desktopSight.sawOtherClass = FindWindowA("DeviceOnly", nullptr) != nullptr;
        desktopSight.focusIsOwn = GetFocus() == window;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI DesktopTwinProgram(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DesktopTwinProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "Twin";
    RegisterClassA(&windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "PcOnly";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "PcOnly", "alone", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                    instance, nullptr);
    HWND twin = CreateWindowExA(0, "Twin", "PC twin", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
    SetFocus(twin);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

class TwoMachinesWithTwins : public TwoMachines {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(TwoMachines::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\twin.exe", DeviceTwinProgram);
        RegisterBuiltInAnsiProgram(u"C:\\Windows\\twin.exe", DesktopTwinProgram);
        deviceSight = Sight();
        desktopSight = Sight();
        StartOn(device, u"\\Windows\\twin.exe", u"");
        StartOn(desktop, u"C:\\Windows\\twin.exe", u"");
    }
    HWND DeviceTwin() {
        OnMachine on(device);
        return FindWindowW(u"Twin", u"device twin");
    }
    HWND DesktopTwin() {
        OnMachine on(desktop);
        return FindWindowA("Twin", "PC twin");
    }
};

TEST_F(TwoMachinesWithTwins, AProgramFindsOnlyTheWindowsOfItsOwnMachine) {
    HWND deviceTwin = DeviceTwin();
    HWND desktopTwin = DesktopTwin();
    ASSERT_NE(deviceTwin, nullptr);
    ASSERT_NE(desktopTwin, nullptr);
    {
        OnMachine on(device);
        SendMessageW(deviceTwin, look, 0, 0);
    }
    {
        OnMachine on(desktop);
        SendMessageA(desktopTwin, look, 0, 0);
    }
    EXPECT_EQ(deviceSight.ownTwinTitle, "device twin");
    EXPECT_FALSE(deviceSight.sawOtherTwin);
    EXPECT_FALSE(deviceSight.sawOtherClass);
    EXPECT_EQ(desktopSight.ownTwinTitle, "PC twin");
    EXPECT_FALSE(desktopSight.sawOtherTwin);
    EXPECT_FALSE(desktopSight.sawOtherClass);
}

TEST_F(TwoMachinesWithTwins, TheFocusOnOneMachineStaysWhenTheOtherTakesIt) {
    // The PC's program set its focus last; the device's program keeps its own.
    {
        OnMachine on(device);
        SendMessageW(DeviceTwin(), look, 0, 0);
    }
    {
        OnMachine on(desktop);
        SendMessageA(DesktopTwin(), look, 0, 0);
    }
    EXPECT_TRUE(deviceSight.focusIsOwn);
    EXPECT_TRUE(desktopSight.focusIsOwn);
}

// --- One clock ---

DWORD NumberOf(LPCWSTR text) {
    DWORD number = 0;
    for (; *text >= u'0' && *text <= u'9'; text++) {
        number = number * 10 + static_cast<DWORD>(*text - u'0');
    }
    return number;
}

std::vector<std::string> wakes;

int WINAPI DeviceSleeper(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const DWORD start = GetTickCount();
    const DWORD pause = NumberOf(commandLine);
    Sleep(pause);
    wakes.push_back("device after " + std::to_string(GetTickCount() - start));
    return 0;
}

int WINAPI DesktopSleeper(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const DWORD start = GetTickCount();
    Sleep(static_cast<DWORD>(std::atol(commandLine)));
    wakes.push_back("PC after " + std::to_string(GetTickCount() - start));
    return 0;
}

TEST_F(TwoMachines, BothMachinesReadOneClock) {
    RegisterBuiltInProgram(u"\\Windows\\sleeper.exe", DeviceSleeper);
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\sleeper.exe", DesktopSleeper);
    wakes.clear();
    DWORD deviceNow;
    DWORD desktopNow;
    {
        OnMachine on(device);
        deviceNow = GetTickCount();
    }
    {
        OnMachine on(desktop);
        desktopNow = GetTickCount();
    }
    EXPECT_EQ(deviceNow, desktopNow);

    // Both start at the same moment; who wakes first depends only on how long each sleeps.
    StartOn(desktop, u"C:\\Windows\\sleeper.exe", u"300");
    StartOn(device, u"\\Windows\\sleeper.exe", u"500");
    StartOn(device, u"\\Windows\\sleeper.exe", u"200");
    EXPECT_TRUE(RunUntilQuiet(1000));
    EXPECT_EQ(wakes,
              (std::vector<std::string>{"device after 200", "PC after 300", "device after 500"}));
    {
        OnMachine on(device);
        deviceNow = GetTickCount();
    }
    {
        OnMachine on(desktop);
        desktopNow = GetTickCount();
    }
    EXPECT_EQ(deviceNow, desktopNow);
}

// --- Powering one off ---

TEST_F(TwoMachinesWithTwins, PoweringOffThePcLeavesTheDeviceRunningAndTakesWhatThePcOwned) {
    HWND desktopTwin = DesktopTwin();
    HBRUSH desktopBrush;
    HANDLE desktopFile;
    {
        OnMachine on(desktop);
        desktopBrush = CreateSolidBrush(RGB(1, 2, 3));
        desktopFile = CreateFileA("C:\\Temp\\open.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_TRUE(IsWindow(desktopTwin));
        ASSERT_EQ(GetObjectType(desktopBrush), static_cast<DWORD>(OBJ_BRUSH));
        ASSERT_NE(desktopFile, INVALID_HANDLE_VALUE);
    }
    PowerOffDesktop();
    EXPECT_EQ(DesktopMachine(), nullptr);

    OnMachine on(device);
    EXPECT_FALSE(IsWindow(desktopTwin));
    EXPECT_EQ(GetObjectType(desktopBrush), 0u);
    EXPECT_FALSE(CloseHandle(desktopFile));
    // The device's program still answers.
    HWND deviceTwin = DeviceTwin();
    ASSERT_TRUE(IsWindow(deviceTwin));
    SendMessageW(deviceTwin, look, 0, 0);
    EXPECT_EQ(deviceSight.ownTwinTitle, "device twin");
}

TEST_F(TwoMachinesWithTwins, PoweringOffTheDeviceLeavesThePcRunningAndTakesWhatTheDeviceOwned) {
    HWND deviceTwin = DeviceTwin();
    HBRUSH deviceBrush;
    HANDLE deviceFile;
    {
        OnMachine on(device);
        deviceBrush = CreateSolidBrush(RGB(4, 5, 6));
        deviceFile = CreateFileW(u"\\Temp\\open.txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_TRUE(IsWindow(deviceTwin));
        ASSERT_EQ(GetObjectType(deviceBrush), static_cast<DWORD>(OBJ_BRUSH));
        ASSERT_NE(deviceFile, INVALID_HANDLE_VALUE);
    }
    PowerOffDevice();
    EXPECT_EQ(BootedMachines(), std::vector<Machine *>{desktop});

    OnMachine on(desktop);
    EXPECT_FALSE(IsWindow(deviceTwin));
    EXPECT_EQ(GetObjectType(deviceBrush), 0u);
    EXPECT_FALSE(CloseHandle(deviceFile));
    HWND desktopTwin = DesktopTwin();
    ASSERT_TRUE(IsWindow(desktopTwin));
    SendMessageA(desktopTwin, look, 0, 0);
    EXPECT_EQ(desktopSight.ownTwinTitle, "PC twin");
}

TEST_F(TwoMachinesWithTwins, WhileBothRunNeitherMachinesHandlesWorkOnTheOther) {
    HWND deviceTwin = DeviceTwin();
    HWND desktopTwin = DesktopTwin();
    HBRUSH deviceBrush;
    HKEY deviceKey = nullptr;
    {
        OnMachine on(device);
        deviceBrush = CreateSolidBrush(RGB(7, 8, 9));
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Mine", 0, nullptr, 0, 0, nullptr,
                                  &deviceKey, nullptr),
                  ERROR_SUCCESS);
    }
    {
        OnMachine on(desktop);
        EXPECT_FALSE(IsWindow(deviceTwin));
        EXPECT_EQ(GetObjectType(deviceBrush), 0u);
        const DWORD value = 1;
        EXPECT_EQ(RegSetValueExA(deviceKey, "Stolen", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE *>(&value), sizeof value),
                  ERROR_INVALID_HANDLE);
        EXPECT_TRUE(IsWindow(desktopTwin));
    }
    OnMachine on(device);
    EXPECT_FALSE(IsWindow(desktopTwin));
    EXPECT_TRUE(IsWindow(deviceTwin));
    EXPECT_EQ(GetObjectType(deviceBrush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(RegCloseKey(deviceKey), ERROR_SUCCESS);
}

// A PC program that ticks on a timer and then waits in a message box.
std::vector<std::string> boxed;

void CALLBACK DesktopTick(HWND, UINT, UINT_PTR, DWORD) {
    boxed.push_back("tick");
}

int WINAPI BoxedDesktopProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    SetTimer(nullptr, 0, 100, DesktopTick);
    const int answer = MessageBoxA(nullptr, "Caf\xe9?", "Question", MB_OKCANCEL);
    boxed.push_back("answered " + std::to_string(answer));
    return 0;
}

TEST_F(TwoMachinesWithTwins, APcPoweredOffInAMessageBoxLeavesTheDeviceRunning) {
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\boxed.exe", BoxedDesktopProgram);
    boxed.clear();
    StartOn(desktop, u"C:\\Windows\\boxed.exe", u"");
    AdvanceDeviceTime(250);
    EXPECT_EQ(boxed, (std::vector<std::string>{"tick", "tick"}));
    {
        OnMachine on(desktop);
        ASSERT_NE(FindWindowA(nullptr, "Question"), nullptr);
    }
    PowerOffDesktop();
    EXPECT_EQ(DesktopMachine(), nullptr);
    boxed.clear();
    AdvanceDeviceTime(1000);
    // The gone PC's timer fires no more; whether its box answered on the way out is its own affair.
    EXPECT_EQ(std::count(boxed.begin(), boxed.end(), "tick"), 0);
    OnMachine on(device);
    HWND deviceTwin = DeviceTwin();
    ASSERT_TRUE(IsWindow(deviceTwin));
    SendMessageW(deviceTwin, look, 0, 0);
    EXPECT_EQ(deviceSight.ownTwinTitle, "device twin");
}

// Whether the host process still has the library at that path loaded.
bool HostHasLoaded(const std::string &path) {
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);
    return true;
}

TEST_F(TwoMachines, ALibraryOnlyTheGoneMachineLoadedIsReleased) {
    fs::copy_file(DEVICE_TEST_PROGRAM, deviceFolder + "/Windows/mine.dll");
    fs::copy_file(DEVICE_TEST_PROGRAM, desktopFolder + "/Windows/mine.dll");
    const std::string deviceLibrary = fs::absolute(deviceFolder + "/Windows/mine.dll").string();
    const std::string desktopLibrary = fs::absolute(desktopFolder + "/Windows/mine.dll").string();
    {
        OnMachine on(device);
        ASSERT_NE(LoadLibraryW(u"\\Windows\\mine.dll"), nullptr);
    }
    {
        OnMachine on(desktop);
        ASSERT_NE(LoadLibraryA("C:\\Windows\\mine.dll"), nullptr);
    }
    ASSERT_TRUE(HostHasLoaded(deviceLibrary));
    ASSERT_TRUE(HostHasLoaded(desktopLibrary));

    PowerOffDevice();
    EXPECT_FALSE(HostHasLoaded(deviceLibrary));
    EXPECT_TRUE(HostHasLoaded(desktopLibrary));
}

// --- The last error ---

// Sets the error its command line names, waits, and reports the error it finds afterwards.
std::vector<std::string> errorsSeen;

int WINAPI DeviceErrorKeeper(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    const DWORD error = NumberOf(commandLine);
    SetLastError(error);
    Sleep(100 + error % 7); // apart from the other program's wake, whichever runs first
    errorsSeen.push_back(std::to_string(error) + " then " + std::to_string(GetLastError()));
    MSG message;
    SetLastError(error + 1);
    GetMessageW(&message, nullptr, 0, 0);
    errorsSeen.push_back(std::to_string(error + 1) + " then " + std::to_string(GetLastError()));
    return 0;
}

int WINAPI DesktopErrorKeeper(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const DWORD error = static_cast<DWORD>(std::atol(commandLine));
    SetLastError(error);
    Sleep(100 + error % 7);
    errorsSeen.push_back(std::to_string(error) + " then " + std::to_string(GetLastError()));
    MSG message;
    SetLastError(error + 1);
    GetMessageA(&message, nullptr, 0, 0);
    errorsSeen.push_back(std::to_string(error + 1) + " then " + std::to_string(GetLastError()));
    return 0;
}

struct ErrorPair {
    const char *name;
    bool firstOnDesktop;
    bool secondOnDesktop;
};

class LastErrors : public TwoMachines, public testing::WithParamInterface<ErrorPair> {};

TEST_P(LastErrors, EachProgramKeepsItsOwnAcrossWaits) {
    RegisterBuiltInProgram(u"\\Windows\\keeper.exe", DeviceErrorKeeper);
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\keeper.exe", DesktopErrorKeeper);
    errorsSeen.clear();
    SetLastError(ERROR_ACCESS_DENIED); // the host's own
    const ErrorPair pair = GetParam();
    std::vector<DWORD> programs;
    programs.push_back(pair.firstOnDesktop ? StartOn(desktop, u"C:\\Windows\\keeper.exe", u"1000")
                                           : StartOn(device, u"\\Windows\\keeper.exe", u"1000"));
    programs.push_back(pair.secondOnDesktop ? StartOn(desktop, u"C:\\Windows\\keeper.exe", u"2003")
                                            : StartOn(device, u"\\Windows\\keeper.exe", u"2003"));
    EXPECT_TRUE(RunUntilQuiet(1000));
    const bool onDesktop[] = {pair.firstOnDesktop, pair.secondOnDesktop};
    for (size_t i = 0; i < programs.size(); i++) {
        OnMachine on(onDesktop[i] ? desktop : device);
        EXPECT_TRUE(PostThreadMessageW(programs[i], WM_USER, 0, 0));
    }
    RunUntilIdle();
    std::sort(errorsSeen.begin(), errorsSeen.end());
    EXPECT_EQ(errorsSeen, (std::vector<std::string>{"1000 then 1000", "1001 then 1001",
                                                    "2003 then 2003", "2004 then 2004"}));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

INSTANTIATE_TEST_SUITE_P(Programs, LastErrors,
                         testing::Values(ErrorPair{"BothOnTheDevice", false, false},
                                         ErrorPair{"BothOnThePc", true, true},
                                         ErrorPair{"OneOnEach", false, true}),
                         [](const testing::TestParamInfo<ErrorPair> &info) {
                             return std::string(info.param.name);
                         });

} // namespace
