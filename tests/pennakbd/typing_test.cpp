// Typing with the keyboard: stylus taps on its keys reach Notes, or a program that notes every
// key message it gets, exactly as a person expects.
#include "keyboard_session.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "device/automation.h"
#include "kernel/scheduler.h"
#include "kernel/host_paths.h"
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
    case WM_SYSKEYDOWN:
        keyLog.push_back("sysdown " + std::to_string(wParam));
        return 0;
    case WM_SYSKEYUP:
        keyLog.push_back("sysup " + std::to_string(wParam));
        return 0;
    case WM_SYSCHAR:
        keyLog.push_back("syschar " + std::to_string(wParam));
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
    void StartWith(const char *target, const char *layout, const char16_t *frontClass = nullptr) {
        Run(std::string("start ") + target + "\n");
        keyboard = StartKeyboard();
        Run(std::string("pick ") + layout + "\n");
        // Picking took the focus for the list; a tap on the target gives it back.
        if (frontClass == nullptr) {
            frontClass =
                std::string(target).find("notes") != std::string::npos ? u"Notes" : u"KeyLog";
        }
        HWND front = FindWindowW(frontClass, nullptr);
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
    // The key of the displayed layout that types that character (not a virtual key of the same
    // number).
    static void TapCharacterKey(WCHAR character) {
        for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
            KeyDef *key = static_cast<KeyDef *>(node->data);
            if (key != nullptr && key->code == character && (key->flags & KEY_VIRTUAL) == 0) {
                Tap(Centre(key));
                return;
            }
        }
        ADD_FAILURE() << "no key types " << static_cast<int>(character);
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
    static void AddLayoutFile(const char16_t *name, const std::u16string &text) {
        std::ofstream file(
            HostPathFromW((u"\\Program Files\\Pennakey\\" + std::u16string(name)).c_str()),
            std::ios::binary);
        file.write(reinterpret_cast<const char *>(text.data()),
                   static_cast<std::streamsize>(text.size() * sizeof(char16_t)));
    }
    // What the keyboard program waits for now.
    Program::Wait KeyboardWaits() const {
        const Program *program = FindProgram(keyboard);
        return program != nullptr ? program->wait : Program::Wait::None;
    }
    DWORD keyboard = 0;

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
    // Left of the key level with its top or bottom edge: nothing either.
    const KeyDef *h = Key('h');
    const RECT window = RectOf(KeyboardWindow);
    const POINT centre = Centre(h);
    StylusDownAt(centre.x, centre.y);
    StylusUpAt(window.left + h->left - 5, window.top + h->top);
    StylusDownAt(centre.x, centre.y);
    StylusUpAt(window.left + h->left - 5, window.top + h->height);
    AdvanceDeviceTime(50);
    EXPECT_EQ(Notes(), "aBc \\n");

    // The help installed beside the keyboard tells the same gestures.
    std::ifstream help(HostPathFromW(u"\\Windows\\pennkbd.htc"));
    const std::string text((std::istreambuf_iterator<char>(help)),
                           std::istreambuf_iterator<char>());
    for (const char *gesture :
         {"right for a space", "left for Backspace", "up for the key in upper case",
          "down for lower case", "down-left for Return"}) {
        EXPECT_NE(text.find(gesture), std::string::npos) << gesture;
    }
}

// A slide that ends on the line of a key's right edge, above or below it, is still up or down;
// one pixel further right it is a space.
TEST_F(Typing, SlidesEndingExactlyAboveOrBelowTheRightEdge) {
    StartWith("\\Windows\\notes.exe", "English");
    const RECT window = RectOf(KeyboardWindow);
    auto slideTo = [&](WCHAR code, int dx, int y) {
        const KeyDef *key = Key(code);
        const POINT centre = Centre(key);
        StylusDownAt(centre.x, centre.y);
        StylusUpAt(window.left + key->width + dx, window.top + y);
        AdvanceDeviceTime(50);
    };
    const KeyDef *h = Key('h');
    slideTo('h', 0, h->top - 5);    // on the edge's line, above: H
    slideTo('j', 1, h->top - 5);    // past it: a space
    slideTo('k', 0, h->height + 5); // on the line, below: k
    slideTo('l', 1, h->height + 5); // past it: a space
    EXPECT_EQ(Notes(), "H k ");
}

TEST_F(Typing, ControlWithALetterIsAChordOfKeyEvents) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_CONTROL, KEY_STICK);
    TapKey('c');
    // The program's own TranslateMessage makes Control+C of the keys, as on Windows.
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 17", "down 67", "char 3", "up 67", "up 17"}));
}

// Control with punctuation is the punctuation's own key, with Shift where it needs one, and never
// a key that happens to share its number ("." is 0x2E, Delete).
TEST_F(Typing, ControlWithPunctuationIsThatKeysChord) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_CONTROL, KEY_STICK);
    TapCharacterKey('.');
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 17", "down 190", "up 190", "up 17"}));
}

TEST_F(Typing, ControlAndAFullStopLeaveNotesAlone) {
    StartWith("\\Windows\\notes.exe", "Swedish");
    TapKey('a');
    TapKey('b');
    TapKey(VK_LEFT);
    TapKey(VK_CONTROL, KEY_STICK);
    TapCharacterKey('.');
    EXPECT_EQ(Notes(), "ab") << "nothing deleted, nothing typed";
}

// Alt with a letter is a system key chord: a program sees it as a shortcut, Notes types nothing.
TEST_F(Typing, AltWithALetterIsASystemKeyAndTypesNothing) {
    StartWith("\\Windows\\keylog.exe", "English");
    TapKey(VK_MENU, KEY_STICK);
    TapKey('a');
    EXPECT_EQ(keyLog, (std::vector<std::string>{"sysdown 18", "sysdown 65", "syschar 97",
                                                "sysup 65", "sysup 18"}));
}

TEST_F(Typing, AltAndALetterTypeNothingIntoNotes) {
    StartWith("\\Windows\\notes.exe", "English");
    TapKey('b');
    TapKey(VK_MENU, KEY_STICK);
    TapKey('a');
    EXPECT_EQ(Notes(), "b");
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

// The device's own checking programs show what the keyboard sent, as a script reads it.
TEST_F(Typing, TheCheckingProgramsShowKeysInOrderAndTheWindowCommands) {
    StartWith("\\Windows\\keyview.exe", "English", u"KeyView");
    TapKey(VK_SHIFT, KEY_STICK);
    TapKey('A'); // the shifted keyboard shows
    // Shift is a key event; the letter comes as its character, between Shift's down and up.
    EXPECT_EQ(Run("text KeyView\n"), "down 16 shift\\nchar 65 shift\\nup 16\n");

    Run("start \\Windows\\okwindow.exe\n");
    Run("pick Showcase\n");
    Tap(POINT{RectOf(FindWindowW(u"OkWindow", nullptr)).left + 5,
              RectOf(FindWindowW(u"OkWindow", nullptr)).bottom - 5});
    TapKey('o', KEY_MACRO);
    EXPECT_EQ(Run("text OkWindow\n"), "IDOK\n") << "the caption's OK button, not Return";

    Run("start \\Windows\\owned.exe\n");
    const RECT owned = RectOf(FindWindowW(u"OwnedWindow", nullptr));
    Tap(POINT{owned.left + 5, owned.bottom - 5});
    TapKey('c', KEY_MACRO);
    EXPECT_EQ(Run("text OwnedWindow\n"), "IDCANCEL\n") << "an owned window is told to cancel";
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

TEST_F(Typing, AKeyWithTwoKindsDoesNothingAndNoReleaseStickKeepsTheModifiers) {
    AddLayoutFile(u"Odd.kbi", u"[Odd,O,Main,1]\r\n"
                              u"0, 0, 20, 20, STICK|TOGGLE, q, 0, 0\r\n"
                              u"20, 0, 20, 20, NORELEASESTICK, w, 0, 0\r\n"
                              u"40, 0, 20, 20, VIRTUAL|STICK, SHIFT, 0, 0\r\n"
                              u"60, 0, 20, 20, 0, e, 0, 0\r\n");
    StartWith("\\Windows\\keylog.exe", "Odd");
    TapKey('q');
    EXPECT_TRUE(keyLog.empty());
    EXPECT_EQ(HeldKeys, nullptr);
    TapKey(VK_SHIFT);
    TapKey('w');
    EXPECT_NE(HeldKeys, nullptr) << "Shift stays held";
    // A slide ends the modifiers even from a key that keeps them when tapped.
    Slide('w', 0, 30);
    EXPECT_EQ(HeldKeys, nullptr);
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 16", "char 119", "char 119", "up 16"}));
}

// Two sticky keys held, then a character: they are let go newest first, each from the keyboard
// the one after it led to, and that path ends on Main; let go oldest first it would end on Shift,
// as Both has no Shift key.
TEST_F(Typing, HeldKeysAreLetGoNewestFirstAfterACharacter) {
    AddLayoutFile(u"Order.kbi",
                  u"[Order,O,Main,1]\r\n"
                  u"0, 0, 20, 20, 0, a, 0, 0\r\n"
                  u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Order,Shift\", 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Order,Control\", 0\r\n"
                  u"[Order,O,Shift,1]\r\n"
                  u"0, 0, 20, 20, 0, A, 0, 0\r\n"
                  u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Order,Main\", 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Order,Both\", 0\r\n"
                  u"[Order,O,Control,1]\r\n"
                  u"20, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Order,Both\", 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Order,Main\", 0\r\n"
                  u"[Order,O,Both,1]\r\n"
                  u"0, 0, 20, 20, 0, b, 0, 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, CONTROL, \"Order,Shift\", 0\r\n");
    StartWith("\\Windows\\keylog.exe", "Order");
    TapKey(VK_SHIFT, KEY_STICK);
    TapKey(VK_CONTROL, KEY_STICK);
    TapKey('b');
    EXPECT_EQ(HeldKeys, nullptr);
    bool onMain = false;
    for (Element *node = DisplayedLayout(); node != nullptr; node = node->next) {
        const KeyDef *key = static_cast<const KeyDef *>(node->data);
        onMain |= key != nullptr && key->code == 'a';
    }
    EXPECT_TRUE(onMain) << "back on Main, not left on Shift";
    EXPECT_EQ(keyLog, (std::vector<std::string>{"down 16", "down 17", "down 66", "char 2", "up 66",
                                                "up 17", "up 16"}));
}

TEST_F(Typing, InTheHeldKeysModeSlidingToAnotherKeyTypesThatKey) {
    AddLayoutFile(u"Base.kbi",
                  u"[Base,B,Main,65537]\r\n"
                  u"0, 0, 20, 20, 0, a, 0, 0\r\n"
                  u"20, 0, 20, 20, 0, b, 0, 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Base,Shift\", 0\r\n"
                  u"[Base,B,Shift,65537]\r\n"
                  u"0, 0, 20, 20, 0, A, 0, 0\r\n"
                  u"20, 0, 20, 20, 0, B, 0, 0\r\n"
                  u"40, 0, 20, 20, VIRTUAL|STICK|NEWKEYBD, SHIFT, \"Base,Main\", 0\r\n");
    StartWith("\\Windows\\notes.exe", "Base");
    // From a onto b: b is typed.
    const POINT a = Centre(Key('a'));
    const POINT b = Centre(Key('b'));
    StylusDownAt(a.x, a.y);
    StylusUpAt(b.x, b.y);
    AdvanceDeviceTime(50);
    // From Shift, swiped onto the place of B in the layout it opens: B is typed.
    const POINT shift = Centre(Key(VK_SHIFT));
    // A point on the way from Shift to B, on B's blank face until the trail crosses it.
    const POINT onTheWay = {shift.x + (b.x - shift.x) * 3 / 4, shift.y + 1};
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetPixel(screen, onTheWay.x, onTheWay.y), RGB(255, 255, 255));
    StylusDownAt(shift.x, shift.y);
    AdvanceDeviceTime(50);
    StylusMoveTo(b.x, b.y + 2);
    // A trail follows the stylus over the keys, straight on the screen.
    EXPECT_EQ(GetPixel(screen, onTheWay.x, onTheWay.y), RGB(0, 0, 0));
    ReleaseDC(nullptr, screen);
    StylusUpAt(b.x, b.y);
    AdvanceDeviceTime(50);
    EXPECT_EQ(Notes(), "bB");
    EXPECT_EQ(HeldKeys, nullptr);
}

// A program whose window never keeps the focus: asked which window has it, its thread never
// names one.
LRESULT CALLBACK UnfocusedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETFOCUS) {
        SetFocus(nullptr);
        return 0;
    }
    if (message == WM_CHAR) {
        keyLog.push_back("char " + std::to_string(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI UnfocusedProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = UnfocusedProc;
    windowClass.lpszClassName = u"Unfocused";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, u"Unfocused", u"Unfocused", WS_VISIBLE, 0, 140, 240, 100, nullptr, nullptr,
                    nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return 0;
}

TEST_F(Typing, AProgramThatNeverNamesItsFocusGetsNoCharactersAndTheWaitEnds) {
    RegisterBuiltInProgram(u"\\Windows\\unfocused.exe", UnfocusedProgram);
    StartWith("\\Windows\\unfocused.exe", "English");
    TapKey('a');
    // Two rounds of a hundred questions ten milliseconds apart, then the keyboard gives up.
    EXPECT_EQ(KeyboardWaits(), Program::Wait::Time) << "still asking";
    AdvanceDeviceTime(1900);
    EXPECT_EQ(KeyboardWaits(), Program::Wait::Time) << "still asking";
    AdvanceDeviceTime(500);
    EXPECT_EQ(KeyboardWaits(), Program::Wait::Message) << "given up";
    EXPECT_TRUE(keyLog.empty());
    TapKey('b');
    AdvanceDeviceTime(2500);
    EXPECT_TRUE(keyLog.empty());
    EXPECT_EQ(HeldKeys, nullptr);
}

// The device's silent program stands for such a program in scripts: the keyboard gives up on it.
TEST_F(Typing, TheSilentCheckingProgramMakesTheKeyboardGiveUp) {
    StartWith("\\Windows\\silent.exe", "English", u"SilentWindow");
    TapKey('a');
    EXPECT_EQ(KeyboardWaits(), Program::Wait::Time) << "still asking";
    AdvanceDeviceTime(2400);
    EXPECT_EQ(KeyboardWaits(), Program::Wait::Message) << "given up";
}

// Where keys overlap, the first in the file wins; a DISABLE key earlier in the file blocks a later
// key under it, and outside the overlap the later key types.
TEST_F(Typing, OverlappingKeysTheFirstInTheFileWins) {
    AddLayoutFile(u"Over.kbi", u"[Over,O,Main,1]\r\n"
                               u"0, 0, 40, 20, 0, a, 0, 0\r\n"
                               u"20, 0, 40, 20, 0, b, 0, 0\r\n"
                               u"0, 20, 40, 20, DISABLE, x, 0, 0\r\n"
                               u"20, 20, 40, 20, 0, y, 0, 0\r\n");
    StartWith("\\Windows\\notes.exe", "Over");
    const RECT window = RectOf(KeyboardWindow);
    auto between = [&](WCHAR first, WCHAR second) {
        const RECT one = ScaleKeyRect(Key(first));
        const RECT two = ScaleKeyRect(Key(second));
        return POINT{window.left + (two.left + one.right) / 2,
                     window.top + (one.top + one.bottom) / 2};
    };
    Tap(between('a', 'b'));
    Tap(between('x', 'y'));
    TapKey('y'); // its centre lies outside the DISABLE key
    EXPECT_EQ(Notes(), "ay");
}

TEST_F(Typing, WithNoProgramInFrontNothingIsTyped) {
    StartKeyboard();
    Run("pick English\n");
    TapKey('a');
    AdvanceDeviceTime(3000);
    TapKey('b');
    AdvanceDeviceTime(3000);
    EXPECT_NE(MainWindowShown(), nullptr) << "the keyboard is still there";
    EXPECT_EQ(FindWindowW(u"Notes", nullptr), nullptr);
}

TEST_F(Typing, TheMainJobsSessionTypesItsSentence) {
    std::ifstream file(PENNAKBD_TYPING_SCRIPT);
    ASSERT_TRUE(file.good());
    std::string script = "start \\Windows\\notes.exe\n"
                         "start \"\\Program Files\\Pennakey\\pennakbd.exe\"\n"
                         "wait-window \"Notes\" 1000\n";
    for (std::string line; std::getline(file, line);) {
        // Pictures are for a person to look at.
        if (line.rfind("screenshot", 0) != 0) {
            script += line + "\n";
        }
    }
    EXPECT_EQ(Run(script), "Hej caf\xC3\xA9 Hello!\n");
}

} // namespace
