// The stylus and the keyboard: which window gets what, activation, capture, and characters.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "kernel/scheduler.h"
#include "user/input.h"
#include "user/window_state.h"

namespace {

std::vector<std::string> received;

std::string NameOf(HWND window) {
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    return std::string(text, text + lstrlenW(text));
}

LRESULT CALLBACK PadProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETTEXT || message == WM_GETTEXTLENGTH || message == WM_SETTEXT)
        return DefWindowProcW(window, message, wParam, lParam);
    std::string name = NameOf(window);
    switch (message) {
    case WM_LBUTTONDOWN:
        received.push_back(name + " down " + std::to_string((short)LOWORD(lParam)) + "," +
                           std::to_string((short)HIWORD(lParam)));
        if (name == "capturer")
            SetCapture(window);
        return 0;
    case WM_MOUSEMOVE:
        received.push_back(name + " move " + std::to_string((short)LOWORD(lParam)) + "," +
                           std::to_string((short)HIWORD(lParam)));
        return 0;
    case WM_LBUTTONUP:
        received.push_back(name + " up");
        if (GetCapture() == window)
            ReleaseCapture();
        return 0;
    case WM_CHAR:
        received.push_back(name + " char " + std::string(1, (char)wParam));
        return 0;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        received.push_back(name + (message == WM_SYSKEYDOWN ? " sysdown " : " sysup ") +
                           std::to_string(wParam) + ((lParam >> 29) & 1 ? " alt" : ""));
        return 0;
    case WM_SYSCHAR:
        received.push_back(name + " syschar " + std::string(1, (char)wParam));
        return 0;
    case WM_ACTIVATE:
        received.push_back(name + (LOWORD(wParam) == WA_INACTIVE ? " inactive" : " active"));
        return 0;
    case WM_SETFOCUS:
        received.push_back(name + " focus");
        return 0;
    case WM_KILLFOCUS:
        received.push_back(name + " loses focus");
        return 0;
    case WM_ENABLE:
        received.push_back(name + (wParam != 0 ? " enabled" : " disabled"));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A program with one window; its command line reads "name x y width height noactivate".
int WINAPI Pad(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::istringstream words(std::string(commandLine, commandLine + lstrlenW(commandLine)));
    std::string name;
    int x, y, width, height, noActivate;
    words >> name >> x >> y >> width >> height >> noActivate;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PadProc;
    windowClass.lpszClassName = u"Pad";
    RegisterClassW(&windowClass);
    std::u16string title(name.begin(), name.end());
    HWND window =
        CreateWindowExW(noActivate ? WS_EX_NOACTIVATE : 0, u"Pad", title.c_str(), WS_VISIBLE, x, y,
                        width, height, nullptr, nullptr, nullptr, nullptr);
    if (name == "parent") {
        CreateWindowExW(0, u"Pad", u"child", WS_CHILD | WS_VISIBLE, 10, 10, 30, 30, window, nullptr,
                        nullptr, nullptr);
    }
    SetFocus(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

class Input : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        RegisterBuiltInProgram(u"\\pad.exe", Pad);
        received.clear();
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
    static void StartPad(const char16_t *commandLine) {
        std::u16string line = commandLine;
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessW(u"\\pad.exe", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, nullptr, &information));
        RunUntilIdle();
    }
    static void Tap(int x, int y) {
        StylusDown(x, y);
        StylusUp(x, y);
        RunUntilIdle();
    }
    static void Key(BYTE key, bool up = false) {
        keybd_event(key, 0, up ? KEYEVENTF_KEYUP : 0, 0);
        RunUntilIdle();
    }
    static void Type(BYTE key) {
        Key(key);
        Key(key, true);
    }
};

TEST_F(Input, ATapGoesToTheWindowUnderItAndBringsItToTheFront) {
    StartPad(u"left 0 0 100 100 0");
    StartPad(u"right 100 0 100 100 0");
    received.clear();
    Tap(30, 40);
    EXPECT_EQ(received, (std::vector<std::string>{"left active", "left down 30,40", "left up"}));
    EXPECT_EQ(NameOf(GetForegroundWindow()), "left");
    received.clear();
    Tap(150, 10);
    EXPECT_EQ(received, (std::vector<std::string>{"left inactive", "right active",
                                                  "right down 50,10", "right up"}));
    received.clear();
    Tap(230, 300); // nothing there
    EXPECT_TRUE(received.empty());
}

TEST_F(Input, ANonActivatingWindowTakesTapsButNotTheFront) {
    StartPad(u"notes 0 0 240 200 0");
    StartPad(u"keyboard 0 200 240 80 1");
    Tap(10, 10);
    received.clear();
    Tap(20, 210);
    EXPECT_EQ(received, (std::vector<std::string>{"keyboard down 20,10", "keyboard up"}));
    EXPECT_EQ(NameOf(GetForegroundWindow()), "notes");
}

TEST_F(Input, TheCapturingWindowFollowsTheStylusEverywhere) {
    StartPad(u"capturer 0 0 50 50 0");
    StartPad(u"other 100 100 50 50 0");
    received.clear();
    StylusDown(10, 10);
    RunUntilIdle();
    StylusMove(120, 130);
    StylusUp(120, 130);
    RunUntilIdle();
    StylusMove(120, 130);
    RunUntilIdle();
    EXPECT_EQ(received, (std::vector<std::string>{"capturer active", "capturer down 10,10",
                                                  "capturer move 120,130", "capturer up",
                                                  "other move 20,30"}));
}

TEST_F(Input, ADisabledChildLeavesItsTapsToItsParent) {
    StartPad(u"parent 0 0 100 100 0");
    HWND child = GetWindow(FindWindowW(u"Pad", u"parent"), GW_CHILD);
    ASSERT_NE(child, nullptr);
    received.clear();
    EXPECT_FALSE(EnableWindow(child, FALSE));
    EXPECT_TRUE(EnableWindow(child, FALSE)) << "no second message for no change";
    Tap(15, 20);
    EXPECT_TRUE(EnableWindow(child, TRUE)) << "it was disabled";
    Tap(15, 20);
    EXPECT_EQ(received, (std::vector<std::string>{"child disabled", "parent active",
                                                  "parent down 15,20", "parent up", "child enabled",
                                                  "child down 5,10", "child up"}));
}

TEST_F(Input, AStylusHeldByACaptureActivatesNothing) {
    StartPad(u"capturer 0 0 50 50 0");
    StartPad(u"other 100 100 50 50 0");
    StylusDown(10, 10); // the capturer comes to the front and takes the stylus
    RunUntilIdle();
    SetForegroundWindow(FindWindowW(u"Pad", u"other"));
    RunUntilIdle();
    received.clear();
    StylusDown(120, 120);
    RunUntilIdle();
    EXPECT_EQ(received, (std::vector<std::string>{"capturer down 120,120"}));
    EXPECT_EQ(NameOf(GetForegroundWindow()), "other");
}

TEST_F(Input, KeysTypeIntoTheFocusWindowOfTheProgramInFront) {
    StartPad(u"editor 0 0 100 100 0");
    StartPad(u"behind 100 0 100 100 0");
    Tap(10, 10);
    received.clear();
    Key(VK_SHIFT);
    Type('H');
    Key(VK_SHIFT, true);
    Type('I');
    Key(VK_SHIFT);
    Type('1');
    Key(VK_SHIFT, true);
    Type(VK_CAPITAL);
    Type('A');
    Key(VK_SHIFT);
    Type('B');
    Key(VK_SHIFT, true);
    Type(VK_SPACE);
    Type(0xDE); // the quote key
    EXPECT_EQ(received, (std::vector<std::string>{"editor char H", "editor char i", "editor char !",
                                                  "editor char A", "editor char b", "editor char  ",
                                                  "editor char '"}));
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 0x8000, 0);
}

// When the window in front goes, the next one that can be activated comes to the front; a
// window that never takes activation is passed over.
TEST_F(Input, DestroyingTheWindowInFrontActivatesTheNext) {
    StartPad(u"lower 0 0 100 100 0");
    StartPad(u"passive 0 0 50 50 1");
    StartPad(u"upper 100 0 100 100 0");
    Tap(150, 10);
    ASSERT_EQ(NameOf(GetForegroundWindow()), "upper");
    received.clear();
    DestroyWindow(GetForegroundWindow());
    RunUntilIdle();
    EXPECT_EQ(NameOf(GetForegroundWindow()), "lower");
    EXPECT_EQ(received, std::vector<std::string>{"lower active"});
}

// With Control a letter gives its control character, a bracket its own, and the other printing
// keys none, so that a program sees the chord and never the plain character.
TEST_F(Input, ControlWithPunctuationGivesNoCharacter) {
    StartPad(u"editor 0 0 100 100 0");
    Tap(10, 10);
    received.clear();
    Key(VK_CONTROL);
    for (BYTE key : {BYTE(0xBE), BYTE(0xBC), BYTE('5'), BYTE(0xDB), BYTE('A')}) {
        Type(key);
    }
    Key(VK_CONTROL, true);
    Type(0xBE);
    EXPECT_EQ(received,
              (std::vector<std::string>{"editor char \x1B", "editor char \x01", "editor char ."}));
}

// Alt makes system keys and characters, which no edit control types; with Control as well the
// keys are ordinary again.
TEST_F(Input, AltMakesSystemKeysAndCharacters) {
    StartPad(u"editor 0 0 100 100 0");
    Tap(10, 10);
    received.clear();
    Key(VK_MENU);
    Type('A');
    Key(VK_MENU, true);
    EXPECT_EQ(received, (std::vector<std::string>{"editor sysdown 18 alt", "editor sysdown 65 alt",
                                                  "editor syschar a", "editor sysup 65 alt",
                                                  "editor sysup 18 alt"}));
    received.clear();
    Key(VK_CONTROL);
    Key(VK_MENU);
    Type('A');
    Key(VK_MENU, true);
    Key(VK_CONTROL, true);
    EXPECT_EQ(received, (std::vector<std::string>{"editor char \x01"}));
}

TEST(KeyScan, EachPrintableCharacterHasItsKeyAndShiftState) {
    EXPECT_EQ(VkKeyScanW(u'a'), 'A');
    EXPECT_EQ(VkKeyScanW(u'A'), 0x100 | 'A');
    EXPECT_EQ(VkKeyScanW(u'.'), 0xBE);
    EXPECT_EQ(VkKeyScanW(u'>'), 0x1BE);
    EXPECT_EQ(VkKeyScanW(u'!'), 0x100 | '1');
    EXPECT_EQ(VkKeyScanW(u' '), VK_SPACE);
    EXPECT_EQ(VkKeyScanW(u'\u00E9'), -1) << "no key types it on this keyboard";
    EXPECT_EQ(VkKeyScanW(u'\u20AC'), -1);
    for (WCHAR c = 0x20; c < 0x7F; ++c) {
        EXPECT_NE(VkKeyScanW(c), -1) << static_cast<char>(c);
    }
}

} // namespace
