// The static control: its colours and the parent's say in them, text alignment, wrapping and
// prefixes, icons from resources and STM_SETICON, and the stylus with and without SS_NOTIFY.
#include <gtest/gtest.h>

#include <resource_tables.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "screen_pixels.h"
#include "../platform/icon_builder.h"
#include "controls/control_classes.h"
#include "kernel/scheduler.h"
#include "user/input.h"
#include "user/screen.h"
#include "user/window_state.h"

namespace {

// Two icons of the test's own module: "#7", 16 x 16, red on its left half and blue on its right;
// "Star", 8 x 8, green.
std::string SplitIcon() {
    IconPlan plan;
    plan.width = 16;
    plan.height = 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            plan.pixels.push_back(x < 8 ? 0xFF0000 : 0x0000FF);
        }
    }
    return BuildIcon({plan});
}

std::string GreenIcon() {
    IconPlan plan;
    plan.width = 8;
    plan.height = 8;
    plan.pixels.assign(64, 0x00FF00);
    return BuildIcon({plan});
}

const std::string splitIcon = SplitIcon();
const std::string greenIcon = GreenIcon();
const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, MAKEINTRESOURCEW(7), splitIcon.data(),
     static_cast<DWORD>(splitIcon.size())},
    {MAKEINTRESOURCEW(14) /* RT_GROUP_ICON */, u"Star", greenIcon.data(),
     static_cast<DWORD>(greenIcon.size())},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

std::vector<std::string> received;
// What the parent answers WM_CTLCOLORSTATIC with: a brush, and colours it sets on the DC.
HBRUSH answerBrush = nullptr;
COLORREF answerTextColor = CLR_INVALID;

std::string NameOf(HWND window) {
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    return std::string(text, text + lstrlenW(text));
}

// The parent records the colour question and the notifications of its statics.
LRESULT CALLBACK BoardProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool defaults = GetTextColor(dc) == GetSysColor(COLOR_STATICTEXT) &&
                              GetBkColor(dc) == GetSysColor(COLOR_STATIC);
        received.push_back("colour for " + NameOf(reinterpret_cast<HWND>(lParam)) +
                           (defaults ? " with the static colours" : " with other colours"));
        if (answerTextColor != CLR_INVALID) {
            SetTextColor(dc, answerTextColor);
            SetBkMode(dc, TRANSPARENT);
        }
        return reinterpret_cast<LRESULT>(answerBrush);
    }
    case WM_COMMAND:
        received.push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                           std::to_string(HIWORD(wParam)) + " from " +
                           NameOf(reinterpret_cast<HWND>(lParam)));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterBoardClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BoardProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Board";
    RegisterClassW(&windowClass);
}

HWND MakeBoard(int width, int height) {
    return CreateWindowExW(0, u"Board", u"board", WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND MakeStatic(HWND parent, const char16_t *text, int id, DWORD style, int x, int y, int width,
                int height) {
    return CreateWindowExW(0, u"STATIC", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HANDLE>(INT_PTR(id)), GetModuleHandleW(nullptr),
                           nullptr);
}

// The height of a line of the system font.
int LineHeight() {
    HDC screen = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

class StaticTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ResetDevice();
        RegisterStaticClass();
        RegisterBoardClass();
        received.clear();
        answerBrush = nullptr;
        answerTextColor = CLR_INVALID;
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
    static void Paint(HWND board, const std::vector<HWND> &statics) {
        UpdateWindow(board);
        for (HWND control : statics) {
            UpdateWindow(control);
        }
    }
};

TEST_F(StaticTest, TheParentIsAskedForTheColoursWithTheDcAndTheControl) {
    HWND board = MakeBoard(200, 100);
    HWND label = MakeStatic(board, u"Label", 1, SS_LEFT, 10, 10, 80, 20);
    Paint(board, {label});
    EXPECT_EQ(received, (std::vector<std::string>{"colour for Label with the static colours"}));
    // No brush: the static colour, and the text in the static text colour.
    EXPECT_EQ(ScreenPixel(10, 10), GetSysColor(COLOR_STATIC));
    EXPECT_EQ(ScreenPixel(89, 29), GetSysColor(COLOR_STATIC));
    const RECT area = {10, 10, 90, 30};
    const RECT ink = InkBox(area, GetSysColor(COLOR_STATICTEXT));
    EXPECT_LT(ink.left, ink.right);

    // A brush replaces the background; the colours set on the DC draw the text.
    answerBrush = CreateSolidBrush(RGB(255, 255, 0));
    answerTextColor = RGB(255, 0, 0);
    received.clear();
    InvalidateRect(label, nullptr, TRUE);
    UpdateWindow(label);
    EXPECT_EQ(received, (std::vector<std::string>{"colour for Label with the static colours"}));
    EXPECT_EQ(ScreenPixel(10, 10), RGB(255, 255, 0));
    EXPECT_EQ(ScreenPixel(89, 29), RGB(255, 255, 0));
    const RECT red = InkBox(area, RGB(255, 0, 0));
    EXPECT_EQ(red.left, ink.left);
    EXPECT_EQ(red.right, ink.right);
    const RECT black = InkBox(area, GetSysColor(COLOR_STATICTEXT));
    EXPECT_GE(black.left, black.right); // none left
    DeleteObject(answerBrush);
}

TEST_F(StaticTest, TextAlignsLeftCentreAndRight) {
    HWND board = MakeBoard(200, 100);
    HWND left = MakeStatic(board, u"Text", 1, SS_LEFT, 10, 10, 120, 16);
    HWND centre = MakeStatic(board, u"Text", 2, SS_CENTER, 10, 30, 120, 16);
    HWND right = MakeStatic(board, u"Text", 3, SS_RIGHT, 10, 50, 120, 16);
    Paint(board, {left, centre, right});
    const COLORREF text = GetSysColor(COLOR_STATICTEXT);
    const RECT leftInk = InkBox({10, 10, 130, 26}, text);
    const RECT centreInk = InkBox({10, 30, 130, 46}, text);
    const RECT rightInk = InkBox({10, 50, 130, 66}, text);
    EXPECT_LE(leftInk.left - 10, 2);
    EXPECT_NEAR(centreInk.left + centreInk.right, 10 + 130, 3);
    EXPECT_LE(130 - rightInk.right, 2);
    // The same text, so the same width in each.
    EXPECT_EQ(leftInk.right - leftInk.left, centreInk.right - centreInk.left);
    EXPECT_EQ(leftInk.right - leftInk.left, rightInk.right - rightInk.left);
    EXPECT_EQ(leftInk.top - 10, centreInk.top - 30);
}

TEST_F(StaticTest, LongTextWrapsBetweenWords) {
    HWND board = MakeBoard(200, 100);
    HWND narrow = MakeStatic(board, u"Words that wrap", 1, SS_LEFT, 0, 0, 60, 60);
    HWND wide = MakeStatic(board, u"Words that wrap", 2, SS_LEFT, 0, 60, 200, 40);
    Paint(board, {narrow, wide});
    const COLORREF text = GetSysColor(COLOR_STATICTEXT);
    const RECT narrowInk = InkBox({0, 0, 60, 60}, text);
    const RECT wideInk = InkBox({0, 60, 200, 100}, text);
    // On one line when there is room, on more than one when there is not.
    EXPECT_LT(wideInk.bottom - 60, LineHeight());
    EXPECT_GT(narrowInk.bottom, LineHeight());
    EXPECT_LE(narrowInk.right, 60);
    EXPECT_GT(wideInk.right - wideInk.left, narrowInk.right - narrowInk.left);
}

TEST_F(StaticTest, AmpersandsArePrefixesUnlessNoPrefix) {
    HWND board = MakeBoard(200, 100);
    HWND prefixed = MakeStatic(board, u"A&B", 1, SS_LEFT, 0, 0, 100, 20);
    HWND plain = MakeStatic(board, u"A&B", 2, SS_LEFT | SS_NOPREFIX, 0, 30, 100, 20);
    Paint(board, {prefixed, plain});
    const COLORREF text = GetSysColor(COLOR_STATICTEXT);
    const RECT prefixedInk = InkBox({0, 0, 100, 20}, text);
    const RECT plainInk = InkBox({0, 30, 100, 50}, text);
    EXPECT_GT(plainInk.right - plainInk.left, prefixedInk.right - prefixedInk.left);
    // The underline goes below the letters.
    EXPECT_GT(prefixedInk.bottom, plainInk.bottom - 30);
}

TEST_F(StaticTest, NewTextIsPaintedAndTheFontKept) {
    HWND board = MakeBoard(200, 100);
    HWND label = MakeStatic(board, u"i", 1, SS_LEFT, 0, 0, 200, 40);
    Paint(board, {label});
    const COLORREF text = GetSysColor(COLOR_STATICTEXT);
    const RECT before = InkBox({0, 0, 200, 40}, text);
    SetWindowTextW(label, u"WWW");
    EXPECT_TRUE(GetUpdateRect(label, nullptr, FALSE));
    UpdateWindow(label);
    const RECT after = InkBox({0, 0, 200, 40}, text);
    EXPECT_GT(after.right - after.left, before.right - before.left);

    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), 0);
    HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH, u"Tahoma");
    ValidateRect(label, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(SendMessageW(label, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    UpdateWindow(label);
    const RECT large = InkBox({0, 0, 200, 40}, text);
    EXPECT_GT(large.bottom - large.top, after.bottom - after.top);
    DestroyWindow(board);
    DeleteObject(font);
}

TEST_F(StaticTest, AnIconStaticShowsTheIconItsTextNames) {
    HWND board = MakeBoard(200, 100);
    HWND numbered = MakeStatic(board, u"#7", 1, SS_ICON, 10, 10, 40, 40);
    HWND named = MakeStatic(board, u"Star", 2, SS_ICON, 60, 10, 40, 40);
    HWND missing = MakeStatic(board, u"Nothing", 3, SS_ICON, 110, 10, 40, 40);
    ASSERT_NE(missing, nullptr);
    const HICON icon = reinterpret_cast<HICON>(SendMessageW(numbered, STM_GETICON, 0, 0));
    ASSERT_NE(icon, nullptr);
    ASSERT_NE(SendMessageW(named, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(SendMessageW(missing, STM_GETICON, 0, 0), 0);
    Paint(board, {numbered, named, missing});
    // At the top left, at its own size; the rest is the static's background.
    EXPECT_EQ(ScreenPixel(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(ScreenPixel(25, 25), RGB(0, 0, 255));
    EXPECT_EQ(ScreenPixel(26, 26), GetSysColor(COLOR_STATIC));
    EXPECT_EQ(ScreenPixel(60, 10), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(68, 18), GetSysColor(COLOR_STATIC));
    EXPECT_EQ(ScreenPixel(110, 10), GetSysColor(COLOR_STATIC));

    // New text names a new icon.
    ValidateRect(numbered, nullptr);
    SetWindowTextW(numbered, u"Star");
    EXPECT_TRUE(GetUpdateRect(numbered, nullptr, FALSE));
    UpdateWindow(numbered);
    EXPECT_EQ(ScreenPixel(10, 10), RGB(0, 255, 0));
    EXPECT_EQ(ScreenPixel(25, 25), GetSysColor(COLOR_STATIC));
    // The icon it loaded goes with it.
    const HICON star = reinterpret_cast<HICON>(SendMessageW(named, STM_GETICON, 0, 0));
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(DrawIconEx(screen, 0, 0, star, 0, 0, 0, nullptr, DI_NORMAL));
    DestroyWindow(named);
    EXPECT_FALSE(DrawIconEx(screen, 0, 0, star, 0, 0, 0, nullptr, DI_NORMAL));
    ReleaseDC(nullptr, screen);
}

TEST_F(StaticTest, StmSetIconReplacesTheIconAndAnswersTheOldOne) {
    HWND board = MakeBoard(200, 100);
    HWND shown = MakeStatic(board, u"#7", 1, SS_ICON, 0, 0, 40, 40);
    const HICON loaded = reinterpret_cast<HICON>(SendMessageW(shown, STM_GETICON, 0, 0));
    const HICON builtIn = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    ASSERT_NE(builtIn, nullptr);
    ValidateRect(shown, nullptr);
    EXPECT_EQ(SendMessageW(shown, STM_SETICON, reinterpret_cast<WPARAM>(builtIn), 0),
              reinterpret_cast<LRESULT>(loaded));
    EXPECT_EQ(SendMessageW(shown, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(builtIn));
    EXPECT_TRUE(GetUpdateRect(shown, nullptr, FALSE));
    // The replaced icon still draws while the static lives.
    HDC screen = GetDC(nullptr);
    EXPECT_TRUE(DrawIconEx(screen, 0, 0, loaded, 0, 0, 0, nullptr, DI_NORMAL));
    ReleaseDC(nullptr, screen);
    // A handle that is no icon is refused; null takes the icon away.
    EXPECT_EQ(SendMessageW(shown, STM_SETICON, 0x1234, 0), 0);
    EXPECT_EQ(SendMessageW(shown, STM_GETICON, 0, 0), reinterpret_cast<LRESULT>(builtIn));
    EXPECT_EQ(SendMessageW(shown, STM_SETICON, 0, 0), reinterpret_cast<LRESULT>(builtIn));
    EXPECT_EQ(SendMessageW(shown, STM_GETICON, 0, 0), 0);
    UpdateWindow(shown);
    EXPECT_EQ(ScreenPixel(0, 0), GetSysColor(COLOR_STATIC));
}

TEST_F(StaticTest, OnlyANotifyingStaticTellsItsParentOfTheStylus) {
    HWND board = MakeBoard(200, 100);
    HWND quiet = MakeStatic(board, u"quiet", 4, SS_LEFT, 0, 0, 80, 20);
    HWND notifying = MakeStatic(board, u"notifying", 5, SS_LEFT | SS_NOTIFY, 0, 30, 80, 20);
    for (HWND control : {quiet, notifying}) {
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    EXPECT_EQ(received, (std::vector<std::string>{"command 5 " + std::to_string(STN_CLICKED) +
                                                  " from notifying"}));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SendMessageW(quiet, WM_GETDLGCODE, 0, 0), DLGC_STATIC);
}

// A program with a board holding a quiet static at 0,0 and a notifying one at 0,30, 80 x 20.
int WINAPI StaticHost(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterBoardClass();
    HWND board = MakeBoard(200, 100);
    MakeStatic(board, u"quiet", 4, SS_LEFT, 0, 0, 80, 20);
    MakeStatic(board, u"notifying", 5, SS_CENTER | SS_NOTIFY, 0, 30, 80, 20);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        DispatchMessageW(&message);
    }
    return 0;
}

TEST_F(StaticTest, TapsOnStaticsInAProgram) {
    RegisterBuiltInProgram(u"\\statics.exe", StaticHost);
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessW(u"\\statics.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &information));
    RunUntilIdle();
    received.clear();
    for (POINT point : {POINT{10, 10}, POINT{10, 40}}) {
        StylusDown(point.x, point.y);
        StylusUp(point.x, point.y);
        RunUntilIdle();
    }
    EXPECT_EQ(received, (std::vector<std::string>{"command 5 " + std::to_string(STN_CLICKED) +
                                                  " from notifying"}));
}

TEST_F(StaticTest, TextAndIconStaticsOnASmallScreen) {
    SetUpScreen(160, 80);
    RegisterBoardClass();
    HWND board = MakeBoard(160, 80);
    std::vector<HWND> statics = {
        MakeStatic(board, u"Left", 1, SS_LEFT, 4, 4, 100, 14),
        MakeStatic(board, u"Centre", 2, SS_CENTER, 4, 20, 100, 14),
        MakeStatic(board, u"Right", 3, SS_RIGHT, 4, 36, 100, 14),
        MakeStatic(board, u"Two short lines", 4, SS_LEFT, 4, 52, 60, 26),
        MakeStatic(board, u"", 5, SS_ICON, 112, 4, 40, 40),
    };
    SendMessageW(statics[4], STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconW(nullptr, MAKEINTRESOURCEW(32512))), 0);
    for (HWND control : statics) {
        ASSERT_NE(control, nullptr);
    }
    Paint(board, statics);
    ExpectMatchesGolden(*ScreenSurface(), "statics");
}

} // namespace
