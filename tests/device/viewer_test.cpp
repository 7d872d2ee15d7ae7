// The device in front of a display: events from the display reach the programs as stylus and
// keys, a quit ends the loop, frames are presented only when the screen changed, and a device
// without a display runs on the host's time until it is stopped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "booted_device.h"
#include "device/automation.h"
#include "device/device_loop.h"
#include "kernel/scheduler.h"
#include "device/screen_presenter.h"
#include "drivers/display_driver.h"
#include "user/cursors.h"
#include "user/screen.h"

namespace {

// A display that hands out scripted events, a turn at a time, and then a quit.
struct FakeDisplay {
    std::vector<std::vector<DisplayEvent>> turns;
    size_t turn = 0;
    size_t next = 0;
    int polls = 0;
    std::vector<Box> presented;
    Surface lastFrame;
};

FakeDisplay fake;

bool FakeOpen(int, int, int) {
    return true;
}

void FakeClose() {}

void FakePresent(const Surface &screen, const Box &dirty) {
    fake.presented.push_back(dirty);
    fake.lastFrame = screen;
}

bool FakePoll(DisplayEvent &event) {
    ++fake.polls;
    if (fake.turn >= fake.turns.size()) {
        event = DisplayEvent();
        return true;
    }
    if (fake.next < fake.turns[fake.turn].size()) {
        event = fake.turns[fake.turn][fake.next++];
        return true;
    }
    ++fake.turn;
    fake.next = 0;
    return false;
}

const DisplayDriver fakeDisplay = {FakeOpen, FakeClose, FakePresent, FakePoll};

DisplayEvent Stylus(DisplayEventKind kind, int x, int y) {
    DisplayEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    return event;
}

DisplayEvent Key(DisplayEventKind kind, uint8_t key) {
    DisplayEvent event;
    event.kind = kind;
    event.key = key;
    return event;
}

DisplayEvent Quit() {
    return DisplayEvent();
}

std::string Describe(const Box &box) {
    return std::to_string(box.left) + "," + std::to_string(box.top) + "," +
           std::to_string(box.right) + "," + std::to_string(box.bottom);
}

std::vector<std::string> received;
volatile std::sig_atomic_t stop = 0;

std::string Point(LPARAM lParam) {
    return std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
           std::to_string(static_cast<short>(HIWORD(lParam)));
}

// Records the stylus in client coordinates; a timer asks the loop to stop.
LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        received.push_back("down " + Point(lParam));
        return 0;
    case WM_MOUSEMOVE:
        received.push_back("move " + Point(lParam));
        return 0;
    case WM_LBUTTONUP:
        received.push_back("up " + Point(lParam));
        return 0;
    case WM_TIMER:
        received.push_back("timer");
        stop = 1;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A window at (20, 30), 100 x 100, without a frame; "timer" on the command line sets a 50 ms
// timer on it.
int WINAPI Recorder(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Recorder";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, u"Recorder", u"recorder", WS_VISIBLE, 20, 30, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    if (lstrcmpW(commandLine, u"timer") == 0) {
        SetTimer(window, 1, 50, nullptr);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

class Viewer : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\recorder.exe", Recorder);
        fake = FakeDisplay();
        received.clear();
        stop = 0;
    }
    void TearDown() override {
        SetCursor(nullptr);
        BootedDevice::TearDown();
    }
    static std::string NotesText() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
        return text;
    }
};

TEST_F(Viewer, AClickBecomesATapOnTheWindowUnderIt) {
    Start(u"\\recorder.exe");
    fake.turns = {{Stylus(DisplayEventKind::StylusDown, 50, 60),
                   Stylus(DisplayEventKind::StylusMove, 55, 70)},
                  {Stylus(DisplayEventKind::StylusUp, 55, 70)}};
    RunDeviceLoop(fakeDisplay, stop);
    EXPECT_EQ(received, (std::vector<std::string>{"down 30,30", "move 35,40", "up 35,40"}));
}

TEST_F(Viewer, KeysReachNotesAsCharacters) {
    Start(u"\\Windows\\notes.exe");
    fake.turns = {{Key(DisplayEventKind::KeyDown, VK_SHIFT), Key(DisplayEventKind::KeyDown, 'H'),
                   Key(DisplayEventKind::KeyUp, 'H'), Key(DisplayEventKind::KeyUp, VK_SHIFT)},
                  {Key(DisplayEventKind::KeyDown, 'I'), Key(DisplayEventKind::KeyUp, 'I')},
                  {Key(DisplayEventKind::KeyDown, VK_SPACE), Key(DisplayEventKind::KeyUp, VK_SPACE),
                   Key(DisplayEventKind::KeyDown, 0xBE), Key(DisplayEventKind::KeyUp, 0xBE)}};
    RunDeviceLoop(fakeDisplay, stop);
    EXPECT_EQ(NotesText(), "Hi .");
}

TEST_F(Viewer, AQuitEndsTheLoopAndWhatFollowsItStaysUndelivered) {
    Start(u"\\Windows\\notes.exe");
    fake.turns = {{Key(DisplayEventKind::KeyDown, 'A'), Key(DisplayEventKind::KeyUp, 'A'), Quit(),
                   Key(DisplayEventKind::KeyDown, 'B'), Key(DisplayEventKind::KeyUp, 'B')}};
    RunDeviceLoop(fakeDisplay, stop);
    EXPECT_EQ(NotesText(), "a");
    EXPECT_EQ(fake.turn, 0u);
    EXPECT_EQ(fake.next, 3u);
    EXPECT_FALSE(DeliverDisplayEvent(Quit()));
}

TEST_F(Viewer, AStopRequestEndsTheLoopBeforeItPolls) {
    stop = 1;
    RunDeviceLoop(fakeDisplay, stop);
    EXPECT_EQ(fake.polls, 0);
}

TEST_F(Viewer, FramesArePresentedOnlyWhenTheScreenChanged) {
    Start(u"\\Windows\\notes.exe");
    fake.turns = {{}, {}, {}, {Key(DisplayEventKind::KeyDown, 'X')}, {}, {}};
    RunDeviceLoop(fakeDisplay, stop);
    EXPECT_EQ(NotesText(), "x");
    ASSERT_EQ(fake.presented.size(), 2u);
    EXPECT_EQ(Describe(fake.presented[0]), "0,0,240,320");
    // Only the typed letter and the caret: inside the editing window, near its top left.
    const Box typed = fake.presented[1];
    EXPECT_FALSE(typed.Empty());
    EXPECT_GE(typed.left, 1);
    EXPECT_GE(typed.top, 25);
    EXPECT_LE(typed.right, 40);
    EXPECT_LE(typed.bottom, 60);
    EXPECT_EQ(fake.lastFrame.pixels, ScreenSurface()->pixels);
}

TEST_F(Viewer, TheWaitCursorIsDrawnOverThePresentedFrame) {
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    fake.turns = {{}};
    RunDeviceLoop(fakeDisplay, stop);
    Surface expected = *ScreenSurface();
    DrawWaitCursor(expected);
    EXPECT_NE(expected.pixels, ScreenSurface()->pixels);
    EXPECT_EQ(fake.lastFrame.pixels, expected.pixels);

    // Once the cursor goes, the next frame is the screen alone.
    SetCursor(nullptr);
    fake = FakeDisplay();
    fake.turns = {{}};
    ScreenPresenter presenter(fakeDisplay);
    fake.lastFrame = expected;
    ASSERT_TRUE(WatchDevice(fakeDisplay, presenter));
    EXPECT_EQ(fake.lastFrame.pixels, ScreenSurface()->pixels);
    EXPECT_FALSE(presenter.Present());
}

TEST_F(Viewer, WatchingPresentsButDropsInputUntilAQuit) {
    Start(u"\\Windows\\notes.exe");
    ScreenPresenter presenter(fakeDisplay);
    fake.turns = {{Key(DisplayEventKind::KeyDown, 'A'), Key(DisplayEventKind::KeyUp, 'A')}};
    EXPECT_TRUE(WatchDevice(fakeDisplay, presenter));
    EXPECT_EQ(NotesText(), "");
    EXPECT_EQ(fake.presented.size(), 1u);
    EXPECT_FALSE(WatchDevice(fakeDisplay, presenter));
    EXPECT_EQ(fake.presented.size(), 1u);
}

TEST_F(Viewer, TheHeadlessDisplayShowsNothingAndHasNoInput) {
    EXPECT_TRUE(headlessDisplay.open(240, 320, 2));
    EXPECT_FALSE(headlessDisplay.open(0, 320, 1));
    EXPECT_FALSE(headlessDisplay.open(240, 320, 0));
    headlessDisplay.present(*ScreenSurface(), ScreenSurface()->Bounds());
    DisplayEvent event;
    EXPECT_FALSE(headlessDisplay.poll(event));
    headlessDisplay.close();
}

TEST_F(Viewer, AHeadlessDeviceRunsOnTheHostsTimeUntilStopped) {
    Start(u"\\recorder.exe", u"timer");
    const DWORD before = DeviceTime();
    // Only the program's timer, when the host's time has reached it, stops the loop.
    RunDeviceLoop(headlessDisplay, stop);
    EXPECT_EQ(received, (std::vector<std::string>{"timer"}));
    EXPECT_GE(DeviceTime() - before, 50u);
}

struct ChangeCase {
    const char *name;
    int width, height;
    std::vector<std::pair<int, int>> changed;
    bool any;
    const char *box;
};

TEST(ScreenChanges, TheChangedBoxHoldsEveryChangedPixelAndNoMore) {
    const ChangeCase cases[] = {
        {"nothing", 8, 6, {}, false, ""},
        {"one pixel", 8, 6, {{3, 2}}, true, "3,2,4,3"},
        {"corners", 8, 6, {{0, 0}, {7, 5}}, true, "0,0,8,6"},
        {"a diagonal", 8, 6, {{6, 1}, {2, 4}}, true, "2,1,7,5"},
        {"last row", 8, 6, {{5, 5}}, true, "5,5,6,6"},
    };
    for (const ChangeCase &test : cases) {
        Surface before(test.width, test.height, 0x123456);
        Surface after = before;
        for (const auto &[x, y] : test.changed) {
            after.At(x, y) = 0xFFFFFF;
        }
        Box box;
        EXPECT_EQ(ChangedBox(before, after, box), test.any) << test.name;
        if (test.any) {
            EXPECT_EQ(Describe(box), test.box) << test.name;
        }
    }
    // Another size is a change of everything; nothing to show is none.
    Box box;
    EXPECT_TRUE(ChangedBox(Surface(), Surface(4, 3), box));
    EXPECT_EQ(Describe(box), "0,0,4,3");
    EXPECT_FALSE(ChangedBox(Surface(4, 3), Surface(), box));
    EXPECT_FALSE(ChangedBox(Surface(), Surface(), box));
}

} // namespace
