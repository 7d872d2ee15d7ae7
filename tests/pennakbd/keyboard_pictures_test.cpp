// The keyboard as it looks: the English layout at two scales, with the option panel hidden, and
// the layout that has every kind of key.
#include "keyboard_session.h"

#include "../platform/golden.h"
#include "device/automation.h"
#include "device/boot.h"
#include "kernel/scheduler.h"
#include "pennakbd_state.h"
#include "user/screen.h"

namespace {

class KeyboardPictures : public KeyboardSession {
  protected:
    static void ExpectScreen(const std::string &name) {
        SyncScreen();
        ExpectMatchesGolden(*ScreenSurface(), name);
    }
};

TEST_F(KeyboardPictures, TheEnglishLayout) {
    StartKeyboard();
    Run("pick English\n");
    ExpectScreen("keyboard_english");
}

TEST_F(KeyboardPictures, TheEnglishLayoutHalfAgainAsLargeOnAWideScreen) {
    RebootWide();
    SetSetting(u"Default Scale", 1500);
    StartKeyboard();
    Run("pick English\n");
    EXPECT_EQ(Settings.scale, 1500u);
    ExpectScreen("keyboard_english_1500");
}

TEST_F(KeyboardPictures, ThePanelHidden) {
    SetSetting(u"Opt Visibility", 0);
    StartKeyboard();
    ExpectScreen("keyboard_panel_hidden");
}

TEST_F(KeyboardPictures, EveryKindOfKey) {
    StartKeyboard();
    Run("pick Showcase\n");
    ExpectScreen("keyboard_showcase");
}

} // namespace
