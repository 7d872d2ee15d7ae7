// The standard vertical scroll bar of a window with WS_VSCROLL: the room it takes, what
// SetScrollInfo keeps and answers, when it hides itself, and the WM_VSCROLL a window hears as the
// stylus works its arrows, track and thumb.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "../support/message_recorder.h"
#include "booted_device.h"
#include "device/automation.h"
#include "device/scheduler.h"

namespace {

HWND scrolled = nullptr;

LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterPaneClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PaneProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = u"ScrollPane";
    RegisterClassW(&windowClass);
}

HWND MakePane(DWORD style) {
    return CreateWindowExW(0, u"ScrollPane", u"Pane", WS_VISIBLE | style, 20, 20, 120, 150, nullptr,
                           nullptr, nullptr, nullptr);
}

// A pane 120 x 150 with a border and a scroll bar, its range 0..99 with pages of 10.
int WINAPI PaneProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterPaneClass();
    scrolled = MakePane(WS_BORDER | WS_VSCROLL);
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 0, 0};
    SetScrollInfo(scrolled, SB_VERT, &info, TRUE);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

SCROLLINFO InfoOf(HWND window) {
    SCROLLINFO info = {sizeof info, SIF_ALL, -7, -7, 7, -7, -7};
    EXPECT_TRUE(GetScrollInfo(window, SB_VERT, &info));
    return info;
}

RECT ClientOf(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

// ---------------------------------------------------------------------------------------------
// Values, on a window of the test's own.

class ScrollBarValues : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterPaneClass();
        pane = MakePane(WS_BORDER | WS_VSCROLL);
        ASSERT_NE(pane, nullptr);
    }
    HWND pane = nullptr;
};

TEST_F(ScrollBarValues, TheBarTakesItsWidthFromTheClientArea) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 13);
    EXPECT_EQ(ClientOf(pane).right, 120 - 2 - 13);
    EXPECT_EQ(ClientOf(pane).bottom, 150 - 2);
    HWND plain = MakePane(WS_BORDER);
    EXPECT_EQ(ClientOf(plain).right, 120 - 2);

    // A window made with the bar starts with Windows' range; one without has no values at all.
    const SCROLLINFO info = InfoOf(pane);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, 100);
    EXPECT_EQ(info.nPage, 0u);
    EXPECT_EQ(info.nPos, 0);
    SCROLLINFO none = {sizeof none, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(plain, SB_VERT, &none));
    int minimum = -1, maximum = -1;
    EXPECT_TRUE(GetScrollRange(plain, SB_VERT, &minimum, &maximum));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 0);
    EXPECT_EQ(GetScrollPos(plain, SB_VERT), 0);
    // Bad arguments are refused, never followed.
    EXPECT_FALSE(GetScrollInfo(pane, SB_VERT, nullptr));
    SCROLLINFO wrongSize = {sizeof wrongSize + 4, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_FALSE(GetScrollInfo(pane, SB_VERT, &wrongSize));
    EXPECT_EQ(SetScrollInfo(pane, SB_VERT, nullptr, TRUE), 0);
    EXPECT_EQ(SetScrollInfo(nullptr, SB_VERT, &info, TRUE), 0);
    EXPECT_FALSE(GetScrollRange(pane, SB_VERT, nullptr, &maximum));
}

// What SetScrollInfo is given and what the bar then holds.
struct ClampCase {
    int minimum, maximum;
    UINT page;
    int position;
    int expectedMinimum, expectedMaximum;
    UINT expectedPage;
    int expectedPosition;
};

TEST_F(ScrollBarValues, SetScrollInfoKeepsPositionAndPageWithinTheRange) {
    const ClampCase cases[] = {
        {0, 99, 10, 50, 0, 99, 10, 50},
        {0, 99, 10, 90, 0, 99, 10, 90}, // the last page exactly
        {0, 99, 10, 91, 0, 99, 10, 90}, // one past it
        {0, 99, 10, -5, 0, 99, 10, 0},
        {0, 99, 0, 99, 0, 99, 0, 99},    // no page: the maximum itself
        {0, 99, 1, 99, 0, 99, 1, 99},    // a page of one: the same
        {10, 20, 5, 100, 10, 20, 5, 16}, // 20 - (5 - 1)
        {0, 9, 50, 3, 0, 9, 10, 0},      // a page larger than the range is the range
        {-10, 10, 0, -20, -10, 10, 0, -10},
        {5, 1, 0, 3, 0, 0, 0, 0}, // reversed: no range
        {0, 0, 0, 7, 0, 0, 0, 0},
    };
    for (const ClampCase &c : cases) {
        SCROLLINFO info = {sizeof info,
                           SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                           c.minimum,
                           c.maximum,
                           c.page,
                           c.position,
                           0};
        EXPECT_EQ(SetScrollInfo(pane, SB_VERT, &info, TRUE), c.expectedPosition)
            << c.minimum << ".." << c.maximum << " page " << c.page << " at " << c.position;
        const SCROLLINFO held = InfoOf(pane);
        EXPECT_EQ(held.nMin, c.expectedMinimum);
        EXPECT_EQ(held.nMax, c.expectedMaximum);
        EXPECT_EQ(held.nPage, c.expectedPage);
        EXPECT_EQ(held.nPos, c.expectedPosition);
        EXPECT_EQ(held.nTrackPos, c.expectedPosition);
    }
    // SetScrollPos answers the position before, and clamps the same way.
    SCROLLINFO info = {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 20, 0};
    SetScrollInfo(pane, SB_VERT, &info, TRUE);
    EXPECT_EQ(SetScrollPos(pane, SB_VERT, 200, TRUE), 20);
    EXPECT_EQ(GetScrollPos(pane, SB_VERT), 90);
    EXPECT_TRUE(SetScrollRange(pane, SB_VERT, 0, 50, TRUE));
    EXPECT_EQ(GetScrollPos(pane, SB_VERT), 41);
    int minimum = -1, maximum = -1;
    EXPECT_TRUE(GetScrollRange(pane, SB_VERT, &minimum, &maximum));
    EXPECT_EQ(minimum, 0);
    EXPECT_EQ(maximum, 50);
}

TEST_F(ScrollBarValues, TheBarHidesWhenThePageHoldsTheRangeUnlessKeptDisabled) {
    const LONG width = ClientOf(pane).right;
    SCROLLINFO fits = {sizeof fits, SIF_RANGE | SIF_PAGE, 0, 9, 10, 0, 0};
    SetScrollInfo(pane, SB_VERT, &fits, TRUE);
    EXPECT_EQ(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(ClientOf(pane).right, width + 13);
    // A range that no longer fits brings it back.
    SCROLLINFO longer = {sizeof longer, SIF_RANGE, 0, 10, 0, 0, 0};
    SetScrollInfo(pane, SB_VERT, &longer, TRUE);
    EXPECT_NE(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(ClientOf(pane).right, width);
    // Kept shown, disabled, when the program asks for it.
    SCROLLINFO kept = {sizeof kept, SIF_RANGE | SIF_DISABLENOSCROLL, 0, 5, 0, 0, 0};
    SetScrollInfo(pane, SB_VERT, &kept, TRUE);
    EXPECT_NE(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL, 0);
    // A change of the page alone never shows a hidden bar.
    EXPECT_TRUE(ShowScrollBar(pane, SB_VERT, FALSE));
    SCROLLINFO page = {sizeof page, SIF_PAGE, 0, 0, 2, 0, 0};
    SetScrollInfo(pane, SB_VERT, &page, TRUE);
    EXPECT_EQ(GetWindowLongW(pane, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_TRUE(ShowScrollBar(pane, SB_VERT, TRUE));
    EXPECT_EQ(ClientOf(pane).right, width);
}

// ---------------------------------------------------------------------------------------------
// The stylus, on a booted device.

class ScrollBarStylus : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\scrollpane.exe", PaneProgram);
        scrolled = nullptr;
        ASSERT_NO_FATAL_FAILURE(Start(u"\\Windows\\scrollpane.exe"));
        ASSERT_NE(scrolled, nullptr);
        recorder.Watch(scrolled);
        GetWindowRect(scrolled, &place);
        // The bar inside the border, at the right: arrows of 13 pixels at either end.
        barX = place.right - 1 - 7;
        top = place.top + 1;
        bottom = place.bottom - 1;
    }
    std::vector<RecordedMessage> Scrolls() const {
        return recorder.OnlyOf(scrolled, {WM_VSCROLL});
    }
    static ExpectedMessage Scroll(WORD code, int position = 0) {
        return {WM_VSCROLL, CheckWParam, MAKEWPARAM(code, position), 0};
    }
    void SetPosition(int position) {
        SetScrollPos(scrolled, SB_VERT, position, TRUE);
        RunUntilIdle();
        recorder.Clear();
    }
    // The thumb's top, found from the track's colours: its black top edge below the up arrow.
    MessageRecorder recorder;
    RECT place = {};
    int barX = 0, top = 0, bottom = 0;
};

TEST_F(ScrollBarStylus, ATapOnAnArrowScrollsALine) {
    TapAt(barX, top + 5);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_LINEUP), Scroll(SB_ENDSCROLL)}));
    recorder.Clear();
    TapAt(barX, bottom - 5);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_LINEDOWN), Scroll(SB_ENDSCROLL)}));
    // The tap reaches the window's own procedure only as the frame's message, never as a tap on
    // its client area.
    EXPECT_TRUE(recorder.OnlyOf(scrolled, {WM_LBUTTONDOWN}).empty());
    EXPECT_EQ(recorder.OnlyOf(scrolled, {WM_NCLBUTTONDOWN}).size(), 1u);
}

TEST_F(ScrollBarStylus, AnArrowHeldDownRepeats) {
    StylusDownAt(barX, bottom - 5);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_LINEDOWN)}));
    AdvanceDeviceTime(1000);
    StylusUpAt(barX, bottom - 5);
    const std::vector<RecordedMessage> scrolls = Scrolls();
    ASSERT_GE(scrolls.size(), 3u);
    EXPECT_TRUE(std::all_of(scrolls.begin(), scrolls.end() - 1,
                            [](const RecordedMessage &m) { return m.wParam == SB_LINEDOWN; }));
    EXPECT_EQ(scrolls.back().wParam, WPARAM(SB_ENDSCROLL));
    // Once lifted, nothing more comes.
    recorder.Clear();
    AdvanceDeviceTime(1000);
    EXPECT_TRUE(Scrolls().empty());

    // Slid off the arrow while held, it stops repeating.
    StylusDownAt(barX, top + 5);
    StylusMoveTo(barX - 60, top + 80);
    recorder.Clear();
    AdvanceDeviceTime(1000);
    StylusUpAt(barX - 60, top + 80);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_ENDSCROLL)}));
}

TEST_F(ScrollBarStylus, TheTrackAboveOrBelowTheThumbScrollsAPage) {
    // At 0 the thumb sits at the top of the track: below it is a page down.
    TapAt(barX, bottom - 20);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_PAGEDOWN), Scroll(SB_ENDSCROLL)}));
    // At the end the thumb is at the bottom: above it is a page up.
    SetPosition(90);
    TapAt(barX, top + 20);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_PAGEUP), Scroll(SB_ENDSCROLL)}));
}

TEST_F(ScrollBarStylus, DraggingTheThumbTracksThenSetsThePosition) {
    // The thumb at 0 lies just below the up arrow.
    const int thumbY = top + 13 + 3;
    StylusDownAt(barX, thumbY);
    EXPECT_TRUE(MessageRecorder::Matches(Scrolls(), {Scroll(SB_THUMBTRACK, 0)}));
    // Dragged to the very bottom: the last page.
    StylusMoveTo(barX, bottom + 5);
    SCROLLINFO info = {sizeof info, SIF_TRACKPOS | SIF_POS, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(scrolled, SB_VERT, &info));
    EXPECT_EQ(info.nTrackPos, 90);
    EXPECT_EQ(info.nPos, 0); // the window decides whether to follow
    StylusUpAt(barX, bottom + 5);
    EXPECT_TRUE(
        MessageRecorder::Matches(Scrolls(), {Scroll(SB_THUMBTRACK, 0), Scroll(SB_THUMBTRACK, 90),
                                             Scroll(SB_THUMBPOSITION, 90), Scroll(SB_ENDSCROLL)}));
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ScrollBarStylus, ADisabledBarAndTheClientAreaSendNothing) {
    SCROLLINFO kept = {sizeof kept, SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0};
    SetScrollInfo(scrolled, SB_VERT, &kept, TRUE);
    RunUntilIdle();
    TapAt(barX, bottom - 5);
    TapAt(place.left + 20, top + 20);
    EXPECT_TRUE(Scrolls().empty());
    EXPECT_EQ(recorder.OnlyOf(scrolled, {WM_LBUTTONDOWN}).size(), 1u);
}

} // namespace
