// The stylus on the keyboard: which key a tap delivers to the main window, and where.
#include "keyboard_session.h"

#include <fstream>
#include <string>
#include <vector>

#include "../device/screen_pixels.h"
#include "device/automation.h"
#include "kernel/scheduler.h"
#include "kernel/host_paths.h"
#include "keyboard_window.h"
#include "main_window.h"
#include "pennakbd_state.h"

namespace {

std::vector<std::string> delivered;

// In place of the main window's own procedure for key presses: notes each key pressed and the
// point, and does nothing else with it, so that only the pen input is seen.
INT_PTR CALLBACK Recorder(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == MSG_KEY_PRESSED) {
        const KeyDef *key = reinterpret_cast<const KeyDef *>(wParam);
        delivered.push_back(std::to_string(key->code) + " at " +
                            std::to_string(static_cast<short>(LOWORD(lParam))) + "," +
                            std::to_string(static_cast<short>(HIWORD(lParam))));
        return TRUE;
    }
    return MainWindowProc(dialog, message, wParam, lParam);
}

class PenInput : public KeyboardSession {
  protected:
    void SetUp() override {
        KeyboardSession::SetUp();
        delivered.clear();
    }
    // Starts the keyboard showing the layout of that name, recording what it delivers.
    void StartWith(const char *layout) {
        StartKeyboard();
        Run(std::string("pick ") + layout + "\n");
        SetWindowLongPtrW(MainWindow, DWL_DLGPROC, reinterpret_cast<LONG_PTR>(Recorder));
    }
    static void AddLayoutFile(const char16_t *name, const std::u16string &text) {
        std::ofstream file(
            HostPathFromW((u"\\Program Files\\Pennakey\\" + std::u16string(name)).c_str()),
            std::ios::binary);
        file.write(reinterpret_cast<const char *>(text.data()),
                   static_cast<std::streamsize>(text.size() * sizeof(char16_t)));
    }
    // A point of the screen at layout units (x, y) of the keyboard window.
    static POINT At(int x, int y) {
        const RECT window = RectOf(KeyboardWindow);
        return POINT{window.left + static_cast<LONG>(x * Settings.scale / 1000),
                     window.top + static_cast<LONG>(y * Settings.scale / 1000)};
    }
    static void Tap(POINT down, POINT up) {
        StylusDownAt(down.x, down.y);
        StylusUpAt(up.x, up.y);
    }
    static KeyDef *Key(WORD code) {
        return Layodex.FindKeyByUnicode(DisplayedLayout(), code, 0, 0);
    }
};

TEST_F(PenInput, ATapDeliversTheKeyOnceWithTheReleasePoint) {
    StartWith("English");
    // q is at 24,16 and 16 units square.
    Tap(At(30, 20), At(33, 22));
    EXPECT_EQ(delivered, std::vector<std::string>{"113 at 33,22"});
}

TEST_F(PenInput, WithoutABaseLayoutTheKeyUnderThePenDownIsDelivered) {
    StartWith("English");
    Tap(At(30, 20), At(50, 22)); // from q to w
    Tap(At(30, 20), At(300, 300));
    EXPECT_EQ(delivered, (std::vector<std::string>{"113 at 50,22", "113 at 300,300"}));
}

TEST_F(PenInput, EdgesDisabledAndOutsideKeysPressNothing) {
    StartWith("English");
    Tap(At(24, 20), At(24, 20)); // q's left edge, Tab's right edge
    Tap(At(30, 16), At(30, 16)); // q's top edge
    Tap(At(30, 200), At(30, 200));
    EXPECT_TRUE(delivered.empty());
    Run("pick Showcase\n");
    // The disabled z: 156..188 across, 20..40 down.
    Tap(At(170, 30), At(170, 30));
    EXPECT_TRUE(delivered.empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(PenInput, OnTheBaseLayoutTheKeyUnderTheReleaseIsDelivered) {
    AddLayoutFile(u"Base.kbi", u"[Base,B,Main,65537]\r\n"
                               u"0, 0, 20, 20, 0, a, 0, 0\r\n"
                               u"20, 0, 20, 20, 0, b, 0, 0\r\n");
    StartWith("Base");
    Tap(At(10, 10), At(30, 10));
    EXPECT_EQ(delivered, std::vector<std::string>{"98 at 30,10"}) << "b, where it was lifted";
    delivered.clear();
    Tap(At(10, 10), At(10, 100));
    EXPECT_EQ(delivered, std::vector<std::string>{"97 at 10,100"}) << "a, lifted on no key";
}

TEST_F(PenInput, AnOrdinaryFaceIsRestoredAtReleaseAStickyOneStaysInverted) {
    StartWith("English");
    const POINT q = At(32, 24);
    const COLORREF before = ScreenPixel(q.x, q.y);
    StylusDownAt(q.x, q.y);
    EXPECT_NE(ScreenPixel(q.x, q.y), before) << "inverted while held";
    StylusUpAt(q.x, q.y);
    EXPECT_EQ(ScreenPixel(q.x, q.y), before);

    // Control (STICK) lifted inside itself: no handler repaints it yet, so it stays inverted.
    const POINT control = At(12, 72);
    const COLORREF plain = ScreenPixel(control.x, control.y);
    Tap(control, control);
    EXPECT_NE(ScreenPixel(control.x, control.y), plain);
    InvalidateRect(KeyboardWindow, nullptr, FALSE);
    RunUntilIdle();
    // Lifted outside itself it is restored at once.
    Tap(control, At(12, 200));
    EXPECT_EQ(ScreenPixel(control.x, control.y), plain);
    EXPECT_EQ(delivered.size(), 3u);
}

TEST_F(PenInput, AStoredScaleOfZeroDividesByNothing) {
    SetSetting(u"Default Scale", 0);
    StartWith("English");
    ASSERT_EQ(Settings.scale, 0u);
    const RECT window = RectOf(KeyboardWindow);
    Tap(POINT{window.left + 1, window.top + 1}, POINT{window.left + 1, window.top + 1});
    // Pixels are taken at the smallest scale: the tap is on Escape, at 1,1.
    EXPECT_EQ(delivered, std::vector<std::string>{"27 at 1,1"});
}

} // namespace
