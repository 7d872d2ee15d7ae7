// The installer tests' device, packages and answers.
#include "installer_session.h"

#include "device/automation.h"
#include "device/window_search.h"
#include "kernel/code_pages.h"
#include "kernel/host_paths.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const int messageBoxTextId = 0xFFFF;

std::string HostFileBytes(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The message box in front, if any.
HWND ShownMessageBox() {
    for (HWND top = GetWindow(GetDesktopWindow(), GW_CHILD); top != nullptr;
         top = GetWindow(top, GW_HWNDNEXT)) {
        if (IsWindowVisible(top) && GetDlgItem(top, messageBoxTextId) != nullptr) {
            return top;
        }
    }
    return nullptr;
}

std::string TextOf(HWND window) {
    WCHAR text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return AnsiFromWide(text);
}

} // namespace

void InstallerSession::SetUp() {
    ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
    // Where the installer keeps its records, as on every device.
    HKEY apps = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Apps", 0, nullptr, 0, 0, nullptr,
                              &apps, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(apps);
}

CabManifest InstallerSession::TesterManifest() {
    CabManifest manifest;
    manifest.appName = "Tester";
    manifest.provider = "Quorvale2";
    manifest.strings = {{1, "%InstallDir%"}, {2, "%CE2%"},  {3, "Sub"},   {4, "Software"},
                        {5, "Quorvale2"},    {6, "Tester"}, {7, "Tester"}};
    manifest.directories = {{1, {1}}, {2, {2}}, {3, {1, 3}}};
    manifest.files = {{1, 1, 1, 0, "tester.exe"},
                      {2, 2, 2, manifestFileNeverOverwrite, "tester.hlp"},
                      {3, 3, 3, manifestFileAlwaysOverwrite, "data.bin"}};
    manifest.hives = {{1, 2, {4, 5, 6}}};
    manifest.values = {
        {1, 1, 1, manifestValueString, "Path", std::string("%InstallDir%\\tester.exe\0", 23)},
        {2, 1, 0, manifestValueDword, "Count", std::string("\x07\0\0\0", 4)},
        {3, 1, 1, manifestValueMultiString, "List", std::string("a\0%CE2%\0\0", 9)},
        {4, 1, 0, manifestValueBinary, "Blob", std::string("\x01\x02", 2)},
        {5, 1, 0, manifestValueString | manifestValueNoClobber, "Keep", std::string("new\0", 4)}};
    manifest.links = {{1, 11, 1, 1, {7}}};
    return manifest;
}

std::vector<CabMember> InstallerSession::Members(const CabManifest &manifest,
                                                 bool withSetupLibrary) const {
    std::vector<CabMember> members = {{"TESTER.000", WriteCabManifest(manifest)}};
    for (int number = 3; number >= 1; --number) {
        members.push_back({"TESTER.00" + std::to_string(number), fileBytes[number - 1]});
    }
    if (withSetupLibrary) {
        const std::string library = HostFileBytes(TEST_SETUP_LIBRARY);
        members.push_back({"TESTER.999", std::vector<uint8_t>(library.begin(), library.end())});
    }
    return members;
}

void InstallerSession::WritePackage(const CabManifest &manifest, bool withSetupLibrary) {
    WriteMembers(Members(manifest, withSetupLibrary));
}

void InstallerSession::WriteMembers(const std::vector<CabMember> &members) {
    std::string error;
    ASSERT_TRUE(WriteCabinet(folder + "/My Documents/test.cab", members, error)) << error;
}

int InstallerSession::Run(const char16_t *program, const std::u16string &commandLine,
                          const std::vector<std::u16string> &buttons) {
    std::u16string line = commandLine;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &started)) {
        return -2;
    }
    RunUntilIdle();
    for (const std::u16string &button : buttons) {
        // A box comes at once, or after the setup library's wait as it unloads.
        for (int step = 0; step < 100 && ShownMessageBox() == nullptr; ++step) {
            Sleep(50);
            RunUntilIdle();
        }
        HWND box = ShownMessageBox();
        if (box == nullptr) {
            break;
        }
        boxes.push_back(TextOf(GetDlgItem(box, messageBoxTextId)));
        std::string error;
        EXPECT_TRUE(AnswerMessageBox(button, error)) << error;
        RunUntilIdle();
    }
    for (int step = 0; step < 100; ++step) {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(started.hProcess, &code);
        if (code != STILL_ACTIVE) {
            CloseHandle(started.hProcess);
            CloseHandle(started.hThread);
            return static_cast<int>(code);
        }
        Sleep(50);
        RunUntilIdle();
    }
    CloseHandle(started.hProcess);
    CloseHandle(started.hThread);
    return -1;
}

int InstallerSession::Install(const std::vector<std::u16string> &buttons) {
    return Run(u"\\Windows\\wceload.exe", u"\\My Documents\\test.cab", buttons);
}

int InstallerSession::Remove(const std::vector<std::u16string> &buttons) {
    return Run(u"\\Windows\\unload.exe", u"\"Quorvale2 Tester\"", buttons);
}

void InstallerSession::SetAnswer(const char16_t *name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\SetupTest", 0, nullptr, 0, 0, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), sizeof(value));
    RegCloseKey(key);
}

std::vector<std::string> InstallerSession::SetupCalls() const {
    std::istringstream text(HostFileBytes(folder + "/Temp/setup-calls.txt"));
    std::vector<std::string> calls;
    for (std::string line; std::getline(text, line);) {
        calls.push_back(line);
    }
    return calls;
}

FolderSnapshot InstallerSession::Snapshot() const {
    FolderSnapshot snapshot;
    for (const fs::directory_entry &entry : fs::recursive_directory_iterator(folder)) {
        const std::string relative = fs::relative(entry.path(), folder).string();
        if (relative == "Temp/setup-calls.txt") {
            continue; // the test library's own notes
        }
        snapshot[relative] = entry.is_regular_file() ? HostFileBytes(entry.path()) : "(folder)";
    }
    return snapshot;
}

std::string InstallerSession::Read(const std::string &devicePath) const {
    return HostFileBytes(HostPathFromW(WideFromAnsi(devicePath).c_str()));
}

std::u16string InstallerSession::StringValue(HKEY root, const char16_t *key,
                                             const char16_t *name) const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, 0, &opened) != ERROR_SUCCESS) {
        return u"<no key>";
    }
    WCHAR text[512] = {};
    DWORD size = sizeof(text) - sizeof(WCHAR);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(opened);
    if (result != ERROR_SUCCESS) {
        return u"<no value>";
    }
    if (type == REG_MULTI_SZ) {
        std::u16string joined(text, size / sizeof(WCHAR));
        for (char16_t &c : joined) {
            c = c == 0 ? u'|' : c;
        }
        return joined;
    }
    return text;
}

bool InstallerSession::KeyExists(HKEY root, const char16_t *key) const {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key, 0, 0, &opened) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(opened);
    return true;
}
