// The keyboard on the screen: the title bar's buttons, the option panel, the scale steps and
// how much a repaint costs.
#include "keyboard_session.h"

#include "../device/screen_pixels.h"

#include "device/automation.h"
#include "device/boot.h"
#include "kernel/scheduler.h"
#include "keyboard_window.h"
#include "pennakbd_state.h"

namespace {

class KeyboardWindowTest : public KeyboardSession {
  protected:
    static LONG Top(HWND window) {
        return RectOf(window).top;
    }
    static LONG Height(HWND window) {
        const RECT rect = RectOf(window);
        return rect.bottom - rect.top;
    }
    static void Click(int id) {
        SendDlgItemMessageW(OptionPanel, id, BM_CLICK, 0, 0);
        RunUntilIdle();
    }
    static int CountKeys(Element *layout, DWORD withAny) {
        int count = 0;
        for (Element *node = layout; node != nullptr; node = node->next) {
            const KeyDef *key = static_cast<const KeyDef *>(node->data);
            if (key != nullptr && (key->flags & KEY_HIDDEN) == 0 &&
                (withAny == 0 || (key->flags & withAny) != 0)) {
                ++count;
            }
        }
        return count;
    }
};

TEST_F(KeyboardWindowTest, ThePanelButtonHidesAndShowsTheOptionPanel) {
    StartKeyboard();
    HWND main = MainWindowShown();
    HWND panelButton = GetDlgItem(TitleBar, IDC_PANEL_BUTTON);
    const LONG fullHeight = Height(main);
    EXPECT_EQ(Top(KeyboardWindow), Top(OptionPanel) + Height(OptionPanel));

    TapWindow(panelButton);
    EXPECT_FALSE(IsWindowVisible(OptionPanel));
    EXPECT_EQ(Settings.panelVisible, 0u);
    EXPECT_EQ(Top(KeyboardWindow), Top(TitleBar) + Height(TitleBar)) << "right below the title";
    EXPECT_EQ(Height(main), fullHeight - Height(OptionPanel));

    // Slid off before it is lifted, the tap changes nothing.
    const RECT button = RectOf(panelButton);
    StylusDownAt(button.left + 3, button.top + 3);
    StylusMoveTo(button.left + 3, button.bottom + 20);
    StylusUpAt(button.left + 3, button.bottom + 20);
    EXPECT_FALSE(IsWindowVisible(OptionPanel));

    TapWindow(panelButton);
    EXPECT_TRUE(IsWindowVisible(OptionPanel));
    EXPECT_EQ(Settings.panelVisible, 1u);
    EXPECT_EQ(Height(main), fullHeight);
}

TEST_F(KeyboardWindowTest, HideLeavesTheNotificationIconToBringItBack) {
    StartKeyboard();
    HWND main = MainWindowShown();
    Run("click _\n");
    EXPECT_FALSE(IsWindowVisible(main));
    // The icon sits at the right end of the task bar; only a tap on it shows the keyboard.
    PostMessageW(main, MSG_TRAY_NOTIFY, IDI_KEYBOARD, WM_LBUTTONUP);
    RunUntilIdle();
    EXPECT_FALSE(IsWindowVisible(main));
    Run("tap 228 306\n");
    EXPECT_TRUE(IsWindowVisible(main));
    Run("tap 228 306\n");
    EXPECT_TRUE(IsWindowVisible(main)) << "a tap while it shows changes nothing";
}

TEST_F(KeyboardWindowTest, ScaleStepsStayWithinTheirBoundsAndRepaintOnlyInside) {
    RebootWide();
    StartKeyboard();
    ASSERT_NE(DisplayedLayout(), nullptr);
    const int visibleKeys = CountKeys(DisplayedLayout(), 0);
    const LONG width = RectOf(KeyboardWindow).right - RectOf(KeyboardWindow).left;

    DWORD painted = PaintedKeyCount;
    Click(IDC_ENLARGE);
    EXPECT_EQ(Settings.scale, 1100u);
    EXPECT_EQ(PaintedKeyCount - painted, static_cast<DWORD>(visibleKeys)) << "one full repaint";
    EXPECT_EQ(RectOf(KeyboardWindow).right - RectOf(KeyboardWindow).left,
              static_cast<LONG>(1100u * layoutWidth / 1000 + 2));
    EXPECT_GT(RectOf(KeyboardWindow).right - RectOf(KeyboardWindow).left, width);

    // A step that crosses a bound lands on it and is drawn there, so that taps are read at the
    // scale the keys show; a step from the bound itself changes nothing. 2900 and 1100 land
    // exactly on their bounds.
    const struct {
        DWORD from;
        int button;
        DWORD to;
        bool repainted;
    } bounds[] = {{2950, IDC_ENLARGE, 3000, true}, {3000, IDC_ENLARGE, 3000, false},
                  {2900, IDC_ENLARGE, 3000, true}, {1050, IDC_REDUCE, 1000, true},
                  {1000, IDC_REDUCE, 1000, false}, {1100, IDC_REDUCE, 1000, true}};
    for (const auto &step : bounds) {
        Settings.scale = step.from;
        painted = PaintedKeyCount;
        Click(step.button);
        EXPECT_EQ(Settings.scale, step.to) << step.from;
        EXPECT_EQ(PaintedKeyCount - painted, step.repainted ? static_cast<DWORD>(visibleKeys) : 0u)
            << step.from;
        if (step.repainted) {
            EXPECT_EQ(RectOf(KeyboardWindow).right - RectOf(KeyboardWindow).left,
                      static_cast<LONG>(step.to * layoutWidth / 1000 + 2))
                << step.from << ": drawn at the scale taps are read at";
        }
    }
}

// The panel button's window is larger than its picture; after the title bar is arranged anew,
// the strip beside and below the picture shows the title bar, not what was there before.
TEST_F(KeyboardWindowTest, ThePanelButtonPaintsItsWholeWindow) {
    StartKeyboard();
    Click(IDC_ENLARGE);
    const RECT button = RectOf(GetDlgItem(TitleBar, IDC_PANEL_BUTTON));
    const COLORREF title = RGB(0, 0, 0x80);
    const RECT right = {button.right - 2, button.top, button.right, button.bottom};
    const RECT bottom = {button.left, button.bottom - 1, button.right, button.bottom};
    EXPECT_EQ(CountPixels(right, title), 2 * (button.bottom - button.top));
    EXPECT_EQ(CountPixels(bottom, title), button.right - button.left);
}

TEST_F(KeyboardWindowTest, ShowingTheSameLayoutAgainRepaintsOnlyItsHeldKinds) {
    StartKeyboard();
    Element *layout = DisplayedLayout();
    ASSERT_NE(layout, nullptr);
    const int heldKinds = CountKeys(layout, KEY_STICK | KEY_DEADKEY | KEY_TOGGLE);
    ASSERT_GT(heldKinds, 0);
    const DWORD painted = PaintedKeyCount;
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, reinterpret_cast<WPARAM>(layout), 0);
    RunUntilIdle();
    EXPECT_EQ(PaintedKeyCount - painted, static_cast<DWORD>(heldKinds));
    EXPECT_EQ(DisplayedLayout(), layout);
}

TEST_F(KeyboardWindowTest, ALayoutWiderThanTheDesktopLowersTheScale) {
    StartKeyboard();
    // The shipped layouts are as wide as the screen: any larger scale does not fit.
    Settings.scale = 2000;
    Element *layout = DisplayedLayout();
    const DWORD painted = PaintedKeyCount;
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, reinterpret_cast<WPARAM>(layout), 0);
    RunUntilIdle();
    EXPECT_EQ(Settings.scale, Settings.maxScale);
    EXPECT_EQ(PaintedKeyCount - painted, static_cast<DWORD>(CountKeys(layout, 0)))
        << "painted in full";
}

TEST_F(KeyboardWindowTest, NoLayoutPaintsNothingAndLeavesNoPaintPending) {
    StartKeyboard();
    SendMessageW(KeyboardWindow, MSG_SHOW_LAYOUT, 0xFFFFFFFF, 0);
    EXPECT_EQ(DisplayedLayout(), nullptr);
    InvalidateRect(KeyboardWindow, nullptr, TRUE);
    RunUntilIdle();
    RECT update = {};
    EXPECT_FALSE(GetUpdateRect(KeyboardWindow, &update, FALSE));
}

} // namespace
