// Setup as a user meets it: started from the distribution on the PC, page after page.
#include <gtest/gtest.h>

#include "device/automation.h"
#include "setup_fixture.h"

namespace {

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

TEST_F(SetupProgram, WithoutAnApplicationManagerSetupEndsWithoutAMessage) {
    {
        OnMachine pc(desktop);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                      "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE");
    }
    const DWORD setup = StartSetup();
    Click(u"I Agree");
    HWND welcome = PcWindow("Dialog", "Pennakey");
    ASSERT_NE(welcome, nullptr);
    Click(u"OK");
    EXPECT_EQ(ExitCodeOnPc(setup), 0u);
    EXPECT_EQ(PcWindow("Dialog", nullptr), nullptr) << PcWindows();
}

} // namespace
