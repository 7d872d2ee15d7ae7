// The progress bar: a common control a program has only after InitCommonControls, the range,
// position and step rules with what each message answers, when it paints, and how it looks.
#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "booted_device.h"
#include "screen_pixels.h"
#include "support/message_recorder.h"

namespace {

// What the two programs of the class test found.
struct ClassFindings {
    bool madeBefore = true;
    BOOL badSize = TRUE;
    bool madeAfterBadSize = true;
    BOOL initialised = FALSE;
    bool madeAfter = false;
    bool madeByOther = true;
};
ClassFindings findings;

bool MakeProgress() {
    HWND bar = CreateWindowExW(0, PROGRESS_CLASSW, u"", WS_POPUP, 0, 0, 100, 12, nullptr, nullptr,
                               nullptr, nullptr);
    if (bar != nullptr) {
        DestroyWindow(bar);
    }
    return bar != nullptr;
}

int WINAPI InitialisingProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    findings.madeBefore = MakeProgress();
    INITCOMMONCONTROLSEX controls = {sizeof controls + 1, ICC_PROGRESS_CLASS};
    findings.badSize = InitCommonControlsEx(&controls);
    findings.madeAfterBadSize = MakeProgress();
    controls.dwSize = sizeof controls;
    findings.initialised = InitCommonControlsEx(&controls);
    InitCommonControls(); // a second time changes nothing
    findings.madeAfter = MakeProgress();
    return 0;
}

int WINAPI OtherProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    findings.madeByOther = MakeProgress();
    return 0;
}

class ProgressBar : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        InitCommonControls();
        bar = Make(0);
        ASSERT_NE(bar, nullptr);
    }
    static HWND Make(DWORD style, DWORD exStyle = 0, int x = 10, int y = 10, int width = 100,
                     int height = 14) {
        return CreateWindowExW(exStyle, PROGRESS_CLASSW, u"", WS_POPUP | WS_VISIBLE | style, x, y,
                               width, height, nullptr, nullptr, nullptr, nullptr);
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return SendMessageW(bar, message, wParam, lParam);
    }
    HWND bar = nullptr;
};

class ProgressBarClassTest : public BootedDevice {};

TEST_F(ProgressBarClassTest, OnlyAProgramThatInitialisesCommonControlsHasIt) {
    findings = ClassFindings();
    RegisterBuiltInProgram(u"\\Windows\\initialising.exe", InitialisingProgram);
    RegisterBuiltInProgram(u"\\Windows\\other.exe", OtherProgram);
    Start(u"\\Windows\\initialising.exe");
    Start(u"\\Windows\\other.exe");
    EXPECT_FALSE(findings.madeBefore);
    EXPECT_FALSE(findings.badSize);
    EXPECT_FALSE(findings.madeAfterBadSize);
    EXPECT_TRUE(findings.initialised);
    EXPECT_TRUE(findings.madeAfter);
    EXPECT_FALSE(findings.madeByOther);
    EXPECT_FALSE(InitCommonControlsEx(nullptr));
}

// One message to a bar with a given range, step and position, what it answers and where the
// position ends.
struct PositionCase {
    const char *name;
    int low, high, step, start;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT answer;
    int position;
};

const PositionCase positionCases[] = {
    {"SetPosInside", 0, 100, 10, 0, PBM_SETPOS, 40, 0, 0, 40},
    {"SetPosOnTheTop", 0, 100, 10, 20, PBM_SETPOS, 100, 0, 20, 100},
    {"SetPosAboveTheTop", 0, 100, 10, 20, PBM_SETPOS, 101, 0, 20, 100},
    {"SetPosBelowTheBottom", 10, 20, 1, 15, PBM_SETPOS, WPARAM(-3), 0, 15, 10},
    {"SetPosOnTheBottom", 10, 20, 1, 15, PBM_SETPOS, 10, 0, 15, 10},
    {"DeltaPosNegative", 0, 100, 10, 30, PBM_DELTAPOS, WPARAM(-10), 0, 30, 20},
    {"DeltaPosDownToTheBottom", 0, 100, 10, 30, PBM_DELTAPOS, WPARAM(-30), 0, 30, 0},
    {"DeltaPosPastTheBottom", 0, 100, 10, 30, PBM_DELTAPOS, WPARAM(-31), 0, 30, 0},
    {"DeltaPosPastTheTop", 0, 100, 10, 95, PBM_DELTAPOS, 10, 0, 95, 100},
    {"StepItInside", 0, 100, 10, 50, PBM_STEPIT, 0, 0, 50, 60},
    {"StepItLandsOnTheTop", 0, 100, 10, 90, PBM_STEPIT, 0, 0, 90, 100},
    {"StepItPassesTheTop", 0, 100, 10, 95, PBM_STEPIT, 0, 0, 95, 5},
    {"StepItFromTheTop", 0, 100, 10, 100, PBM_STEPIT, 0, 0, 100, 10},
    {"StepItBackPastTheBottom", 3, 15, -5, 5, PBM_STEPIT, 0, 0, 5, 12},
    {"StepItBackOntoTheBottom", 3, 15, -5, 8, PBM_STEPIT, 0, 0, 8, 3},
    {"StepItInAnEmptyRange", 5, 5, 1, 5, PBM_STEPIT, 0, 0, 5, 5},
    {"StepItLargerThanTheRange", 3, 15, 50, 3, PBM_STEPIT, 0, 0, 3, 5},
    // The sum is exact, where Windows would wrap it at 32 bits.
    {"StepItWithoutOverflow", 0, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, PBM_STEPIT, 0, 0, 0x7FFFFFFF,
     0},
    {"GetPos", 0, 100, 10, 42, PBM_GETPOS, 0, 0, 42, 42},
    // The previous range comes back packed, low word and high word.
    {"SetRangeClampsThePosition", 0, 100, 10, 70, PBM_SETRANGE, 0, MAKELPARAM(5, 50),
     MAKELONG(0, 100), 50},
    {"SetRangeTakesUnsignedWords", 0, 100, 10, 70, PBM_SETRANGE, 0, MAKELPARAM(1000, 60000),
     MAKELONG(0, 100), 1000},
    {"SetRange32Negative", -50, -10, 10, -20, PBM_SETRANGE32, WPARAM(-100), -60,
     MAKELONG(WORD(-50), WORD(-10)), -60},
    {"GetRangeLow", -50, 50, 10, 0, PBM_GETRANGE, TRUE, 0, -50, 0},
    {"GetRangeHigh", -50, 50, 10, 0, PBM_GETRANGE, FALSE, 0, 50, 0},
    {"SetStepAnswersTheOldStep", 0, 100, 7, 0, PBM_SETSTEP, 3, 0, 7, 0},
};

class ProgressPositions : public ProgressBar, public testing::WithParamInterface<PositionCase> {};

TEST_P(ProgressPositions, AnswerAndPosition) {
    const PositionCase &c = GetParam();
    Send(PBM_SETRANGE32, WPARAM(c.low), c.high);
    Send(PBM_SETSTEP, WPARAM(c.step));
    Send(PBM_SETPOS, WPARAM(c.start));
    ASSERT_EQ(static_cast<int>(Send(PBM_GETPOS)), c.start);
    EXPECT_EQ(static_cast<int>(Send(c.message, c.wParam, c.lParam)), static_cast<int>(c.answer));
    EXPECT_EQ(static_cast<int>(Send(PBM_GETPOS)), c.position);
}

INSTANTIATE_TEST_SUITE_P(Rules, ProgressPositions, testing::ValuesIn(positionCases),
                         [](const testing::TestParamInfo<PositionCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(ProgressBar, StartsAtZeroOfZeroToAHundredInStepsOfTen) {
    PBRANGE range = {-1, -1};
    EXPECT_EQ(Send(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iLow, 0);
    EXPECT_EQ(range.iHigh, 100);
    EXPECT_EQ(Send(PBM_GETPOS), 0);
    EXPECT_EQ(Send(PBM_SETSTEP, 5), 10);
    EXPECT_EQ(Send(PBM_SETRANGE, 0, MAKELPARAM(0, 100)), MAKELONG(0, 100));
}

TEST_F(ProgressBar, ANewPositionPaintsAtOnceAndARangeLater) {
    UpdateWindow(bar);
    MessageRecorder recorder;
    recorder.Watch(bar);
    Send(PBM_SETPOS, 30);
    Send(PBM_SETPOS, 30); // no change, no paint
    Send(PBM_DELTAPOS, 0);
    Send(PBM_STEPIT);
    Send(PBM_SETRANGE32, 0, 1000);
    EXPECT_TRUE(MessageRecorder::Matches(recorder.Of(bar), {
                                                               {PBM_SETPOS, CheckWParam, 30},
                                                               {WM_PAINT},
                                                               {PBM_SETPOS, CheckWParam, 30},
                                                               {PBM_DELTAPOS},
                                                               {PBM_STEPIT},
                                                               {WM_PAINT},
                                                               {PBM_SETRANGE32},
                                                           }));
    RECT update = {};
    EXPECT_TRUE(GetUpdateRect(bar, &update, FALSE));
}

TEST_F(ProgressBar, BlocksOfTheHighlightColourGrowWithThePosition) {
    // 100 x 14: inside the one-pixel margin the bar is 98 long and 12 thick, so blocks of 8 with
    // gaps of 2.
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const RECT inside = {11, 11, 109, 23};
    Send(PBM_SETPOS, 0);
    UpdateWindow(bar);
    EXPECT_EQ(CountPixels(inside, highlight), 0);
    Send(PBM_SETPOS, 1); // one pixel's worth shows a whole block
    EXPECT_EQ(InkBox(inside, highlight).right, 19);
    EXPECT_EQ(CountPixels(inside, highlight), 8 * 12);
    Send(PBM_SETPOS, 100); // the last block is cut at the end
    EXPECT_EQ(InkBox(inside, highlight).right, 109);
    EXPECT_EQ(CountPixels(inside, highlight), (9 * 8 + 8) * 12);
    EXPECT_EQ(ScreenPixel(10, 10), GetSysColor(COLOR_BTNFACE));
}

TEST_F(ProgressBar, LooksAsTheStylesSay) {
    DestroyWindow(bar);
    HWND board = CreateWindowExW(0, u"STATIC", u"", WS_POPUP | WS_VISIBLE, 0, 0, 130, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(board, nullptr);
    UpdateWindow(board);
    struct Shown {
        DWORD style, exStyle;
        int x, y, width, height, position;
    };
    const Shown bars[] = {
        {0, 0, 5, 5, 100, 12, 0},           {0, WS_EX_STATICEDGE, 5, 22, 100, 12, 35},
        {WS_BORDER, 0, 5, 39, 100, 12, 60}, {PBS_SMOOTH, WS_EX_CLIENTEDGE, 5, 56, 100, 12, 60},
        {0, 0, 5, 73, 100, 20, 100},        {PBS_VERTICAL, WS_EX_STATICEDGE, 110, 5, 14, 88, 50},
    };
    for (const Shown &shown : bars) {
        HWND made = Make(shown.style, shown.exStyle, shown.x, shown.y, shown.width, shown.height);
        ASSERT_NE(made, nullptr);
        SendMessageW(made, PBM_SETPOS, shown.position, 0);
        UpdateWindow(made);
    }
    ExpectMatchesGolden(WindowPicture(board), "progress_bars");
}

} // namespace
