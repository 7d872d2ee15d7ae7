// Dialogs made by device programs from their templates: controls and geometry, the messages of
// creation and the focus rule, the default button and the keys IsDialogMessage handles, the
// dialog item functions, failures that leave nothing behind, DWL_MSGRESULT for another program,
// and how a dialog looks.
#include <gtest/gtest.h>

#include <dialog_templates.h>
#include <resource_tables.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "../platform/icon_builder.h"
#include "booted_device.h"
#include "device/automation.h"
#include "kernel/scheduler.h"
#include "user/user_thread.h"
#include "dialogs/dialogs.h"
#include "user/screen.h"
#include "user/window_state.h"
#include "rect_text.h"

namespace {

const int labelId = 110;
const int offId = 111;
const int fieldId = 112;
const int listId = 113;
const int applyId = 120;

// At 10 points, 8 x 15 pixels for 4 x 8 units; the whole dialog is 200 x 113 pixels inside.
const DIALOG_ITEM_TEMPLATE settingsItems[] = {
    {labelId, u"STATIC", u"Name:", WS_VISIBLE | SS_LEFT, 0, 4, 6, 30, 9},
    {offId, u"BUTTON", u"Off", WS_VISIBLE | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, 0, 38, 4, 30,
     12},
    {fieldId, u"Recorder", u"field", WS_VISIBLE | WS_TABSTOP, 0, 4, 20, 60, 12},
    {listId, u"COMBOBOX", u"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 66, 20,
     30, 40},
    {applyId, u"BUTTON", u"Apply", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 40, 40, 14},
    {IDCANCEL, u"BUTTON", u"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 50, 40, 40, 14},
};
const DWORD framedStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_BORDER | DS_MODALFRAME;
const DIALOG_TEMPLATE_TABLE settings = {
    framedStyle | DS_CENTER | DS_SETFONT,
    0,
    0,
    0,
    100,
    60,
    u"Settings",
    10,
    u"MS Sans Serif",
    settingsItems,
    ARRAYSIZE(settingsItems),
};

// A control of a class nobody registered, after one that can be made.
const DIALOG_ITEM_TEMPLATE brokenItems[] = {
    {fieldId, u"Recorder", u"field", WS_VISIBLE | WS_TABSTOP, 0, 4, 4, 60, 12},
    {114, u"Nope", u"", WS_VISIBLE, 0, 4, 20, 60, 12},
};
const DIALOG_TEMPLATE_TABLE broken = {
    framedStyle | DS_SETFONT, 0, 0, 0, 100, 40, u"Broken", 10, u"MS Sans Serif", brokenItems, 2,
};

const DIALOG_ITEM_TEMPLATE classlessItems[] = {
    {115, nullptr, u"", WS_VISIBLE, 0, 4, 4, 60, 12},
};
const DIALOG_TEMPLATE_TABLE classless = {
    framedStyle, 0, 0, 0, 100, 40, u"Classless", 0, nullptr, classlessItems, 1,
};

// Without DS_SETFONT the font it names is not used: 7 x 13 pixels, the system font's units.
const DIALOG_ITEM_TEMPLATE plainItems[] = {
    {fieldId, u"Recorder", u"field", WS_VISIBLE | WS_TABSTOP, 0, 2, 2, 20, 10},
};
const DIALOG_TEMPLATE_TABLE plain = {
    WS_POPUP | WS_VISIBLE, 0, 10, 12, 60, 30, u"Plain", 20, u"DejaVu Sans Mono", plainItems, 1,
};

const DIALOG_TEMPLATE_TABLE answering = {
    framedStyle, 0, 0, 0, 80, 30, u"Answering", 0, nullptr, nullptr, 0,
};

// Every kind of control the platform has, for the picture.
const DIALOG_ITEM_TEMPLATE choicesItems[] = {
    {130, u"STATIC", u"#150", WS_VISIBLE | SS_ICON, 0, 4, 4, 10, 10},
    {131, u"STATIC", u"Left text", WS_VISIBLE | SS_LEFT, 0, 18, 4, 54, 9},
    {132, u"STATIC", u"Centred", WS_VISIBLE | SS_CENTER, 0, 18, 15, 54, 9},
    {133, u"COMBOBOX", u"", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, 4, 28, 68,
     50},
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 46, 32, 14},
    {IDCANCEL, u"BUTTON", u"Cancel", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 0, 40, 46, 32, 14},
};
const DIALOG_TEMPLATE_TABLE choices = {
    framedStyle | DS_SETFONT, 0, 2, 3, 76, 64, u"Choices", 8, u"MS Sans Serif", choicesItems,
    ARRAYSIZE(choicesItems),
};

// A 16 x 16 icon: a dark blue ring round a yellow middle, its corners see-through.
std::string RingIcon() {
    IconPlan plan;
    plan.width = 16;
    plan.height = 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool corner = (x < 2 || x > 13) && (y < 2 || y > 13);
            const bool ring = x < 3 || x > 12 || y < 3 || y > 12;
            // See-through pixels are black under a set mask bit; any other colour would invert.
            plan.pixels.push_back(corner ? 0x000000 : ring ? 0x000080 : 0xFFD700);
            plan.mask.push_back(corner ? 1 : 0);
        }
    }
    return BuildIcon({plan});
}

const std::string ringIcon = RingIcon();

const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(101), &settings, sizeof settings},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(102), &broken, sizeof broken},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(103), &classless, sizeof classless},
    // Cut short: not a whole table.
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(104), &settings, sizeof settings - 1},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(105), &plain, sizeof plain},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(106), &answering, sizeof answering},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(107), &choices, sizeof choices},
    {MAKEINTRESOURCEW(14), MAKEINTRESOURCEW(150), ringIcon.data(),
     static_cast<DWORD>(ringIcon.size())},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

// WM_APP: the first message a program may give its own meaning to in any window class.
const UINT firstPrivateMessage = 0x8000;

std::vector<std::string> received;
// What the settings program makes, and what its dialog procedure does in WM_INITDIALOG.
int templateId = 101;
int focusInInit = 0;
BOOL initAnswer = TRUE;
bool destroyOnFont = false;

std::string NameOf(HWND window) {
    WCHAR text[32] = {};
    GetWindowTextW(window, text, 32);
    return std::string(text, text + lstrlenW(text));
}

std::string ClassOf(HWND window) {
    WCHAR name[32] = {};
    GetClassNameW(window, name, 32);
    return std::string(name, name + lstrlenW(name));
}

// A control's rectangle in its dialog's client area.
RECT PlaceOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    ScreenToClient(GetParent(control), &corners[0]);
    ScreenToClient(GetParent(control), &corners[1]);
    return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

// The focus of the program that owns the window, as that program's GetFocus answers.
HWND FocusOf(HWND window) {
    Program *program = FindProgram(GetWindowThreadProcessId(window, nullptr));
    return program != nullptr ? UserInfo(program).focus : nullptr;
}

// A control of the program's own class that tells what it is given.
LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT: {
        const auto dialogFont =
            static_cast<WPARAM>(SendMessageW(GetParent(window), WM_GETFONT, 0, 0));
        received.push_back(NameOf(window) + " setfont" +
                           (wParam != 0 && wParam == dialogFont ? "" : " of another"));
        return 0;
    }
    case WM_SETFOCUS:
        received.push_back(NameOf(window) + " focus");
        return 0;
    case WM_KILLFOCUS:
        received.push_back(NameOf(window) + " loses focus");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETFONT:
        received.push_back(wParam != 0 ? "dialog setfont" : "dialog setfont none");
        if (destroyOnFont) {
            DestroyWindow(dialog);
        }
        return FALSE;
    case WM_INITDIALOG:
        received.push_back("initdialog " +
                           std::to_string(GetDlgCtrlID(reinterpret_cast<HWND>(wParam))) + " " +
                           std::to_string(lParam));
        if (focusInInit != 0) {
            SetFocus(GetDlgItem(dialog, focusInInit));
        }
        return initAnswer;
    case WM_COMMAND:
        if (LOWORD(wParam) != listId) {
            received.push_back("command " + std::to_string(LOWORD(wParam)) + " " +
                               std::to_string(HIWORD(wParam)) + " from " +
                               NameOf(reinterpret_cast<HWND>(lParam)));
        }
        return TRUE;
    case WM_CLOSE:
        received.push_back("close");
        return FALSE;
    case WM_DESTROY:
        received.push_back("destroy");
        return FALSE;
    }
    return FALSE;
}

void RegisterRecorderClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = RecorderProc;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = u"Recorder";
    RegisterClassW(&windowClass);
}

// Makes the dialog of templateId without an owner and runs it until it quits.
int WINAPI SettingsProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterRecorderClass();
    SetLastError(0);
    HWND dialog =
        CreateDialogParamW(nullptr, MAKEINTRESOURCEW(templateId), nullptr, SettingsProc, 1234);
    if (dialog == nullptr) {
        received.push_back("no dialog, error " + std::to_string(GetLastError()));
        return 1;
    }
    received.push_back("focus on " + std::to_string(GetDlgCtrlID(GetFocus())));
    SetForegroundWindow(dialog);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

class DialogOnDevice : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\settings.exe", SettingsProgram);
        received.clear();
        templateId = 101;
        focusInInit = 0;
        initAnswer = TRUE;
        destroyOnFont = false;
    }
    // The settings dialog of the template, shown by its program.
    static HWND StartSettings(int id = 101) {
        templateId = id;
        Start(u"\\Windows\\settings.exe");
        return FindWindowW(u"Dialog", nullptr);
    }
};

TEST_F(DialogOnDevice, TheTemplateGivesTheControlsAndTheirPlaces) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(NameOf(dialog), "Settings");
    const DialogBaseUnits base = BaseUnitsOfFont(u"MS Sans Serif", 10);
    EXPECT_EQ(base.x, 8);
    EXPECT_EQ(base.y, 15);

    struct Expected {
        int id;
        const char *className;
        const char *text;
        const char *place;
    };
    // Position and size are each rounded: 20 units down are 37.5 pixels, 12 units 22.5.
    const Expected controls[] = {
        {labelId, "STATIC", "Name:", "8,11,68,28"},
        {offId, "BUTTON", "Off", "76,8,136,31"},
        {fieldId, "Recorder", "field", "8,38,128,61"},
        {applyId, "BUTTON", "Apply", "8,75,88,101"},
        {IDCANCEL, "BUTTON", "Cancel", "100,75,180,101"},
    };
    for (const Expected &expected : controls) {
        HWND control = GetDlgItem(dialog, expected.id);
        ASSERT_NE(control, nullptr) << expected.id;
        EXPECT_EQ(GetDlgCtrlID(control), expected.id);
        EXPECT_EQ(GetParent(control), dialog);
        EXPECT_EQ(ClassOf(control), expected.className);
        EXPECT_EQ(NameOf(control), expected.text);
        EXPECT_EQ(Describe(PlaceOf(control)), expected.place) << expected.text;
        EXPECT_NE(GetWindowLongW(control, GWL_STYLE) & WS_CHILD, 0);
    }
    EXPECT_EQ(ClassOf(GetDlgItem(dialog, listId)), "COMBOBOX");
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(dialog, 999), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));

    // 100 x 60 units inside the modal frame's three pixels and a 24-pixel caption: 206 x 143
    // pixels, centred in the 240 x 294 pixels above the task bar.
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(Describe(client), "0,0,200,113");
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 24);
    RECT bar;
    ASSERT_TRUE(GetWindowRect(FindWindowW(u"HHTaskBar", nullptr), &bar));
    EXPECT_EQ(bar.top, 294);
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(Describe(frame), "17,75,223,218");
    EXPECT_NE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);

    // MapDialogRect maps each edge on its own, so a bottom may round otherwise than a height.
    RECT units = {4, 20, 64, 32};
    ASSERT_TRUE(MapDialogRect(dialog, &units));
    EXPECT_EQ(Describe(units), "8,38,128,60");
    RECT odd = {-1, -3, 3, 5};
    ASSERT_TRUE(MapDialogRect(dialog, &odd));
    EXPECT_EQ(Describe(odd), "-2,-6,6,9");
}

TEST_F(DialogOnDevice, FontsComeBeforeInitDialogWhichGivesTheFirstTabStopTheFocus) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    // The disabled "Off" button is a tab stop but cannot take the focus; the field can.
    EXPECT_EQ(received,
              (std::vector<std::string>{"dialog setfont", "field setfont", "initdialog 112 1234",
                                        "field focus", "focus on 112"}));
    EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, fieldId));
    // Every control has the dialog's font, which the dialog keeps.
    const LRESULT font = SendMessageW(dialog, WM_GETFONT, 0, 0);
    EXPECT_NE(font, 0);
    for (int id : {labelId, listId, applyId, IDCANCEL}) {
        EXPECT_EQ(SendDlgItemMessageW(dialog, id, WM_GETFONT, 0, 0), font) << id;
    }
    EXPECT_EQ(GetForegroundWindow(), dialog);
}

TEST_F(DialogOnDevice, FalseFromInitDialogKeepsTheFocusTheProcedureChose) {
    focusInInit = IDCANCEL;
    initAnswer = FALSE;
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"dialog setfont", "field setfont",
                                                  "initdialog 112 1234", "focus on 2"}));
    EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, IDCANCEL));
    // A key goes where the procedure put the focus: Escape there still means Cancel.
    received.clear();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(received, (std::vector<std::string>{"command 2 0 from Cancel"}));
}

TEST_F(DialogOnDevice, ReturnEscapeAndCloseGoThroughTheButtons) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(applyId, DC_HASDEFID));
    received.clear();
    PressKey(VK_RETURN);
    PressKey(VK_ESCAPE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(received,
              (std::vector<std::string>{"command 120 0 from Apply", "command 2 0 from Cancel",
                                        "close", "command 2 0 from Cancel"}));
    // The field never saw the keys the dialog took.
    EXPECT_EQ(FocusOf(dialog), GetDlgItem(dialog, fieldId));

    // A disabled default button cannot be pressed; enabled again, it can.
    HWND apply = GetDlgItem(dialog, applyId);
    EnableWindow(apply, FALSE);
    EXPECT_FALSE(IsWindowEnabled(apply));
    received.clear();
    PressKey(VK_RETURN);
    EXPECT_TRUE(received.empty());
    EnableWindow(apply, TRUE);
    EXPECT_TRUE(IsWindowEnabled(apply));
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"command 120 0 from Apply"}));
    EXPECT_TRUE(IsWindow(dialog)) << "a modeless dialog stays until it is destroyed";
}

// Return presses the push button that has the focus, else the default one; DM_SETDEFID moves
// the default and the buttons' looks with it.
TEST_F(DialogOnDevice, ReturnPressesTheFocusedPushButtonAndSetDefIdMovesTheDefault) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    HWND apply = GetDlgItem(dialog, applyId);
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    for (int i = 0; i < 6 && FocusOf(dialog) != cancel; ++i) {
        PressKey(VK_TAB);
    }
    ASSERT_EQ(FocusOf(dialog), cancel);
    received.clear();
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"command 2 0 from Cancel"}))
        << "the focused button, not the default";

    EXPECT_TRUE(SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0));
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELONG(IDCANCEL, DC_HASDEFID));
    EXPECT_EQ(GetWindowLongW(apply, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(cancel, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    for (int i = 0; i < 6 && FocusOf(dialog) != GetDlgItem(dialog, fieldId); ++i) {
        PressKey(VK_TAB);
    }
    ASSERT_EQ(FocusOf(dialog), GetDlgItem(dialog, fieldId));
    received.clear();
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"command 2 0 from Cancel"})) << "the new default";
}

TEST_F(DialogOnDevice, TabMovesTheFocusAlongTheTabStops) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    std::vector<int> stops;
    for (int i = 0; i < 5; ++i) {
        PressKey(VK_TAB);
        stops.push_back(GetDlgCtrlID(FocusOf(dialog)));
    }
    // The static is no tab stop and the disabled button is passed by.
    EXPECT_EQ(stops, (std::vector<int>{listId, applyId, IDCANCEL, fieldId, listId}));
    HoldKey(VK_SHIFT);
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    ReleaseKey(VK_SHIFT);
    EXPECT_EQ(GetDlgCtrlID(FocusOf(dialog)), IDCANCEL);
}

TEST_F(DialogOnDevice, ItemsAreReadWrittenAndSentToByTheirIds) {
    HWND dialog = StartSettings();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(SetDlgItemTextW(dialog, labelId, u"Layout:"));
    WCHAR text[16] = {};
    EXPECT_EQ(GetDlgItemTextW(dialog, labelId, text, 16), 7u);
    EXPECT_TRUE(std::u16string(text) == u"Layout:");
    // Cut to the buffer, which keeps its terminator.
    EXPECT_EQ(GetDlgItemTextW(dialog, labelId, text, 4), 3u);
    EXPECT_TRUE(std::u16string(text) == u"Lay");
    // No such item: nothing set, an empty text.
    EXPECT_FALSE(SetDlgItemTextW(dialog, 999, u"x"));
    text[0] = u'?';
    EXPECT_EQ(GetDlgItemTextW(dialog, 999, text, 16), 0u);
    EXPECT_EQ(text[0], 0);

    EXPECT_EQ(
        SendDlgItemMessageW(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"English")),
        0);
    EXPECT_EQ(
        SendDlgItemMessageW(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Deutsch")),
        1);
    EXPECT_EQ(SendDlgItemMessageW(dialog, listId, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageW(dialog, listId, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(GetDlgItemTextW(dialog, listId, text, 16), 7u);
    EXPECT_TRUE(std::u16string(text) == u"Deutsch");
    EXPECT_EQ(SendDlgItemMessageW(dialog, 999, CB_GETCOUNT, 0, 0), 0);

    // A control is enabled and disabled like any window.
    HWND off = GetDlgItem(dialog, offId);
    EXPECT_FALSE(IsWindowEnabled(off));
    EnableWindow(off, TRUE);
    EXPECT_TRUE(IsWindowEnabled(off));

    // MapDialogRect knows only dialogs.
    RECT rect = {1, 1, 1, 1};
    SetLastError(0);
    EXPECT_FALSE(MapDialogRect(off, &rect));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(Describe(rect), "1,1,1,1");
    EXPECT_FALSE(MapDialogRect(dialog, nullptr));
    EXPECT_FALSE(MapDialogRect(nullptr, &rect));
}

TEST_F(DialogOnDevice, WithoutSetFontTheSystemFontsUnitsAndNoFontMessage) {
    HWND dialog = StartSettings(105);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(received,
              (std::vector<std::string>{"initdialog 112 1234", "field focus", "focus on 112"}));
    EXPECT_EQ(SendMessageW(dialog, WM_GETFONT, 0, 0), 0);
    const LONG system = GetDialogBaseUnits();
    EXPECT_EQ(LOWORD(system), 7);
    EXPECT_EQ(HIWORD(system), 13);
    // No frame: the window is its client area, where the template puts it on the screen.
    RECT frame;
    GetWindowRect(dialog, &frame);
    EXPECT_EQ(Describe(frame), "18,20,123,69");
    EXPECT_EQ(Describe(PlaceOf(GetDlgItem(dialog, fieldId))), "4,3,39,19");
}

TEST_F(DialogOnDevice, AControlThatCannotBeMadeFailsTheWholeDialog) {
    EXPECT_EQ(StartSettings(102), nullptr);
    EXPECT_EQ(received, (std::vector<std::string>{"dialog setfont", "field setfont", "destroy",
                                                  "no dialog, error 1407"}));
    const std::string windows = DescribeWindows();
    EXPECT_EQ(windows.find("Dialog"), std::string::npos) << windows;
    EXPECT_EQ(windows.find("Recorder"), std::string::npos) << windows;
}

TEST_F(DialogOnDevice, ADialogItsProcedureDestroysWhileItIsMadeLeavesNothing) {
    destroyOnFont = true;
    EXPECT_EQ(StartSettings(), nullptr);
    EXPECT_EQ(received,
              (std::vector<std::string>{"dialog setfont", "destroy", "no dialog, error 1400"}));
    EXPECT_EQ(FindWindowW(u"Recorder", nullptr), nullptr);
}

TEST_F(DialogOnDevice, TemplatesThatCannotBeReadMakeNothing) {
    StartSettings(103); // a control without a class
    StartSettings(104); // less than a whole table
    StartSettings(199); // no such template
    EXPECT_EQ(received, (std::vector<std::string>{"no dialog, error 87", "no dialog, error 87",
                                                  "no dialog, error 1814"}));
    EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
}

HGDIOBJ leftFont = nullptr;

// Ends with its dialog still there, so that the dialog goes without being told.
int WINAPI LeavingProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterRecorderClass();
    HWND dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(101), nullptr, SettingsProc, 0);
    leftFont = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    return 0;
}

TEST_F(DialogOnDevice, TheFontOfADialogThatWentUntoldGoesWithItsWindow) {
    RegisterBuiltInProgram(u"\\Windows\\leaving.exe", LeavingProgram);
    Start(u"\\Windows\\leaving.exe");
    EXPECT_EQ(FindWindowW(u"Dialog", nullptr), nullptr);
    ASSERT_NE(leftFont, nullptr);
    EXPECT_EQ(GetObjectType(leftFont), 0u);
}

// The answering program's dialog procedure: what another program's SendMessage gets back.
INT_PTR CALLBACK AnsweringProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case firstPrivateMessage + 1:
        received.push_back(GetCurrentThreadId() == GetWindowThreadProcessId(dialog, nullptr)
                               ? "answered in its own program"
                               : "answered in another program");
        SetWindowLongW(dialog, DWL_MSGRESULT, 42);
        return TRUE;
    case firstPrivateMessage + 2:
        // Not handled: what DefDlgProc says counts, not this.
        SetWindowLongW(dialog, DWL_MSGRESULT, 42);
        return FALSE;
    case firstPrivateMessage + 3:
        // Handled without a result of its own.
        return TRUE;
    case firstPrivateMessage + 4:
        // A negative result set with the 32-bit call reaches the sender whole.
        SetWindowLongW(dialog, DWL_MSGRESULT, -1);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        // The brush is the answer itself.
        return reinterpret_cast<INT_PTR>(GetStockObject(GRAY_BRUSH));
    }
    return FALSE;
}

int WINAPI AnsweringProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HWND dialog = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(106), nullptr, AnsweringProc, 0);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (!IsDialogMessageW(dialog, &message)) {
            DispatchMessageW(&message);
        }
    }
    return 0;
}

int WINAPI AskingProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    HWND dialog = FindWindowW(u"Dialog", u"Answering");
    const auto ask = [dialog](const char *what, UINT message) {
        received.push_back(std::string(what) + " " +
                           std::to_string(SendMessageW(dialog, message, 0, 0)));
    };
    ask("handled", firstPrivateMessage + 1);
    ask("not handled", firstPrivateMessage + 2);
    ask("handled without a result", firstPrivateMessage + 3);
    ask("negative", firstPrivateMessage + 4);
    ask("default id", DM_GETDEFID);
    ask("text length", WM_GETTEXTLENGTH);
    received.push_back(SendMessageW(dialog, WM_CTLCOLORSTATIC, 0, 0) ==
                               reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH))
                           ? "colour the brush"
                           : "colour another");
    return 0;
}

TEST_F(DialogOnDevice, AnotherProgramGetsTheAnswerThroughDwlMsgResult) {
    RegisterBuiltInProgram(u"\\Windows\\answering.exe", AnsweringProgram);
    RegisterBuiltInProgram(u"\\Windows\\asking.exe", AskingProgram);
    Start(u"\\Windows\\answering.exe");
    ASSERT_NE(FindWindowW(u"Dialog", u"Answering"), nullptr);
    Start(u"\\Windows\\asking.exe");
    // No default push button: DefDlgProc names IDOK.
    EXPECT_EQ(received, (std::vector<std::string>{
                            "answered in its own program", "handled 42", "not handled 0",
                            "handled without a result 0", "negative -1",
                            "default id " + std::to_string(MAKELONG(IDOK, DC_HASDEFID)),
                            "text length 9", "colour the brush"}));
}

// Fills the combo box of the picture and leaves the focus to the rule.
INT_PTR CALLBACK ChoicesProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const char16_t *item : {u"English", u"Deutsch", u"Svenska"}) {
            SendDlgItemMessageW(dialog, 133, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SendDlgItemMessageW(dialog, 133, CB_SETCURSEL, 2, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI ChoicesProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    // The icon is the program's own resource, found through the module the dialog is made for.
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(107), nullptr,
                                     ChoicesProc, 0);
    SetForegroundWindow(dialog);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (!IsDialogMessageW(dialog, &message)) {
            DispatchMessageW(&message);
        }
    }
    return 0;
}

class DialogPicture : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ResetDevice();
        SetUpScreen(144, 140);
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
    }
};

TEST_F(DialogPicture, EveryKindOfControlFromATemplate) {
    RegisterBuiltInProgram(u"\\Windows\\choices.exe", ChoicesProgram);
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\choices.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &information));
    RunUntilIdle();
    ASSERT_NE(FindWindowW(u"Dialog", u"Choices"), nullptr);
    SyncScreen();
    ExpectMatchesGolden(*ScreenSurface(), "dialog_from_template");
}

} // namespace
