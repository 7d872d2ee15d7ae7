// Typing with the keyboard: stylus taps on its keys reach Notes, or a program that notes every
// key message it gets, exactly as a person expects.
#include "keyboard_session.h"

#include <string>
#include <vector>

#include "device/automation.h"
#include "device/scheduler.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"

namespace {

std::vector<std::string> keyLog;

// A program whose one window notes each key message and character it is given.
LRESULT CALLBACK KeyLogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        keyLog.push_back("down " + std::to_string(wParam));
        return 0;
    case WM_KEYUP:
        keyLog.push_back("up " + std::to_string(wParam));
        return 0;
    case WM_CHAR:
        keyLog.push_back("char " + std::to_string(wParam));
        return 0;
    case WM_COMMAND:
        keyLog.push_back("command " + std::to_string(LOWORD(wParam)));
        return 0;
    case WM_CLOSE:
        keyLog.push_back("close");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI KeyLogProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = KeyLogProc;
    windowClass.lpszClassName = u"KeyLog";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"KeyLog", u"Key log", WS_VISIBLE | WS_SYSMENU, 0, 140, 240,
                                  100, nullptr, nullptr, nullptr, nullptr);
    SetFocus(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

class Typing : public KeyboardSession {
  protected:
    void SetUp() override {
        KeyboardSession::SetUp();
        keyLog.clear();
        RegisterBuiltInProgram(u"\\Windows\\keylog.exe", KeyLogProgram);
    }
    // Notes (or the key log) in front, then the keyboard showing the layout of that name.
    void StartWith(const char *target, const char *layout) {
        Run(std::string("start ") + target + "\n");
        StartKeyboard();
        Run(std::string("pick ") + layout + "\n");
        // Picking took the focus for the list; a tap on the target gives it back.
        HWND front = FindWindowW(
            std::string(target).find("notes") != std::string::npos ? u"Notes" : u"KeyLog", nullptr);
        const RECT rect = RectOf(front);
        Tap(POINT{rect.left + 5, rect.bottom - 5});
        keyLog.clear();
    }
    // The key of the displayed layout with that code (and any of the flags, when given).
    static KeyDef *Key(WORD code, DWORD flags = 0) {
        for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
            KeyDef *key = static_cast<KeyDef *>(node->data);
            if (key != nullptr && key->code == code && (flags == 0 || (key->flags & flags) != 0)) {
                return key;
            }
        }
        ADD_FAILURE() << "no key " << code;
        return nullptr;
    }
    static POINT Centre(const KeyDef *key) {
        const RECT face = ScaleKeyRect(key);
        const RECT window = RectOf(KeyboardWindow);
        return POINT{window.left + (face.left + face.right) / 2,
                     window.top + (face.top + face.bottom) / 2};
    }
    // A tap, and the time the keyboard takes to ask the program in front for its focus.
    static void Tap(POINT at) {
        TapAt(at.x, at.y);
        AdvanceDeviceTime(50);
    }
    static void TapKey(WORD code, DWORD flags = 0) {
        KeyDef *key = Key(code, flags);
        if (key != nullptr) {
            Tap(Centre(key));
        }
    }
    // Down on the key, lifted dx, dy pixels away.
    static void Slide(WORD code, int dx, int dy) {
        KeyDef *key = Key(code);
        if (key != nullptr) {
            const POINT at = Centre(key);
            StylusDownAt(at.x, at.y);
            StylusUpAt(at.x + dx, at.y + dy);
            AdvanceDeviceTime(50);
        }
    }
    static std::string Notes() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
        return text;
    }
};

TEST_F(Typing, LettersShiftAndCapsTypeIntoNotesWhichKeepsTheFocus) {
    StartWith("\\Windows\\notes.exe", "English");
    HWND notes = FindWindowW(u"Notes", nullptr);
    TapKey('h');
    TapKey('i');
    TapKey(VK_SHIFT, KEY_STICK);
    TapKey('A'); // the shifted level shows capitals
    TapKey('b'); // and Shift went with the A
    TapKey(VK_CAPITAL, KEY_TOGGLE);
    TapKey('C');
    TapKey('D');
    TapKey(VK_CAPITAL, KEY_TOGGLE);
    TapKey('e');
    EXPECT_EQ(Notes(), "hiAbCDe");
    EXPECT_EQ(GetForegroundWindow(), notes);
    EXPECT_EQ(HeldKeys, nullptr);
}

TEST_F(Typing, SlidesTypeSpaceBackspaceReturnAndBothCases) {
    StartWith("\\Windows\\notes.exe", "English");
    TapKey('a');
    Slide('b', 0, -20);  // up: B
    Slide('c', 0, 20);   // down: c
    Slide('d', 20, 0);   // right: a space
    Slide('e', -20, 20); // left and down: Return
    TapKey('f');
    Slide('g', -20, 0);       // left: Backspace
    Slide(VK_RETURN, 0, -20); // a virtual key slid up gives nothing
    EXPECT_EQ(Notes(), "aBc \\n");
}

TEST_F(Typing, ControlWithALetterIsAChordOfKeyEvents) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_CONTROL, KEY_STICK);
    TapKey('c');
    // The program's own TranslateMessage makes Control+C of the keys, as on Windows.
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 17", "down 67", "char 3", "up 67", "up 17"}));
}

TEST_F(Typing, DeleteWithShiftHeldArrivesWithoutShift) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_SHIFT, KEY_STICK);
    TapKey(VK_DELETE);
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 16", "up 16", "down 46", "up 46", "down 16",
                                                "up 16"}));
}

TEST_F(Typing, ADeadKeyThenALetterGivesTheComposedCharacter) {
    StartWith("\\Windows\\notes.exe", "Swedish");
    // The converted layout's dead level has the composed letters where the plain ones were.
    const POINT e = Centre(Key('e'));
    TapKey(0x00B4, KEY_DEADKEY);
    Tap(e);
    TapKey('e');
    EXPECT_EQ(Notes(), "\xC3\xA9"
                       "e");
}

TEST_F(Typing, WithoutMapTheDeadKeysCodeComesFirst) {
    StartWith("\\Windows\\notes.exe", "Showcase");
    TapKey(0x00B4, KEY_DEADKEY);
    TapKey(0x00E9); // é, with MAP: itself alone
    TapKey(0x00B4, KEY_DEADKEY);
    TapKey(0x00B4, 0); // the accent's own key, without MAP: the dead key's code before it
    EXPECT_EQ(Notes(), "\xC3\xA9\xC2\xB4\xC2\xB4");
}

TEST_F(Typing, MacroTextsWindowCommandsAndPrograms) {
    StartWith("\\Windows\\keylog.exe", "Showcase");
    TapKey('h', KEY_MACRO);
    TapKey('o', KEY_MACRO);
    TapKey('c', KEY_MACRO);
    EXPECT_EQ(keyLog,
              (std::vector<std::string>{"char 72", "char 101", "char 108", "char 108", "char 111",
                                        "char 33", "down 13", "char 13", "up 13", "close"}));
    // Notes is started by its key, and minimised by the next.
    TapKey('n', KEY_LAUNCH);
    HWND notes = FindWindowW(u"Notes", nullptr);
    ASSERT_NE(notes, nullptr);
    TapKey('m', KEY_MACRO);
    EXPECT_FALSE(IsWindowVisible(notes));
    EXPECT_NE(MainWindowShown(), nullptr);
}

TEST_F(Typing, TheDesktopIsNeverClosedOrMinimised) {
    StartKeyboard();
    Run("pick Showcase\n");
    TapKey('c', KEY_MACRO);
    AdvanceDeviceTime(3000);
    TapKey('m', KEY_MACRO);
    AdvanceDeviceTime(3000);
    HWND desktop = FindWindowW(u"DesktopExplorerWindow", nullptr);
    ASSERT_NE(desktop, nullptr);
    EXPECT_TRUE(IsWindowVisible(desktop));
}

TEST_F(Typing, ASwitchKeyShowsTheNextLayoutAndTheSelectorFollows) {
    StartWith("\\Windows\\notes.exe", "Showcase");
    TapKey('s', KEY_SWITCH);
    // The layout added to the catalogue after Showcase (the catalogue lists newest first).
    WCHAR selected[32] = {};
    GetDlgItemTextW(OptionPanel, IDC_SELECTOR, selected, 32);
    EXPECT_EQ(std::u16string(selected), u"Swedish");
    EXPECT_EQ(Settings.selectedLayoutIndex, static_cast<DWORD>(SendDlgItemMessageW(
                                                OptionPanel, IDC_SELECTOR, CB_GETCURSEL, 0, 0)));
    EXPECT_NE(Key('e'), nullptr) << "Swedish is shown";
}

TEST_F(Typing, AToggleTappedTwiceLeavesNothingHeldAndSendsNoKeys) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_CAPITAL, KEY_TOGGLE);
    EXPECT_NE(HeldKeys, nullptr);
    TapKey(VK_CAPITAL, KEY_TOGGLE);
    EXPECT_EQ(HeldKeys, nullptr);
    EXPECT_TRUE(keyLog.empty());
}

} // namespace
