// The main window as other programs and the stylus meet it: the layout-name messages with their
// result codes, the window commands, the layout selector in a window that never takes
// activation, and dragging the keyboard by its title bar.
#include "keyboard_session.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "device/automation.h"
#include "kernel/scheduler.h"
#include "kernel/host_paths.h"
#include "pennakbd_state.h"

namespace {

std::vector<LRESULT> answers;
std::vector<UINT> messagesToSend;

// Another program sends the keyboard's main window the messages queued for it and keeps the
// answers.
int WINAPI Sender(HINSTANCE, HINSTANCE, LPWSTR, int) {
    for (UINT message : messagesToSend) {
        answers.push_back(SendMessageW(MainWindow, message, 0, 0));
    }
    return 0;
}

class MainWindowTest : public KeyboardSession {
  protected:
    void SetUp() override {
        KeyboardSession::SetUp();
        answers.clear();
        messagesToSend.clear();
        RegisterBuiltInProgram(u"\\Windows\\sender.exe", Sender);
    }
    static std::vector<LRESULT> Send(std::vector<UINT> messages) {
        answers.clear();
        messagesToSend = std::move(messages);
        // The keyboard waits a moment before it asks the program in front for its focus.
        Run("start \\Windows\\sender.exe\nidle\n");
        return answers;
    }
    static std::u16string Selected() {
        WCHAR name[64] = {};
        GetDlgItemTextW(OptionPanel, IDC_SELECTOR, name, 64);
        return name;
    }
    static void StoreName(const char16_t *name) {
        HKEY key = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Quorvale2\\Pennakey", 0,
                                KEY_ALL_ACCESS, &key),
                  ERROR_SUCCESS);
        const std::u16string value = name;
        RegSetValueExW(key, u"CurKbdName", 0, REG_SZ, reinterpret_cast<const BYTE *>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    }
};

TEST_F(MainWindowTest, TheLayoutNameIsSavedAndRestoredForAnotherProgram) {
    StartKeyboard();
    EXPECT_EQ(Send({MSG_RESTORE_CURRENT_KEYBOARD}), std::vector<LRESULT>{5}) << "nothing stored";
    Run("pick German\n");
    EXPECT_EQ(Send({MSG_SAVE_CURRENT_KEYBOARD, MSG_RESTORE_CURRENT_KEYBOARD}),
              (std::vector<LRESULT>{-1, -1}));
    EXPECT_EQ(Selected(), u"German");

    // A name's first letters are enough; the selection then acts as the user's own.
    StoreName(u"gre");
    const std::vector<LRESULT> restored = Send({MSG_RESTORE_CURRENT_KEYBOARD});
    EXPECT_EQ(restored, std::vector<LRESULT>{-1});
    EXPECT_EQ(Selected(), u"Greek");
    EXPECT_EQ(Settings.selectedLayoutIndex, static_cast<DWORD>(SendDlgItemMessageW(
                                                OptionPanel, IDC_SELECTOR, CB_GETCURSEL, 0, 0)));
    const LRESULT item = SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_GETCURSEL, 0, 0);
    EXPECT_EQ(GetWindowLongPtrW(KeyboardWindow, 0),
              SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_GETITEMDATA, item, 0))
        << "the keyboard shows it";

    StoreName(u"");
    EXPECT_EQ(Send({MSG_RESTORE_CURRENT_KEYBOARD}), std::vector<LRESULT>{3});
    StoreName(u"Klingon");
    EXPECT_EQ(Send({MSG_RESTORE_CURRENT_KEYBOARD}), std::vector<LRESULT>{3});
    EXPECT_EQ(Selected(), u"Greek");
}

// A script reaches the same messages with send, and reads their answers.
TEST_F(MainWindowTest, AScriptSendsTheExternalMessages) {
    StartKeyboard();
    EXPECT_EQ(Run("send Dialog 0x80C9\n"
                  "pick German\n"
                  "send Dialog 0x80C8\n"
                  "pick English\n"
                  "send Dialog 0x80C9\n"),
              "5\n-1\n-1\n");
    EXPECT_EQ(Selected(), u"German");
}

TEST_F(MainWindowTest, WindowCommandsActOnTheProgramInFront) {
    StartKeyboard();
    Run("start \\Windows\\notes.exe\n");
    HWND notes = FindWindowW(u"Notes", u"Notes");
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(Send({MSG_CMD_MINIMIZE}), std::vector<LRESULT>{0});
    EXPECT_NE(GetWindowLongW(notes, GWL_STYLE) & WS_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(notes));
    // With Notes gone from the screen only the desktop is left, which is never closed.
    answers.clear();
    messagesToSend = {MSG_CMD_CANCEL};
    Run("start \\Windows\\sender.exe\nsleep 3000\n");
    EXPECT_EQ(answers, std::vector<LRESULT>{0});
    EXPECT_NE(FindWindowW(u"DesktopExplorerWindow", nullptr), nullptr);
    EXPECT_NE(MainWindowShown(), nullptr);
}

TEST_F(MainWindowTest, TheSelectorOpensInAWindowThatNeverTakesActivation) {
    StartKeyboard();
    HWND main = MainWindowShown();
    Run("start \\Windows\\notes.exe\n");
    HWND notes = GetForegroundWindow();
    ASSERT_NE(notes, main);
    HWND selector = GetDlgItem(OptionPanel, IDC_SELECTOR);
    TapWindow(selector);
    EXPECT_NE(SendMessageW(selector, CB_GETDROPPEDSTATE, 0, 0), 0) << "the list opened";
    EXPECT_EQ(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_NOACTIVATE, 0);
    Run("pick English\n");
    EXPECT_EQ(Selected(), u"English");
    EXPECT_NE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_NOACTIVATE, 0) << "back after close-up";
}

TEST_F(MainWindowTest, ALayoutIsLoadedOnceHoweverOftenItIsChosen) {
    StartKeyboard();
    Run("pick English\n");
    Element *english = reinterpret_cast<Element *>(GetWindowLongPtrW(KeyboardWindow, 0));
    Run("pick German\npick English\n");
    EXPECT_EQ(reinterpret_cast<Element *>(GetWindowLongPtrW(KeyboardWindow, 0)), english);
    const LRESULT item = SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_GETCURSEL, 0, 0);
    EXPECT_EQ(reinterpret_cast<Element *>(
                  SendDlgItemMessageW(OptionPanel, IDC_SELECTOR, CB_GETITEMDATA, item, 0)),
              english);
}

TEST_F(MainWindowTest, ANarrowLayoutStillLeavesRoomForThePanel) {
    std::ofstream file(HostPathFromW(u"\\Program Files\\Pennakey\\Narrow.kbi"), std::ios::binary);
    const std::u16string text = u"[Narrow,N,Main,1]\r\n0, 0, 20, 20, 0, a, 0, 0\r\n";
    file.write(reinterpret_cast<const char *>(text.data()),
               static_cast<std::streamsize>(text.size() * sizeof(char16_t)));
    file.close();
    StartKeyboard();
    Run("pick Narrow\n");
    EXPECT_EQ(layoutWidth, 20);
    LONG controls = 0;
    for (int id : {IDC_ENLARGE, IDC_REDUCE, IDC_SELECTOR}) {
        const RECT rect = RectOf(GetDlgItem(OptionPanel, id));
        controls += rect.right - rect.left;
    }
    EXPECT_EQ(RectOf(KeyboardWindow).right - RectOf(KeyboardWindow).left, controls);
    EXPECT_EQ(RectOf(TitleBar).right - RectOf(TitleBar).left, controls);
}

TEST_F(MainWindowTest, DraggingTheTitleBarMovesTheKeyboardWhenLifted) {
    StartKeyboard();
    HWND main = MainWindowShown();
    const RECT before = RectOf(main);
    const RECT title = RectOf(TitleBar);
    const int x = title.left + 30;
    const int y = title.top + 5;
    StylusDownAt(x, y);
    StylusMoveTo(x + 20, y + 100);
    // Only an outline follows the stylus; the keyboard stays until it is lifted.
    EXPECT_EQ(RectOf(main).top, before.top);
    StylusUpAt(x + 10, y + 120);
    EXPECT_EQ(RectOf(main).left, before.left + 10);
    EXPECT_EQ(RectOf(main).top, before.top + 120);
    EXPECT_EQ(RectOf(main).right - RectOf(main).left, before.right - before.left);
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileAndXEndsTheProgram) {
    const DWORD program = StartKeyboard();
    Run("click ?\nwait-window \"Help\" 100\n");
    std::string help;
    ASSERT_TRUE(ReadWindowText(u"HelpViewer", help));
    EXPECT_EQ(help, "Help");
    Run("click Close\nclick X\n");
    EXPECT_EQ(ExitCodeOf(program), 0u);
    EXPECT_EQ(MainWindowShown(), nullptr);
}

} // namespace
