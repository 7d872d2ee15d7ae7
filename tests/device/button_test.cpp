// The push button: what its parent hears from taps, drags and BM_CLICK, its styles, states and
// font, and how it looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "screen_pixels.h"
#include "controls/control_classes.h"
#include "kernel/scheduler.h"
#include "user/input.h"
#include "user/screen.h"
#include "user/window_state.h"

namespace {

std::vector<std::string> received;
WNDPROC buttonProc = nullptr;

std::string NameOf(HWND window) {
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    return std::string(text, text + lstrlenW(text));
}

std::string PointOf(LPARAM lParam) {
    return std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
           std::to_string(static_cast<short>(HIWORD(lParam)));
}

// The parent records the notifications of its buttons.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        const std::string code =
            HIWORD(wParam) == BN_CLICKED ? "clicked" : std::to_string(HIWORD(wParam));
        received.push_back("parent command " + std::to_string(LOWORD(wParam)) + " " + code +
                           " from " + NameOf(reinterpret_cast<HWND>(lParam)));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Put in front of a button's procedure: records the stylus messages the button gets.
LRESULT CALLBACK Watcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        received.push_back(NameOf(window) + " down " + PointOf(lParam));
        break;
    case WM_MOUSEMOVE:
        received.push_back(NameOf(window) + " move " + PointOf(lParam));
        break;
    case WM_LBUTTONUP:
        received.push_back(NameOf(window) + " up " + PointOf(lParam));
        break;
    case WM_CAPTURECHANGED:
        received.push_back(NameOf(window) + " capture lost");
        break;
    }
    return CallWindowProcW(buttonProc, window, message, wParam, lParam);
}

void RegisterPanelClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PanelProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Panel";
    RegisterClassW(&windowClass);
}

HWND MakePanel(int width, int height) {
    return CreateWindowExW(0, u"Panel", u"parent", WS_VISIBLE, 0, 0, width, height, nullptr,
                           nullptr, nullptr, nullptr);
}

HWND MakeButton(HWND parent, const char16_t *text, int id, DWORD style, int x, int y,
                int width = 60, int height = 24) {
    HWND button =
        CreateWindowExW(0, u"BUTTON", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                        parent, reinterpret_cast<HANDLE>(INT_PTR(id)), nullptr, nullptr);
    if (button != nullptr) {
        buttonProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(button, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(Watcher)));
    }
    return button;
}

// A program with a 200 x 100 panel at the screen's top left holding two buttons: "OK", the
// default one, at 10,10 and "Off", disabled, at 80,10, each 60 x 24.
int WINAPI ButtonHost(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterPanelClass();
    HWND panel = MakePanel(200, 100);
    MakeButton(panel, u"OK", 1, BS_DEFPUSHBUTTON, 10, 10);
    MakeButton(panel, u"Off", 2, WS_DISABLED, 80, 10);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return 0;
}

class ButtonTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        RegisterButtonClass();
        RegisterPanelClass();
        received.clear();
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
};

// Stylus input reaches windows through their program's queue, so these buttons live in one.
class ButtonStylus : public ButtonTest {
  protected:
    void SetUp() override {
        ButtonTest::SetUp();
        RegisterBuiltInProgram(u"\\buttons.exe", ButtonHost);
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessW(u"\\buttons.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, nullptr, &information));
        RunUntilIdle();
        ok = FindButton(u"OK");
        off = FindButton(u"Off");
        ASSERT_NE(ok, nullptr);
        ASSERT_NE(off, nullptr);
        received.clear();
    }
    static HWND FindButton(const char16_t *text) {
        HWND panel = FindWindowW(u"Panel", nullptr);
        for (HWND child = GetWindow(panel, GW_CHILD); child != nullptr;
             child = GetWindow(child, GW_HWNDNEXT)) {
            if (NameOf(child) == std::string(text, text + lstrlenW(text))) {
                return child;
            }
        }
        return nullptr;
    }
    static void Down(int x, int y) {
        StylusDown(x, y);
        RunUntilIdle();
    }
    static void Move(int x, int y) {
        StylusMove(x, y);
        RunUntilIdle();
    }
    static void Up(int x, int y) {
        StylusUp(x, y);
        RunUntilIdle();
    }
    static bool Pushed(HWND button) {
        return SendMessageW(button, BM_GETSTATE, 0, 0) == BST_PUSHED;
    }
    HWND ok = nullptr;
    HWND off = nullptr;
};

TEST_F(ButtonStylus, ATapInsideClicksOnceWhenTheStylusIsLifted) {
    Down(20, 15);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5"}));
    EXPECT_TRUE(Pushed(ok));
    EXPECT_EQ(GetCapture(), ok);
    Up(20, 15);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5", "OK up 10,5", "OK capture lost",
                                                  "parent command 1 clicked from OK"}));
    EXPECT_FALSE(Pushed(ok));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonStylus, APressDraggedOutAndReleasedThereDoesNotClick) {
    Down(20, 15);
    Move(150, 80);
    EXPECT_FALSE(Pushed(ok));
    EXPECT_EQ(GetCapture(), ok);
    Up(150, 80);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5", "OK move 140,70", "OK up 140,70",
                                                  "OK capture lost"}));
    EXPECT_FALSE(Pushed(ok));
    EXPECT_EQ(GetCapture(), nullptr);
    // Released over the disabled button next door: still no click, for either.
    received.clear();
    Down(20, 15);
    Move(90, 15);
    Up(90, 15);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5", "OK move 80,5", "OK up 80,5",
                                                  "OK capture lost"}));
}

TEST_F(ButtonStylus, APressDraggedOutAndBackInClicks) {
    Down(20, 15);
    Move(20, 60);
    EXPECT_FALSE(Pushed(ok));
    Move(65, 30);
    EXPECT_TRUE(Pushed(ok));
    Up(65, 30);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5", "OK move 10,50", "OK move 55,20",
                                                  "OK up 55,20", "OK capture lost",
                                                  "parent command 1 clicked from OK"}));
    EXPECT_FALSE(Pushed(ok));
}

TEST_F(ButtonStylus, BmClickIsAWholeClick) {
    SendMessageW(ok, BM_CLICK, 0, 0);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 0,0", "OK up 0,0", "OK capture lost",
                                                  "parent command 1 clicked from OK"}));
    EXPECT_FALSE(Pushed(ok));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonStylus, ADisabledButtonIgnoresTheStylusAndBmClick) {
    Down(100, 20);
    Up(100, 20);
    SendMessageW(off, BM_CLICK, 0, 0);
    EXPECT_TRUE(received.empty());
    EXPECT_FALSE(Pushed(off));
    // Enabled again, it clicks.
    EnableWindow(off, TRUE);
    Down(100, 20);
    Up(100, 20);
    EXPECT_EQ(received,
              (std::vector<std::string>{"Off down 20,10", "Off up 20,10", "Off capture lost",
                                        "parent command 2 clicked from Off"}));
}

TEST_F(ButtonStylus, DisablingWhilePressedCancelsTheClick) {
    Down(20, 15);
    EnableWindow(ok, FALSE);
    SendMessageW(ok, WM_ENABLE, FALSE, 0);
    EXPECT_FALSE(Pushed(ok));
    EXPECT_EQ(GetCapture(), nullptr);
    Up(20, 15);
    EXPECT_EQ(received, (std::vector<std::string>{"OK down 10,5", "OK capture lost"}));
}

TEST_F(ButtonTest, StateFollowsBmSetState) {
    HWND panel = MakePanel(100, 50);
    HWND button = MakeButton(panel, u"A", 3, BS_PUSHBUTTON, 0, 0);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0);
    ValidateRect(button, nullptr);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), BST_PUSHED);
    EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE));
    ValidateRect(button, nullptr);
    // The same state again paints nothing.
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(SendMessageW(button, BM_GETSTATE, 0, 0), 0);
    EXPECT_TRUE(received.empty());
}

TEST_F(ButtonTest, BmSetStyleSwitchesBetweenDefaultAndPlain) {
    HWND panel = MakePanel(100, 50);
    HWND button = MakeButton(panel, u"A", 3, BS_PUSHBUTTON | WS_TABSTOP, 10, 10);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    UpdateWindow(panel);
    UpdateWindow(button);
    EXPECT_EQ(ScreenPixel(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(11, 11), GetSysColor(COLOR_BTNFACE));

    SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)),
              WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE));
    UpdateWindow(button);
    EXPECT_EQ(ScreenPixel(11, 11), RGB(0, 0, 0)); // the frame is two pixels thick
    EXPECT_EQ(ScreenPixel(12, 12), GetSysColor(COLOR_BTNFACE));

    // Without the redraw flag the style changes and nothing is painted.
    SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
    EXPECT_EQ(ScreenPixel(11, 11), RGB(0, 0, 0));
    InvalidateRect(button, nullptr, FALSE);
    UpdateWindow(button);
    EXPECT_EQ(ScreenPixel(11, 11), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ButtonTest, TheFontIsKeptAndUsed) {
    HWND panel = MakePanel(200, 100);
    HWND button = MakeButton(panel, u"Wide", 3, BS_PUSHBUTTON, 0, 0, 100, 40);
    EXPECT_EQ(SendMessageW(button, WM_GETFONT, 0, 0), 0);
    UpdateWindow(button);
    const RECT face = {1, 1, 99, 39};
    const RECT small = InkBox(face, GetSysColor(COLOR_BTNTEXT));

    HFONT font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, u"Tahoma");
    ValidateRect(button, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(SendMessageW(button, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    EXPECT_FALSE(GetUpdateRect(button, nullptr, FALSE));
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE));
    UpdateWindow(button);
    const RECT large = InkBox(face, GetSysColor(COLOR_BTNTEXT));
    EXPECT_GT(large.right - large.left, small.right - small.left);
    EXPECT_GT(large.bottom - large.top, small.bottom - small.top);
    DestroyWindow(panel);
    DeleteObject(font);
}

TEST_F(ButtonTest, TheTextIsCentredAndGreyWhenDisabled) {
    HWND panel = MakePanel(200, 100);
    HWND button = MakeButton(panel, u"Enter", 3, BS_PUSHBUTTON, 20, 20, 80, 30);
    UpdateWindow(panel);
    UpdateWindow(button);
    const RECT face = {21, 21, 99, 49};
    const RECT ink = InkBox(face, GetSysColor(COLOR_BTNTEXT));
    ASSERT_LT(ink.left, ink.right);
    EXPECT_NEAR(ink.left + ink.right, face.left + face.right, 3);
    EXPECT_NEAR(ink.top + ink.bottom, face.top + face.bottom, 4);
    EXPECT_EQ(CountPixels(face, GetSysColor(COLOR_GRAYTEXT)), 0);

    // WM_ENABLE paints it again, in the grey text colour.
    EnableWindow(button, FALSE);
    ValidateRect(button, nullptr);
    SendMessageW(button, WM_ENABLE, FALSE, 0);
    EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE));
    UpdateWindow(button);
    EXPECT_EQ(CountPixels(face, GetSysColor(COLOR_BTNTEXT)), 0);
    EXPECT_GT(CountPixels(face, GetSysColor(COLOR_GRAYTEXT)), 10);

    // New text is painted too.
    ValidateRect(button, nullptr);
    SetWindowTextW(button, u"Go");
    EXPECT_TRUE(GetUpdateRect(button, nullptr, FALSE));
}

TEST_F(ButtonTest, PressedTheInsideIsInverted) {
    HWND panel = MakePanel(100, 50);
    HWND button = MakeButton(panel, u"", 3, BS_DEFPUSHBUTTON, 0, 0);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    UpdateWindow(button);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(ScreenPixel(1, 1), RGB(0, 0, 0));
    EXPECT_EQ(ScreenPixel(2, 2),
              RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));
    EXPECT_EQ(ScreenPixel(57, 21),
              RGB(255 - GetRValue(face), 255 - GetGValue(face), 255 - GetBValue(face)));
    EXPECT_EQ(ScreenPixel(58, 22), RGB(0, 0, 0));
}

TEST_F(ButtonTest, PlainDefaultPressedAndDisabledOnASmallScreen) {
    SetUpScreen(120, 60);
    RegisterPanelClass();
    HWND panel = MakePanel(120, 60);
    std::vector<HWND> buttons = {
        MakeButton(panel, u"Push", 1, BS_PUSHBUTTON, 4, 4, 54, 22),
        MakeButton(panel, u"Default", 2, BS_DEFPUSHBUTTON, 62, 4, 54, 22),
        MakeButton(panel, u"Down", 3, BS_PUSHBUTTON, 4, 32, 54, 22),
        MakeButton(panel, u"Off", 4, BS_PUSHBUTTON | WS_DISABLED, 62, 32, 54, 22),
    };
    SendMessageW(buttons[2], BM_SETSTATE, TRUE, 0);
    UpdateWindow(panel);
    for (HWND button : buttons) {
        ASSERT_NE(button, nullptr);
        UpdateWindow(button);
    }
    ExpectMatchesGolden(*ScreenSurface(), "buttons");
}

TEST_F(ButtonTest, BadHandlesAndOtherTypesFailQuietly) {
    EXPECT_EQ(SendMessageW(nullptr, BM_CLICK, 0, 0), 0);
    HWND panel = MakePanel(100, 50);
    HWND check = MakeButton(panel, u"Check", 3, BS_AUTOCHECKBOX, 0, 0);
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(SendMessageW(check, WM_GETDLGCODE, 0, 0), DLGC_BUTTON);
    // A font handle that is no font draws with the system font.
    SendMessageW(check, WM_SETFONT, 0x1234, TRUE);
    UpdateWindow(check);
    EXPECT_GT(CountPixels({1, 1, 59, 23}, GetSysColor(COLOR_BTNTEXT)), 10);
    // A button without a parent clicks without telling anybody.
    HWND alone = CreateWindowExW(0, u"BUTTON", u"Alone", WS_VISIBLE, 0, 60, 60, 24, nullptr,
                                 nullptr, nullptr, nullptr);
    SendMessageW(alone, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(alone, BM_GETSTATE, 0, 0), 0);
    EXPECT_TRUE(received.empty());
}

} // namespace
