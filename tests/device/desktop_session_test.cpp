// A PC beside the device in one run: an ANSI program on the PC shows a dialog with a sorted
// multi-select list box, a read-only edit longer than it shows and a progress bar stepped by a
// timer, driven by script lines, while a program on the device keeps running.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include <commctrl.h>
#include <dialog_templates.h>
#include <resource_tables.h>
#include <windows.h>

#include "../platform/golden.h"
#include "booted_device.h"
#include "desktop/desktop_boot.h"
#include "device/device_script.h"
#include "device/screen_presenter.h"
#include "kernel/machine.h"
#include "screen_pixels.h"

namespace {

const WORD listId = 301;
const WORD editId = 302;
const WORD barId = 303;
const UINT_PTR stepTimer = 7;

const DIALOG_ITEM_TEMPLATE controlItems[] = {
    {listId, u"LISTBOX", u"",
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_MULTIPLESEL | LBS_NOTIFY, 0, 6,
     6, 90, 60},
    {editId, u"EDIT", u"",
     WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
     0, 104, 6, 100, 60},
    {barId, u"msctls_progress32", u"", WS_CHILD | WS_VISIBLE | WS_BORDER, 0, 6, 74, 198, 10},
    {IDOK, u"BUTTON", u"OK", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 0, 154, 90, 50, 14},
};
const DIALOG_TEMPLATE_TABLE controlsDialog = {
    WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT,
    0,
    20,
    20,
    210,
    110,
    u"Controls",
    8,
    u"MS Sans Serif",
    controlItems,
    ARRAYSIZE(controlItems),
};
const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(301), &controlsDialog, sizeof controlsDialog},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

// Items in code page 1252, added out of order: the box sorts them.
const char *const fruits[] = {"Pear",
                              "apple",
                              "\xC4pfel",
                              "Cherry",
                              "banana",
                              "Date",
                              "Fig",
                              "Grape",
                              "Kiwi",
                              "Lemon",
                              "M\xFC"
                              "sli"};

INT_PTR CALLBACK ControlsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        for (const char *fruit : fruits) {
            SendDlgItemMessageA(dialog, listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(fruit));
        }
        std::string text;
        for (int line = 1; line <= 12; ++line) {
            text += "Line " + std::to_string(line) + " costs 5 \x80\r\n";
        }
        SetDlgItemTextA(dialog, editId, text.c_str());
        SendDlgItemMessageA(dialog, barId, PBM_SETRANGE, 0, MAKELPARAM(0, 10));
        SendDlgItemMessageA(dialog, barId, PBM_SETSTEP, 1, 0);
        SetTimer(dialog, stepTimer, 100, nullptr);
        return TRUE;
    }
    case WM_TIMER:
        if (wParam == stepTimer && SendDlgItemMessageA(dialog, barId, PBM_STEPIT, 0, 0) == 9) {
            KillTimer(dialog, stepTimer); // it has reached the top
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    return FALSE;
}

int WINAPI ControlsProgram(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitCommonControls();
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(301), nullptr, ControlsProc, 0));
}

int deviceTicks = 0;

// Counts its timer's ticks on the device meanwhile.
int WINAPI DeviceTicker(HINSTANCE, HINSTANCE, LPWSTR, int) {
    SetTimer(nullptr, 0, 50, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        deviceTicks += message.message == WM_TIMER;
    }
    return 0;
}

class DesktopSession : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        ASSERT_TRUE(registered);
        desktopFolder = folder + "_pc";
        std::filesystem::remove_all(desktopFolder);
        DesktopOptions desktop;
        desktop.folder = desktopFolder;
        std::string error;
        ASSERT_TRUE(BootDesktop(desktop, error)) << error;
        RegisterBuiltInAnsiProgram(u"C:\\Program Files\\Test\\controls.exe", ControlsProgram);
        RegisterBuiltInProgram(u"\\Windows\\ticker.exe", DeviceTicker);
    }
    void TearDown() override {
        PowerOffDesktop();
        std::filesystem::remove_all(desktopFolder);
        BootedDevice::TearDown();
    }
    static std::string Run(const std::string &lines) {
        std::istringstream script(lines);
        std::ostringstream out;
        std::ostringstream errors;
        EXPECT_EQ(RunScript(script, out, errors), 0) << errors.str();
        return out.str();
    }
    // The middle-left of a list item, on the screen.
    static std::string TapOnItem(HWND list, int index) {
        RECT item = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item));
        POINT point = {item.left + 5, (item.top + item.bottom) / 2};
        ClientToScreen(list, &point);
        return "tap " + std::to_string(point.x) + " " + std::to_string(point.y) + "\n";
    }
    static std::string ItemText(HWND list, int index) {
        char text[64] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
        return text;
    }

    std::string desktopFolder;
};

TEST_F(DesktopSession, APcProgramsControlsWorkWhileTheDeviceRuns) {
    Run("start \\Windows\\ticker.exe\n"
        "machine desktop\n"
        "start \"C:\\Program Files\\Test\\controls.exe\"\n"
        "wait-window \"Controls\"\n");
    HWND dialog = FindWindowA(nullptr, "Controls");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, listId);
    HWND edit = GetDlgItem(dialog, editId);
    HWND bar = GetDlgItem(dialog, barId);

    // The bar steps with its timer to the top and stays there; the device's program ticks all
    // the while.
    const int ticksBefore = deviceTicks;
    const LRESULT startPosition = SendMessageA(bar, PBM_GETPOS, 0, 0);
    Run("sleep 400\n");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), startPosition + 4);
    Run("sleep 2000\n");
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 10);
    EXPECT_GE(deviceTicks - ticksBefore, 40);

    // Sorted as Windows sorts, case and accents aside: Äpfel before apple.
    EXPECT_EQ(ItemText(list, 0), "\xC4pfel");
    EXPECT_EQ(ItemText(list, 1), "apple");
    EXPECT_EQ(ItemText(list, 10), "Pear");
    char name[16] = {};
    EXPECT_EQ(GetClassNameA(list, name, sizeof name), 7);

    // Taps toggle items of a multiple-selection box.
    // Three taps far enough apart not to make a double tap: on, off, on.
    const std::string tapSecond = TapOnItem(list, 1) + "sleep 600\n";
    Run(tapSecond + tapSecond + tapSecond + TapOnItem(list, 3) + "idle\n");
    EXPECT_EQ(SendMessageA(list, LB_GETSELCOUNT, 0, 0), 2);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 1, 0), 0);
    EXPECT_GT(SendMessageA(list, LB_GETSEL, 3, 0), 0);

    // The edit's text comes back as it was given; taps on its scroll bar's lower arrow scroll it.
    char text[512] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_EQ(std::string(text).substr(0, 20), "Line 1 costs 5 \x80\r\nLi");
    EXPECT_EQ(SendMessageA(edit, EM_GETLINECOUNT, 0, 0), 13);
    RECT editRect = {};
    GetWindowRect(edit, &editRect);
    const std::string tapArrow = "tap " + std::to_string(editRect.right - 4) + " " +
                                 std::to_string(editRect.bottom - 4) + "\n";
    Run(tapArrow + tapArrow);
    EXPECT_EQ(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 2);

    ExpectMatchesGolden(WindowPicture(list), "desktop_list_box");
    ExpectMatchesGolden(WindowPicture(edit), "desktop_edit");
    ExpectMatchesGolden(WindowPicture(bar), "desktop_progress_bar");

    Run("click OK \"Controls\"\nwait-gone \"Controls\"\n");
    EXPECT_EQ(FindWindowA(nullptr, "Controls"), nullptr);
}

TEST_F(DesktopSession, EachMachineSeesOnlyItsOwnWindows) {
    Run("start \\Windows\\notes.exe\nmachine desktop\n"
        "start \"C:\\Program Files\\Test\\controls.exe\"\nwait-window \"Controls\"\n");
    EXPECT_NE(FindWindowA(nullptr, "Controls"), nullptr);
    EXPECT_EQ(FindWindowW(u"Notes", nullptr), nullptr);
    EXPECT_EQ(Run("windows\n").find("Notes"), std::string::npos);
    Run("machine device\n");
    EXPECT_NE(FindWindowW(u"Notes", nullptr), nullptr);
    EXPECT_EQ(FindWindowA(nullptr, "Controls"), nullptr);
    EXPECT_EQ(Run("windows\n").find("Controls"), std::string::npos);
}

std::string startedIn;

int WINAPI WhereProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    startedIn = directory;
    return 0;
}

// Started by script, a PC program starts in its own folder, as from its icon; a built-in
// program whose folder is not on the disk starts where the PC stands.
TEST_F(DesktopSession, AProgramStartsInItsOwnFolder) {
    std::filesystem::create_directories(desktopFolder + "/Tools");
    RegisterBuiltInAnsiProgram(u"C:\\Tools\\where.exe", WhereProgram);
    RegisterBuiltInAnsiProgram(u"C:\\Nowhere\\where.exe", WhereProgram);
    Run("machine desktop\nstart \"C:\\Tools\\where.exe\"\n");
    EXPECT_EQ(startedIn, "C:\\Tools");
    Run("start \"C:\\Nowhere\\where.exe\"\n");
    EXPECT_EQ(startedIn, "C:\\");
}

} // namespace

namespace {

TEST_F(DesktopSession, TheViewerShowsTheDeviceLeftOfThePc) {
    int width = 0;
    int height = 0;
    ShownSize(width, height);
    EXPECT_EQ(width, 240 + 8 + 800);
    EXPECT_EQ(height, 600);
    int x = 0;
    int y = 0;
    Machine *device = MachineAtShownPoint(239, 319, x, y);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(KindOf(device), MachineKind::Device);
    EXPECT_EQ(x, 239);
    EXPECT_EQ(MachineAtShownPoint(240, 10, x, y), nullptr) << "the gap";
    EXPECT_EQ(MachineAtShownPoint(239, 320, x, y), nullptr) << "below the device's screen";
    EXPECT_EQ(MachineAtShownPoint(247, 10, x, y), nullptr);
    EXPECT_EQ(MachineAtShownPoint(248, 599, x, y), DesktopMachine());
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 599);
    EXPECT_EQ(MachineAtShownPoint(1048, 10, x, y), nullptr);
}

} // namespace

namespace {

// The viewer hands a tap to the machine under it, which need not be the one a script addresses;
// a message sent on the way into a program's window must leave the host on that machine.
TEST_F(DesktopSession, ASentMessageLeavesTheHostOnTheMachineItChose) {
    Run("machine desktop\nstart \"C:\\Program Files\\Test\\controls.exe\"\n"
        "wait-window \"Controls\"\nmachine device\n");
    Machine *desktop = DesktopMachine();
    Machine *previous = SwitchToMachine(desktop);
    HWND dialog = FindWindowA(nullptr, "Controls");
    ASSERT_NE(dialog, nullptr);
    char caption[32] = {};
    EXPECT_EQ(SendMessageA(dialog, WM_GETTEXT, sizeof caption, reinterpret_cast<LPARAM>(caption)),
              8);
    EXPECT_EQ(CurrentMachine(), desktop);
    EXPECT_EQ(FindWindowA(nullptr, "Controls"), dialog);
    SwitchToMachine(previous);
    EXPECT_EQ(KindOf(CurrentMachine()), MachineKind::Device);
}

} // namespace
