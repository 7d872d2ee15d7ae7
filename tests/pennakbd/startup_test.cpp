// Starting the keyboard: one copy only, what it needs to start, its settings between runs.
#include "keyboard_session.h"

#include <filesystem>

#include "device/automation.h"
#include "../device/screen_pixels.h"
#include "kernel/scheduler.h"
#include "kernel/host_paths.h"
#include "pennakbd_state.h"

namespace {

class Startup : public KeyboardSession {};

TEST_F(Startup, OpensWithTheDefaultsAndStoresThemAtTheEnd) {
    const DWORD program = StartKeyboard();
    HWND main = MainWindowShown();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(RectOf(main).left, 0);
    EXPECT_EQ(RectOf(main).top, 0);
    EXPECT_EQ(Settings.scale, 1000u);
    EXPECT_EQ(Settings.panelVisible, 1u);
    EXPECT_TRUE(IsWindowVisible(OptionPanel));
    // The largest scale that fits: the desktop's width over the layout's.
    EXPECT_EQ(Settings.maxScale, 240u * 1000 / static_cast<DWORD>(layoutWidth));
    EXPECT_EQ(GetWindowLongW(main, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
              WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    HWND selector = GetDlgItem(OptionPanel, IDC_SELECTOR);
    EXPECT_EQ(SendMessageW(selector, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(selector, CB_GETCOUNT, 0, 0), 7) << "every shipped layout";

    EXPECT_EQ(StoredSetting(u"Default Scale", 0xDEAD), 0xDEADu) << "nothing stored yet";
    Run("click X\n");
    EXPECT_EQ(MainWindowShown(), nullptr);
    EXPECT_EQ(ExitCodeOf(program), 0u);
    EXPECT_EQ(StoredSetting(u"Default Scale", 0), 1000u);
    EXPECT_EQ(StoredSetting(u"Default Keyboard", 9), 0u);
    EXPECT_EQ(StoredSetting(u"Opt Visibility", 9), 1u);
    EXPECT_EQ(StoredSetting(u"Keyboard XY", 9), 0u);
    EXPECT_EQ(StoredSetting(u"Keyboard MaxScale", 0), 1000u);
}

TEST_F(Startup, ASecondStartEndsSilentlyAndLeavesTheFirstAlone) {
    const DWORD first = StartKeyboard();
    HWND main = MainWindowShown();
    const RECT before = RectOf(main);
    const DWORD second = StartKeyboard();
    EXPECT_EQ(ExitCodeOf(second), 0u);
    EXPECT_EQ(ExitCodeOf(first), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(MainWindowShown(), main);
    const RECT after = RectOf(main);
    EXPECT_TRUE(EqualRect(&before, &after));
    // The first copy's state is its own still: it ends as it should.
    EXPECT_EQ(MainWindow, main);
    Run("click X\n");
    EXPECT_EQ(ExitCodeOf(first), 0u);
}

TEST_F(Startup, WithoutAnInstallationDirectoryItEndsWithOne) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0, KEY_ALL_ACCESS, &key),
        ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key, u"InstDir"), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(ExitCodeOf(StartKeyboard()), 1u);
    EXPECT_EQ(MainWindowShown(), nullptr);
}

TEST_F(Startup, ALibraryMissingAnEntryPointEndsItWithZero) {
    // A library with every entry point but FindKeyByIdentity.
    const std::string library = HostPathFromW(u"\\Program Files\\Pennakey\\layodex.dll");
    std::filesystem::copy_file(PARTIAL_LAYODEX, library,
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(ExitCodeOf(StartKeyboard()), 0u);
    EXPECT_EQ(MainWindowShown(), nullptr);
    std::filesystem::remove(library);
    EXPECT_EQ(ExitCodeOf(StartKeyboard()), 0u) << "no library at all";
    EXPECT_EQ(MainWindowShown(), nullptr);
}

TEST_F(Startup, StoredSettingsPlaceAndScaleTheKeyboard) {
    SetSetting(u"Keyboard XY", (static_cast<DWORD>(static_cast<WORD>(-10)) << 16) | 10);
    SetSetting(u"Opt Visibility", 0);
    SetSetting(u"Default Keyboard", 6);
    StartKeyboard();
    HWND main = MainWindowShown();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(RectOf(main).left, 10);
    EXPECT_EQ(RectOf(main).top, -10);
    // Its dialog frame: a white edge one pixel inside the left, black along the bottom, and the
    // client area three pixels in.
    const RECT frame = RectOf(main);
    EXPECT_EQ(ScreenPixel(11, 20), RGB(255, 255, 255));
    EXPECT_EQ(ScreenPixel(20, frame.bottom - 1), RGB(0, 0, 0));
    POINT client = {0, 0};
    ClientToScreen(main, &client);
    EXPECT_EQ(client.x, 13);
    EXPECT_EQ(client.y, -7);
    EXPECT_FALSE(IsWindowVisible(OptionPanel));
    WCHAR name[32] = {};
    GetDlgItemTextW(OptionPanel, IDC_SELECTOR, name, 32);
    EXPECT_EQ(std::u16string(name), u"English");

    // Moving the keyboard does not change where it opens next time.
    MoveWindow(main, 30, 40, RectOf(main).right - RectOf(main).left,
               RectOf(main).bottom - RectOf(main).top, TRUE);
    Run("click X\n");
    EXPECT_EQ(StoredSetting(u"Keyboard XY", 0),
              (static_cast<DWORD>(static_cast<WORD>(-10)) << 16) | 10);
    EXPECT_EQ(StoredSetting(u"Opt Visibility", 9), 0u);
    EXPECT_EQ(StoredSetting(u"Default Keyboard", 0), 6u);
}

TEST_F(Startup, ASelectionBeyondTheListFallsBackToTheFirstLayout) {
    SetSetting(u"Default Keyboard", 99);
    StartKeyboard();
    EXPECT_EQ(SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Settings.selectedLayoutIndex, 99u) << "kept until the user chooses";
}

TEST_F(Startup, AStoredScaleOfZeroStillStarts) {
    SetSetting(u"Default Scale", 0);
    StartKeyboard();
    ASSERT_NE(MainWindowShown(), nullptr);
    // "+" brings it back to the smallest scale.
    SendDlgItemMessageW(OptionPanel, IDC_ENLARGE, BM_CLICK, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(Settings.scale, 1000u);
}

TEST_F(Startup, NoLayoutFilesEndTheProgramAtOnce) {
    for (const auto &entry :
         std::filesystem::directory_iterator(HostPathFromW(u"\\Program Files\\Pennakey"))) {
        if (entry.path().extension() == ".kbi") {
            std::filesystem::remove(entry.path());
        }
    }
    const DWORD program = StartKeyboard();
    EXPECT_EQ(ExitCodeOf(program), 0u);
    EXPECT_EQ(MainWindowShown(), nullptr);
}

} // namespace
