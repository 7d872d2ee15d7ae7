// A device program's dialog driven as a person would drive it, through the script commands:
// controls clicked by their text, an item picked from a drop-down list with stylus taps, a
// message box answered, windows waited for.
#include <gtest/gtest.h>

#include <sstream>

#include "../platform/golden.h"
#include "booted_device.h"
#include "device/automation.h"
#include "device/device_script.h"
#include "kernel/scheduler.h"
#include "user/screen.h"

#include <dialog_templates.h>
#include <resource_tables.h>

namespace {

const int statusId = 301;
const int layoutsId = 302;
const int pinId = 303;

const DIALOG_ITEM_TEMPLATE chooserItems[] = {
    {statusId, u"STATIC", u"Pick a layout.", WS_VISIBLE | SS_LEFT, 0, 6, 6, 100, 9},
    {layoutsId, u"COMBOBOX", u"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 6, 18,
     100, 52},
    {IDOK, u"BUTTON", u"Apply", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 6, 36, 48, 14},
    {IDCANCEL, u"BUTTON", u"Close", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 58, 36, 48, 14},
    {pinId, u"BUTTON", u"Pin", WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON, 0, 6, 54, 48, 14},
};
const DIALOG_TEMPLATE_TABLE chooser = {WS_POPUP | WS_CAPTION | WS_BORDER | DS_MODALFRAME |
                                           DS_CENTER | DS_SETFONT,
                                       0,
                                       0,
                                       0,
                                       112,
                                       74,
                                       u"Layouts",
                                       8,
                                       u"MS Sans Serif",
                                       chooserItems,
                                       ARRAYSIZE(chooserItems)};
const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(300), &chooser, sizeof chooser},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

const char16_t *const layoutNames[] = {u"English",   u"Deutsch",  u"Dansk",  u"Espanol",
                                       u"Francais",  u"Italiano", u"Norsk",  u"Nederlands",
                                       u"Portugues", u"Suomi",    u"Svenska"};

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        for (const char16_t *name : layoutNames) {
            SendDlgItemMessageW(dialog, layoutsId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        SendDlgItemMessageW(dialog, layoutsId, CB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED) {
            WCHAR chosen[32] = {};
            GetDlgItemTextW(dialog, layoutsId, chosen, 32);
            std::u16string question = u"Switch the keyboard to ";
            question += chosen;
            question += u"?";
            if (MessageBoxW(dialog, question.c_str(), u"Apply", MB_YESNO | MB_ICONQUESTION) ==
                IDYES) {
                std::u16string status = u"Now using ";
                status += chosen;
                status += u".";
                SetDlgItemTextW(dialog, statusId, status.c_str());
            }
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

int WINAPI ChooserProgram(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(300), nullptr, ChooserProc, 0));
}

class DialogSession : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\chooser.exe", ChooserProgram);
    }
    // What the script printed; its error lines in errors.
    static std::string Run(const std::string &lines, std::string &errors, int &failures) {
        std::istringstream script(lines);
        std::ostringstream out;
        std::ostringstream errorStream;
        failures = RunScript(script, out, errorStream);
        errors = errorStream.str();
        return out.str();
    }
    static void RunClean(const std::string &lines) {
        std::string errors;
        int failures = 0;
        Run(lines, errors, failures);
        EXPECT_EQ(failures, 0) << errors;
    }
    static std::string Status() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"STATIC", text));
        return text;
    }
};

TEST_F(DialogSession, APickedItemIsAppliedAfterTheMessageBoxIsAnswered) {
    RunClean("start \\Windows\\chooser.exe\n"
             "wait-window \"Layouts\" 1000\n"
             "pick Svenska\n"
             "click Apply\n"
             "wait-window \"Apply\"\n");
    std::string question;
    // The message box is in front, and its text is its first static.
    ASSERT_TRUE(ReadWindowText(u"STATIC", question));
    EXPECT_EQ(question, "Switch the keyboard to Svenska?");
    RunClean("answer Yes\n"
             "wait-gone \"Apply\" 1000\n");
    EXPECT_EQ(Status(), "Now using Svenska.");
    SyncScreen();
    ExpectMatchesGolden(*ScreenSurface(), "dialog_session");

    // No is an answer too: nothing changes. The list is opened first, as the focus is now on
    // the button.
    RunClean("click Svenska\n"
             "pick English\n"
             "click Apply \"Layouts\"\n"
             "answer no\n");
    EXPECT_EQ(Status(), "Now using Svenska.");
    RunClean("click Close Dialog\n"
             "wait-gone \"Layouts\" 0\n");
}

TEST_F(DialogSession, PickingOpensTheListAndScrollsItToTheItem) {
    RunClean("start \\Windows\\chooser.exe\n"
             "pick nederlands\n");
    HWND combo = GetDlgItem(FindWindowW(u"Dialog", u"Layouts"), layoutsId);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 7);
    EXPECT_EQ(FindWindowW(u"ComboLBox", nullptr), nullptr) << "the list closes after the pick";
    // From a list opened by a tap on the box, scrolled to its end, back to the first item.
    RunClean("pick Suomi\n"
             "click Suomi\n");
    EXPECT_NE(FindWindowW(u"ComboLBox", nullptr), nullptr);
    RunClean("pick English\n");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
}

TEST_F(DialogSession, CommandsThatCannotBeDoneFailTheirLine) {
    std::string errors;
    int failures = 0;
    Run("pick English\n"
        "answer OK\n"
        "start \\Windows\\chooser.exe\n"
        "click Nothing\n"
        "click Apply HHTaskBar\n"
        "click Pin\n"
        "pick Klingon\n"
        "wait-window \"Apply\" 50\n"
        "wait-gone \"Layouts\" 50\n"
        "wait-window\n"
        "wait-gone Dialog soon\n"
        "click\n",
        errors, failures);
    EXPECT_EQ(failures, 11);
    EXPECT_EQ(errors, "line 1: no combo box is open, has the focus or is the only one shown\n"
                      "line 2: no message box is shown\n"
                      "line 4: no control \"Nothing\"\n"
                      "line 5: no control \"Apply\" in a window \"HHTaskBar\"\n"
                      "line 6: the control \"Pin\" is disabled\n"
                      "line 7: the combo box has no item \"Klingon\"\n"
                      "line 8: no window captioned \"Apply\" came within 50 ms\n"
                      "line 9: a window captioned \"Layouts\" was still shown after 50 ms\n"
                      "line 10: wait-window needs a window class or \"caption\", and may give "
                      "milliseconds\n"
                      "line 11: wait-gone needs a window class or \"caption\", and may give "
                      "milliseconds\n"
                      "line 12: click needs a control's text and may name its window\n");
}

TEST_F(DialogSession, WaitsLetDeviceTimePassUntilTheWindowComes) {
    // The program starts its dialog only after a second of its own time.
    RegisterBuiltInProgram(u"\\Windows\\late.exe",
                           [](HINSTANCE instance, HINSTANCE, LPWSTR, int) -> int {
                               Sleep(1000);
                               return ChooserProgram(instance, nullptr, nullptr, 0);
                           });
    const DWORD start = DeviceTime();
    RunClean("start \\Windows\\late.exe\n"
             "wait-window Dialog 3000\n");
    EXPECT_GE(DeviceTime() - start, 1000u);
    EXPECT_LT(DeviceTime() - start, 1100u) << "the wait ends soon after the window comes";
    std::string errors;
    int failures = 0;
    Run("click Close\n"
        "wait-gone Dialog 100\n"
        "wait-window Dialog 100\n",
        errors, failures);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(errors, "line 3: no window of class Dialog came within 100 ms\n");
}

} // namespace
