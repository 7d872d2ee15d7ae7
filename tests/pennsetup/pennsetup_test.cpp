// The installation hook on a booted device: a program loads its library as the cabinet installer
// does, calls one entry point and keeps the answer, while the test answers the hook's boxes.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <ce_setup.h>

#include "device/automation.h"
#include "device/booted_device.h"
#include <cstdio>
#include <cstring>
#include <fstream>
#include "kernel/host_paths.h"

namespace {

const char16_t installDirectory[] = u"\\Program Files\\Pennakey";

enum class EntryPoint { InstallInit, InstallExit, UninstallInit, UninstallExit };

struct HookCall {
    EntryPoint entry = EntryPoint::InstallInit;
    BOOL firstCall = TRUE;
    BOOL previouslyInstalled = FALSE;
    WORD failedFiles = 0;
    WORD failedValues = 0;
    WORD failedDirectories = 0;
} call;

std::vector<int> answers;

template <typename Function> Function Entry(HMODULE module, const char16_t *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddressW(module, name)));
}

int WINAPI InstallerProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HMODULE hook = LoadLibraryW(u"\\Windows\\pennsetup.dll");
    if (hook == nullptr) {
        answers.push_back(-1);
        return 1;
    }
    int answer = -1;
    switch (call.entry) {
    case EntryPoint::InstallInit:
        if (auto init = Entry<pfnInstall_Init>(hook, u"Install_Init")) {
            answer = init(nullptr, call.firstCall, call.previouslyInstalled, installDirectory);
        }
        break;
    case EntryPoint::InstallExit:
        if (auto exit = Entry<pfnInstall_Exit>(hook, u"Install_Exit")) {
            answer = exit(nullptr, installDirectory, call.failedDirectories, call.failedFiles, 0,
                          call.failedValues, 0);
        }
        break;
    case EntryPoint::UninstallInit:
        if (auto init = Entry<pfnUninstall_Init>(hook, u"Uninstall_Init")) {
            answer = init(nullptr, installDirectory);
        }
        break;
    case EntryPoint::UninstallExit:
        if (auto exit = Entry<pfnUninstall_Exit>(hook, u"Uninstall_Exit")) {
            answer = exit(nullptr);
        }
        break;
    }
    answers.push_back(answer);
    FreeLibrary(hook);
    return 0;
}

std::string Narrow(const WCHAR *text) {
    return std::string(text, text + lstrlenW(text));
}

class InstallationHook : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        std::filesystem::copy_file(PENNSETUP_LIBRARY, HostPathFromW(u"\\Windows\\pennsetup.dll"));
        std::filesystem::create_directories(HostPathFromW(installDirectory));
        RegisterBuiltInProgram(u"\\Windows\\installer.exe", InstallerProgram);
        answers.clear();
        call = HookCall{};
    }

    static void Run(EntryPoint entry) {
        call.entry = entry;
        Start(u"\\Windows\\installer.exe");
    }
    // The package makes the settings key before the hook runs.
    static void MakeSettingsKey() {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, nullptr,
                                  0, 0, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    static std::string InstallDirectoryValue() {
        HKEY key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, 0, &key) !=
            ERROR_SUCCESS) {
            return "(no key)";
        }
        WCHAR value[MAX_PATH] = {};
        DWORD bytes = sizeof value, type = 0;
        LONG read = RegQueryValueExW(key, u"InstDir", nullptr, &type, (BYTE *)value, &bytes);
        RegCloseKey(key);
        if (read != ERROR_SUCCESS) {
            return "(no value)";
        }
        return Narrow(value) + (type == REG_SZ ? "" : " (not a string)") + " " +
               std::to_string(bytes);
    }
    static std::string HostPathOf(const char *name) {
        std::u16string path = std::u16string(installDirectory) + u"\\";
        path.append(name, name + strlen(name));
        return HostPathFromW(path.c_str());
    }
    static void PutLayout(const char *name) {
        std::ofstream(HostPathOf(name)) << "[L,L,Main,1]";
    }
    static bool LayoutThere(const char *name) {
        return std::filesystem::exists(HostPathOf(name));
    }
    // The text of the shown message box with that caption, or "(none)".
    static std::string BoxText(const char16_t *caption) {
        HWND box = FindShownWindow(WindowName{caption, true});
        if (box == nullptr) {
            return "(none)";
        }
        WCHAR text[1000] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1000);
        return Narrow(text);
    }
    static void Answer(const char16_t *button) {
        std::string error;
        ASSERT_TRUE(AnswerMessageBox(button, error)) << error;
    }
};

TEST_F(InstallationHook, AFirstInstallationGoesOnWithoutAWord) {
    Run(EntryPoint::InstallInit);
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_INIT_CONTINUE}));
    EXPECT_EQ(BoxText(u"Pennakey Setup"), "(none)");
}

TEST_F(InstallationHook, AnEarlierInstallationIsNotedAndTheInstallationGoesOn) {
    call.previouslyInstalled = TRUE;
    Run(EntryPoint::InstallInit);
    EXPECT_EQ(BoxText(u"Pennakey Setup"),
              "Pennakey is detected on the device. To update the current installation make sure "
              "Pennakey is closed.");
    EXPECT_TRUE(answers.empty());
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_INIT_CONTINUE}));
}

// The installer calls again after running out of space: the hook refuses, even over an earlier
// installation.
TEST_F(InstallationHook, ASecondCallAfterLackOfSpaceCancels) {
    call.firstCall = FALSE;
    call.previouslyInstalled = TRUE;
    Run(EntryPoint::InstallInit);
    EXPECT_EQ(BoxText(u"Pennakey Setup"), "Not enough space for the installation Pennakey.");
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_INIT_CANCEL}));
}

// Failed files and registry values count; failed directories and shortcuts do not.
TEST_F(InstallationHook, AFailedFileUndoesTheInstallationBeforeAnyRegistryWrite) {
    MakeSettingsKey();
    call.failedFiles = 1;
    Run(EntryPoint::InstallExit);
    EXPECT_EQ(BoxText(u"Pennakey Setup"),
              "Some installation data were not copied!\nPlease reinstall Pennakey.");
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_UNINSTALL}));
    EXPECT_EQ(InstallDirectoryValue(), "(no value)");

    answers.clear();
    call.failedFiles = 0;
    call.failedValues = 1;
    Run(EntryPoint::InstallExit);
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_UNINSTALL}));

    // A failed directory alone goes on to the layouts.
    answers.clear();
    call.failedValues = 0;
    call.failedDirectories = 3;
    Run(EntryPoint::InstallExit);
    EXPECT_NE(FindShownWindow(WindowName{u"Keyboard layouts", true}), nullptr);
}

TEST_F(InstallationHook, WithoutTheSettingsKeyTheDirectoryCannotBeRecorded) {
    Run(EntryPoint::InstallExit);
    EXPECT_EQ(BoxText(u"Pennakey Setup"),
              "Could not allocate installation directory. Pennakey setup will be terminated.");
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_UNINSTALL}));
}

// The layouts arrive while the warning is open; OK finds them, and the completion dialog ends the
// installation.
TEST_F(InstallationHook, LayoutsCopiedWhileTheWarningIsOpenCompleteTheInstallation) {
    MakeSettingsKey();
    Run(EntryPoint::InstallExit);
    EXPECT_EQ(InstallDirectoryValue(), "\\Program Files\\Pennakey 48");
    HWND warning = FindShownWindow(WindowName{u"Keyboard layouts", true});
    ASSERT_NE(warning, nullptr);
    WCHAR className[16] = {};
    GetClassNameW(warning, className, 16);
    EXPECT_EQ(Narrow(className), "Dialog");
    EXPECT_EQ(BoxText(u"Keyboard layouts").substr(0, 10), "Warning!\r\n");
    PutLayout("English.kbi");
    Answer(u"OK");

    HWND done = FindShownWindow(WindowName{u"Pennakey Setup", true});
    ASSERT_NE(done, nullptr);
    WCHAR text[100] = {};
    GetDlgItemTextW(done, 1003, text, 100);
    EXPECT_EQ(Narrow(text), "Pennakey Setup");
    GetDlgItemTextW(done, 0xFFFF, text, 100);
    EXPECT_EQ(Narrow(text),
              "successfully installed. Please restart your device by \"Reset\" button.");
    EXPECT_NE(GetDlgItem(done, 102), nullptr);
    EXPECT_TRUE(answers.empty());
    std::string error;
    WindowName name{u"Pennakey Setup", true};
    ASSERT_TRUE(ClickControl(u"OK", &name, error)) << error;
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_DONE}));
}

// No layout at the first look: Yes gives one more chance, and a second miss ends it.
TEST_F(InstallationHook, NoLayoutTwiceEndsTheInstallation) {
    MakeSettingsKey();
    Run(EntryPoint::InstallExit);
    Answer(u"OK");
    EXPECT_EQ(BoxText(u"Pennakey"),
              "If you will not select keyboard layouts to load onto device, Pennakey installation "
              "will be terminated. Would you like to continue the Setup?");
    Answer(u"Yes");
    ASSERT_NE(FindShownWindow(WindowName{u"Keyboard layouts", true}), nullptr);
    Answer(u"OK");
    EXPECT_EQ(BoxText(u"Pennakey Setup"),
              ". Setup could not continue Pennakey installation because of keyboard layouts were "
              "not installed on the device.");
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_UNINSTALL}));
}

TEST_F(InstallationHook, NoLayoutAndNoEndsTheInstallationAtOnce) {
    MakeSettingsKey();
    Run(EntryPoint::InstallExit);
    Answer(u"OK");
    Answer(u"No");
    EXPECT_NE(BoxText(u"Pennakey Setup").find("could not continue"), std::string::npos);
    Answer(u"OK");
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_UNINSTALL}));
}

// The second look is the one that finds the layout.
TEST_F(InstallationHook, ALayoutFoundAtTheSecondLookCompletes) {
    MakeSettingsKey();
    Run(EntryPoint::InstallExit);
    Answer(u"OK");
    Answer(u"Yes");
    PutLayout("late.kbi");
    Answer(u"OK");
    std::string error;
    WindowName name{u"Pennakey Setup", true};
    ASSERT_TRUE(ClickControl(u"OK", &name, error)) << error;
    EXPECT_EQ(answers, (std::vector<int>{codeINSTALL_EXIT_DONE}));
}

TEST_F(InstallationHook, UninstallingDeletesTheLayoutsAndNothingElse) {
    PutLayout("English.kbi");
    PutLayout("German.kbi");
    PutLayout("notes.txt");
    Run(EntryPoint::UninstallInit);
    EXPECT_EQ(answers, (std::vector<int>{codeUNINSTALL_INIT_CONTINUE}));
    EXPECT_FALSE(LayoutThere("English.kbi"));
    EXPECT_FALSE(LayoutThere("German.kbi"));
    EXPECT_TRUE(LayoutThere("notes.txt"));

    // With none left, it goes on at once.
    answers.clear();
    Run(EntryPoint::UninstallInit);
    Run(EntryPoint::UninstallExit);
    EXPECT_EQ(answers, (std::vector<int>{codeUNINSTALL_INIT_CONTINUE, codeUNINSTALL_EXIT_DONE}));
}

// The installer finds the entry points by name; nothing else leaves the library.
TEST(InstallationHookLibrary, ExportsTheFourEntryPointsAndNothingElse) {
    std::set<std::string> symbols;
    FILE *pipe = popen(
        ("nm -D --defined-only --format=posix '" + std::string(PENNSETUP_LIBRARY) + "' 2>/dev/null")
            .c_str(),
        "r");
    ASSERT_NE(pipe, nullptr);
    char line[512];
    while (fgets(line, sizeof line, pipe) != nullptr) {
        std::string name(line);
        symbols.insert(name.substr(0, name.find(' ')));
    }
    pclose(pipe);
    EXPECT_EQ(symbols, (std::set<std::string>{"Install_Exit", "Install_Init", "Uninstall_Exit",
                                              "Uninstall_Init"}));
}

} // namespace
