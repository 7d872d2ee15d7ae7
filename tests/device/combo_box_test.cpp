// The combo box as a drop-down list: its messages and what they answer, its size, what its parent
// hears when the stylus opens the list, picks, cancels and scrolls, a box in a window that never
// takes activation, and how it looks closed and dropped down.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../platform/golden.h"
#include "booted_device.h"
#include "controls/combo_list.h"
#include "controls/control_classes.h"
#include "device/automation.h"
#include "kernel/scheduler.h"
#include "user/input.h"
#include "user/screen.h"
#include "user/window_state.h"

namespace {

std::vector<std::string> received;
HWND combo = nullptr;

const char *NotificationName(int code) {
    switch (code) {
    case CBN_SELCHANGE:
        return "selchange";
    case CBN_SETFOCUS:
        return "setfocus";
    case CBN_KILLFOCUS:
        return "killfocus";
    case CBN_DROPDOWN:
        return "dropdown";
    case CBN_CLOSEUP:
        return "closeup";
    case CBN_SELENDOK:
        return "selendok";
    case CBN_SELENDCANCEL:
        return "selendcancel";
    }
    return "other";
}

// The combo box's parent: records the notifications of box 100 and the taps it gets itself.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == 100 && reinterpret_cast<HWND>(lParam) == combo) {
            received.push_back(NotificationName(HIWORD(wParam)));
        } else {
            received.push_back("command from another");
        }
        return 0;
    case WM_LBUTTONDOWN:
        received.push_back("form down");
        return 0;
    case WM_LBUTTONUP:
        received.push_back("form up");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFormClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FormProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = u"ComboForm";
    RegisterClassW(&windowClass);
}

const DWORD comboStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST;

HWND MakeCombo(HWND parent, int x, int y, int width, int height, DWORD extraStyle = 0) {
    return CreateWindowExW(0, u"COMBOBOX", u"ignored", comboStyle | extraStyle, x, y, width, height,
                           parent, reinterpret_cast<HANDLE>(INT_PTR(100)), nullptr, nullptr);
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// A form over the screen above the task bar, with a combo box; the command line gives the box's
// place and size as "x y width height".
int WINAPI FormProgram(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    std::istringstream words(std::string(commandLine, commandLine + lstrlenW(commandLine)));
    int x = 10, y = 10, width = 120, height = 100;
    words >> x >> y >> width >> height;
    RegisterFormClass();
    HWND form = CreateWindowExW(0, u"ComboForm", u"Form", WS_VISIBLE, 0, 0, 240, 294, nullptr,
                                nullptr, nullptr, nullptr);
    combo = MakeCombo(form, x, y, width, height);
    RunMessageLoop();
    return 0;
}

// A keyboard's option panel: a top-most window that never takes activation, along the bottom of
// the screen, holding a child panel with the combo box.
int WINAPI PanelProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterFormClass();
    HWND keyboard =
        CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOPMOST, u"ComboForm", u"Keyboard", WS_VISIBLE, 0,
                        180, 240, 114, nullptr, nullptr, nullptr, nullptr);
    HWND options = CreateWindowExW(0, u"ComboForm", u"Options", WS_CHILD | WS_VISIBLE, 0, 0, 240,
                                   40, keyboard, nullptr, nullptr, nullptr);
    combo = MakeCombo(options, 10, 8, 120, 90);
    RunMessageLoop();
    return 0;
}

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(combo, message, wParam, lParam);
}

LRESULT SendText(UINT message, WPARAM wParam, const char16_t *text) {
    return SendMessageW(combo, message, wParam, reinterpret_cast<LPARAM>(text));
}

void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
        const std::u16string text = u"Item " + std::u16string(1, char16_t(u'A' + i));
        SendText(CB_ADDSTRING, 0, text.c_str());
    }
}

RECT RectOf(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

HWND List() {
    return FindWindowW(u"ComboLBox", nullptr);
}

int ItemHeight() {
    return static_cast<int>(Send(CB_GETITEMHEIGHT, 0));
}

// The middle of a row of the open list, a little in from its left.
POINT Row(int row) {
    const RECT list = RectOf(List());
    return POINT{list.left + 20, list.top + 1 + row * ItemHeight() + ItemHeight() / 2};
}

COLORREF ScreenPixel(POINT point) {
    HDC screen = GetDC(nullptr);
    const COLORREF color = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return color;
}

void Tap(POINT point) {
    TapAt(point.x, point.y);
}

// ---------------------------------------------------------------------------------------------
// Messages, on windows of the test's own.

class ComboBoxMessages : public testing::Test {
  protected:
    void SetUp() override {
        ResetDevice();
        RegisterComboBoxClass();
        RegisterFormClass();
        received.clear();
        form = CreateWindowExW(0, u"ComboForm", u"Form", WS_VISIBLE, 0, 0, 240, 294, nullptr,
                               nullptr, nullptr, nullptr);
        combo = MakeCombo(form, 10, 20, 120, 100);
        ASSERT_NE(combo, nullptr);
    }
    void TearDown() override {
        PowerOffMachine(CurrentMachine());
        combo = nullptr;
    }
    HWND form = nullptr;
};

TEST_F(ComboBoxMessages, TheWindowKeepsTheBoxHeightAndTheListTheRest) {
    const int itemHeight = ItemHeight();
    EXPECT_GE(itemHeight, 10);
    const RECT box = RectOf(combo);
    EXPECT_EQ(box.top, 20);
    EXPECT_EQ(box.right - box.left, 120);
    // The box is the font's height and a few pixels; the selection field inside its frame.
    EXPECT_EQ(box.bottom - box.top, itemHeight + 6);
    EXPECT_EQ(Send(CB_GETITEMHEIGHT, WPARAM(-1)), itemHeight + 4);
    EXPECT_EQ(Send(CB_GETITEMHEIGHT, WPARAM(-2)), CB_ERR);
    RECT dropped = {};
    EXPECT_TRUE(Send(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)));
    EXPECT_EQ(dropped.left, 10);
    EXPECT_EQ(dropped.top, 20);
    EXPECT_EQ(dropped.right, 130);
    EXPECT_EQ(dropped.bottom, 120);
    EXPECT_FALSE(Send(CB_GETDROPPEDCONTROLRECT, 0, 0));

    // A height asked for later is again that of box and list together.
    MoveWindow(combo, 20, 30, 150, 60, TRUE);
    EXPECT_EQ(RectOf(combo).bottom - RectOf(combo).top, itemHeight + 6);
    Send(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    EXPECT_EQ(dropped.bottom - dropped.top, 60);
    EXPECT_EQ(dropped.right - dropped.left, 150);
}

TEST_F(ComboBoxMessages, AFontSetsTheHeightsOfRowsAndBox) {
    EXPECT_EQ(Send(WM_GETFONT), 0);
    HFONT big = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, big);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(Send(WM_GETFONT), reinterpret_cast<LRESULT>(big));
    EXPECT_EQ(ItemHeight(), metrics.tmHeight);
    EXPECT_EQ(RectOf(combo).bottom - RectOf(combo).top, metrics.tmHeight + 6);
    // The heights may be set apart from the font.
    EXPECT_EQ(Send(CB_SETITEMHEIGHT, 0, 16), CB_OKAY);
    EXPECT_EQ(ItemHeight(), 16);
    EXPECT_EQ(Send(CB_SETITEMHEIGHT, WPARAM(-1), 30), CB_OKAY);
    EXPECT_EQ(RectOf(combo).bottom - RectOf(combo).top, 32);
    EXPECT_EQ(Send(CB_SETITEMHEIGHT, 0, 0), CB_ERR);
    Send(WM_SETFONT, 0, FALSE);
    DeleteObject(big);
}

// One message, what it is given and what it must answer.
struct MessageStep {
    UINT message;
    int index;
    const char16_t *text;
    LRESULT expected;
};

TEST_F(ComboBoxMessages, ListMessagesAnswerAsOnWindows) {
    const MessageStep steps[] = {
        {CB_GETCOUNT, 0, nullptr, 0},
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
        {CB_ADDSTRING, 0, u"Red", 0},
        {CB_ADDSTRING, 0, u"Green", 1},
        {CB_INSERTSTRING, 0, u"Blue", 0},   // Blue Red Green
        {CB_INSERTSTRING, -1, u"White", 3}, // Blue Red Green White
        {CB_INSERTSTRING, 9, u"Gray", CB_ERR},
        {CB_ADDSTRING, 0, nullptr, CB_ERR},
        {CB_GETCOUNT, 0, nullptr, 4},
        {CB_SETCURSEL, 1, nullptr, 1},
        {CB_GETCURSEL, 0, nullptr, 1},
        // Past the end or -1: nothing selected, and CB_ERR.
        {CB_SETCURSEL, 9, nullptr, CB_ERR},
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
        {CB_SETCURSEL, 2, nullptr, 2},
        {CB_SETCURSEL, -1, nullptr, CB_ERR},
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
        // Searching: prefix or whole text, any case, after the start and round.
        {CB_FINDSTRING, -1, u"gr", 2},
        {CB_FINDSTRING, 3, u"r", 1},
        {CB_FINDSTRING, -1, u"Reds", CB_ERR},
        {CB_FINDSTRINGEXACT, -1, u"WHITE", 3},
        {CB_FINDSTRINGEXACT, -1, u"Whit", CB_ERR},
        {CB_SELECTSTRING, -1, u"gr", 2},
        {CB_GETCURSEL, 0, nullptr, 2},
        {CB_SELECTSTRING, -1, u"zz", CB_ERR},
        {CB_GETCURSEL, 0, nullptr, 2}, // a failed search leaves the selection
        {CB_GETLBTEXTLEN, 3, nullptr, 5},
        {CB_GETLBTEXTLEN, 4, nullptr, CB_ERR},
        {CB_GETLBTEXTLEN, -1, nullptr, CB_ERR},
        // Deleting answers the count left; the selection stays on its item.
        {CB_DELETESTRING, 0, nullptr, 3}, // Red Green White
        {CB_GETCURSEL, 0, nullptr, 1},
        {CB_DELETESTRING, 1, nullptr, 2}, // the selected item goes
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
        {CB_DELETESTRING, 5, nullptr, CB_ERR},
        {CB_RESETCONTENT, 0, nullptr, CB_OKAY},
        {CB_GETCOUNT, 0, nullptr, 0},
        {CB_FINDSTRING, -1, u"", CB_ERR},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const MessageStep &step = steps[i];
        EXPECT_EQ(SendText(step.message, WPARAM(step.index), step.text), step.expected)
            << "step " << i;
    }
    // A program's own changes are not notified.
    EXPECT_TRUE(received.empty());
}

TEST_F(ComboBoxMessages, TextsAndItemData) {
    AddItems(3);
    WCHAR text[32] = {};
    EXPECT_EQ(Send(CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 6);
    EXPECT_EQ(std::u16string(text), u"Item B");
    EXPECT_EQ(Send(CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), CB_ERR);
    EXPECT_EQ(Send(CB_GETLBTEXT, 1, 0), CB_ERR);

    // The window text is the selected item's, for the program and for anyone reading it.
    EXPECT_EQ(GetWindowTextW(combo, text, 32), 0);
    Send(CB_SETCURSEL, 2);
    EXPECT_EQ(GetWindowTextW(combo, text, 32), 6);
    EXPECT_EQ(std::u16string(text), u"Item C");
    EXPECT_EQ(GetWindowTextLengthW(combo), 6);
    EXPECT_EQ(GetWindowTextW(combo, text, 4), 3);
    EXPECT_EQ(std::u16string(text), u"Ite");
    EXPECT_EQ(FindWindowObject(combo)->text, u"Item C");
    // Setting the text selects the item it names.
    EXPECT_TRUE(SetWindowTextW(combo, u"item a"));
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    EXPECT_EQ(SendText(WM_SETTEXT, 0, u"Item"), CB_ERR);
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    Send(CB_DELETESTRING, 0);
    EXPECT_EQ(FindWindowObject(combo)->text, u"");

    EXPECT_EQ(Send(CB_SETITEMDATA, 1, 1234), TRUE);
    EXPECT_EQ(Send(CB_SETITEMDATA, 2, 1), CB_ERR);
    EXPECT_EQ(Send(CB_GETITEMDATA, 1), 1234);
    EXPECT_EQ(Send(CB_GETITEMDATA, 0), 0);
    EXPECT_EQ(Send(CB_GETITEMDATA, 2), CB_ERR);
    EXPECT_TRUE(received.empty());
}

TEST_F(ComboBoxMessages, ASortedBoxSortsWhatItAdds) {
    DestroyWindow(combo);
    combo = MakeCombo(form, 10, 20, 120, 100, CBS_SORT);
    for (const char16_t *text : {u"pear", u"Apple", u"fig"})
        SendText(CB_ADDSTRING, 0, text);
    EXPECT_EQ(SendText(CB_ADDSTRING, 0, u"banana"), 1);
    EXPECT_EQ(SendText(CB_FINDSTRINGEXACT, WPARAM(-1), u"PEAR"), 3);
}

TEST_F(ComboBoxMessages, AProgramOpensAndClosesTheList) {
    AddItems(3);
    EXPECT_EQ(Send(CB_SHOWDROPDOWN, TRUE), TRUE);
    EXPECT_EQ(received, (std::vector<std::string>{"dropdown"}));
    EXPECT_TRUE(Send(CB_GETDROPPEDSTATE));
    HWND list = List();
    ASSERT_NE(list, nullptr);
    // A top-most pop-up that never takes activation, below the box, as wide as it, with room
    // for the three items and its frame.
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
    EXPECT_EQ(GetWindowLongW(list, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
              WS_EX_TOPMOST | WS_EX_NOACTIVATE);
    EXPECT_EQ(GetWindow(list, GW_OWNER), form);
    const RECT box = RectOf(combo);
    const RECT place = RectOf(list);
    EXPECT_EQ(place.left, box.left);
    EXPECT_EQ(place.right, box.right);
    EXPECT_EQ(place.top, box.bottom);
    EXPECT_EQ(place.bottom - place.top, 3 * ItemHeight() + 2);
    EXPECT_EQ(GetCapture(), combo);
    EXPECT_EQ(Send(CB_SHOWDROPDOWN, TRUE), TRUE); // already open: nothing more
    received.clear();
    EXPECT_EQ(Send(CB_SHOWDROPDOWN, FALSE), TRUE);
    EXPECT_EQ(received, (std::vector<std::string>{"closeup"}));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(Send(CB_GETDROPPEDSTATE));
    EXPECT_EQ(GetCapture(), nullptr);
    received.clear();
    Send(CB_SHOWDROPDOWN, FALSE);
    EXPECT_TRUE(received.empty());
}

TEST_F(ComboBoxMessages, TheOpenListFollowsTheItems) {
    AddItems(2);
    Send(CB_SHOWDROPDOWN, TRUE);
    const int itemHeight = ItemHeight();
    EXPECT_EQ(RectOf(List()).bottom - RectOf(List()).top, 2 * itemHeight + 2);
    AddItems(3);
    EXPECT_EQ(RectOf(List()).bottom - RectOf(List()).top, 5 * itemHeight + 2);
    // Never more rows than the height the box was made with leaves room for.
    AddItems(20);
    const int rows = (100 - (itemHeight + 6) - 2) / itemHeight;
    EXPECT_EQ(RectOf(List()).bottom - RectOf(List()).top, rows * itemHeight + 2);
    // An empty list still shows one empty row.
    Send(CB_RESETCONTENT);
    EXPECT_EQ(RectOf(List()).bottom - RectOf(List()).top, itemHeight + 2);
}

TEST_F(ComboBoxMessages, HidingTheBoxClosesTheList) {
    AddItems(3);
    Send(CB_SHOWDROPDOWN, TRUE);
    received.clear();
    ShowWindow(combo, SW_HIDE);
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxMessages, TheListGoesWithTheBoxOrItsWindow) {
    AddItems(3);
    Send(CB_SHOWDROPDOWN, TRUE);
    HWND list = List();
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);

    combo = MakeCombo(form, 10, 20, 120, 100);
    AddItems(3);
    Send(CB_SHOWDROPDOWN, TRUE);
    list = List();
    DestroyWindow(form);
    EXPECT_FALSE(IsWindow(list));
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(GetCapture(), nullptr);
}

// Destroys the combo box when told it drops down.
LRESULT CALLBACK DestroyingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == CBN_DROPDOWN) {
        DestroyWindow(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(ComboBoxMessages, AParentMayDestroyTheBoxWhileItIsTold) {
    SetWindowLongPtrW(form, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyingParent));
    AddItems(3);
    Send(CB_SHOWDROPDOWN, TRUE);
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ComboBoxMessages, ADisabledBoxDoesNotOpen) {
    AddItems(3);
    EnableWindow(combo, FALSE);
    Send(CB_SHOWDROPDOWN, TRUE);
    EXPECT_FALSE(Send(CB_GETDROPPEDSTATE));
    EnableWindow(combo, TRUE);
    Send(CB_SHOWDROPDOWN, TRUE);
    received.clear();
    Send(WM_ENABLE, FALSE);
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_FALSE(Send(CB_GETDROPPEDSTATE));
}

TEST(ComboListLayout, TheThumbShowsWhereTheListIsScrolled) {
    // Twenty items of 13 pixels, five shown, in a list 100 pixels wide.
    const ComboListLayout first = LayOutComboList(100, 5, 20, 13, 0);
    EXPECT_EQ(first.height, 67);
    EXPECT_TRUE(first.scrollBar);
    EXPECT_EQ(first.items.right, 85);
    EXPECT_EQ(first.upArrow.top, 0);
    EXPECT_EQ(first.downArrow.bottom, 67);
    EXPECT_EQ(first.thumb.top, first.track.top);
    const ComboListLayout last = LayOutComboList(100, 5, 20, 13, 99);
    EXPECT_EQ(last.top, 15);
    EXPECT_EQ(last.thumb.bottom, last.track.bottom);
    EXPECT_EQ(ComboListTopForThumb(first, first.track.bottom), 15);
    EXPECT_EQ(ComboListTopForThumb(first, first.track.top - 5), 0);
    int item = -1;
    EXPECT_EQ(HitComboList(last, POINT{10, 1 + 13 * 2 + 3}, item), ComboListHit::Item);
    EXPECT_EQ(item, 17);
    EXPECT_EQ(HitComboList(first, POINT{95, first.track.bottom - 1}, item), ComboListHit::PageDown);
    // Everything fits: no scroll bar, the rows go to the frame.
    const ComboListLayout fits = LayOutComboList(100, 5, 3, 13, 2);
    EXPECT_FALSE(fits.scrollBar);
    EXPECT_EQ(fits.top, 0);
    EXPECT_EQ(fits.items.right, 99);
    EXPECT_EQ(HitComboList(fits, POINT{95, 60}, item), ComboListHit::None);
}

// ---------------------------------------------------------------------------------------------
// The stylus, on a booted device.

class ComboBoxStylus : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterComboBoxClass();
        RegisterBuiltInProgram(u"\\Windows\\comboform.exe", FormProgram);
        RegisterBuiltInProgram(u"\\Windows\\combopanel.exe", PanelProgram);
        received.clear();
        combo = nullptr;
    }
    void TearDown() override {
        BootedDevice::TearDown();
        combo = nullptr;
    }
    // Every program started here makes the box.
    static void Start(const char16_t *path, const char16_t *commandLine = u"") {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::Start(path, commandLine));
        ASSERT_NE(combo, nullptr);
    }
    // The form's box at 10,10, 120 wide, made 100 high, with items "Item A" and on.
    void StartForm(int items, const char16_t *place = u"10 10 120 100") {
        Start(u"\\Windows\\comboform.exe", place);
        AddItems(items);
        RunUntilIdle();
        received.clear();
    }
    static POINT BoxMiddle() {
        const RECT box = RectOf(combo);
        return POINT{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    }
    static POINT ArrowButton() {
        const RECT box = RectOf(combo);
        return POINT{box.right - 7, (box.top + box.bottom) / 2};
    }
    static POINT DownArrow() {
        const RECT list = RectOf(List());
        return POINT{list.right - 7, list.bottom - 7};
    }
    static POINT UpArrow() {
        const RECT list = RectOf(List());
        return POINT{list.right - 7, list.top + 7};
    }
    static bool Dropped() {
        return Send(CB_GETDROPPEDSTATE) != 0;
    }
    static std::string Shown() {
        std::string text;
        EXPECT_TRUE(ReadWindowText(u"COMBOBOX", text));
        return text;
    }
};

TEST_F(ComboBoxStylus, ATapOnTheBoxDropsTheListBelowIt) {
    StartForm(5);
    HWND form = FindWindowW(u"ComboForm", nullptr);
    Tap(BoxMiddle());
    EXPECT_EQ(received, (std::vector<std::string>{"setfocus", "dropdown"}));
    ASSERT_TRUE(Dropped());
    const RECT list = RectOf(List());
    const RECT box = RectOf(combo);
    EXPECT_EQ(list.left, 10);
    EXPECT_EQ(list.right, 130);
    EXPECT_EQ(list.top, box.bottom);
    EXPECT_EQ(list.bottom - list.top, 5 * ItemHeight() + 2);
    EXPECT_NE(DescribeWindows().find(" ComboLBox \"\" 10 "), std::string::npos);
    // The form stays in front; the box holds the stylus.
    EXPECT_EQ(GetForegroundWindow(), form);
    EXPECT_EQ(Input().inputCapture, combo);

    // The arrow button opens it as well.
    Send(CB_SHOWDROPDOWN, FALSE);
    received.clear();
    Tap(ArrowButton());
    EXPECT_EQ(received, (std::vector<std::string>{"dropdown"}));
}

TEST_F(ComboBoxStylus, ATapOnAnItemPicksItAndClosesTheList) {
    StartForm(5);
    Send(CB_SETCURSEL, 0);
    Tap(BoxMiddle());
    received.clear();
    Tap(Row(2));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    EXPECT_EQ(Shown(), "Item C");
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(List(), nullptr);
    EXPECT_EQ(Input().inputCapture, nullptr);

    // The item already selected, picked again, changes nothing.
    Tap(BoxMiddle());
    received.clear();
    Tap(Row(2));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
}

TEST_F(ComboBoxStylus, ATapElsewhereClosesTheListWithoutAPick) {
    StartForm(5);
    Send(CB_SETCURSEL, 1);
    Tap(BoxMiddle());
    received.clear();
    // The tap that closes the list reaches nothing else.
    TapAt(200, 150);
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Send(CB_GETCURSEL), 1);
    EXPECT_EQ(Input().inputCapture, nullptr);
    received.clear();
    TapAt(200, 150);
    EXPECT_EQ(received, (std::vector<std::string>{"form down", "form up"}));

    // A tap on the box itself closes the open list too.
    Tap(BoxMiddle());
    received.clear();
    Tap(BoxMiddle());
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_FALSE(Dropped());
    EXPECT_EQ(Send(CB_GETCURSEL), 1);
}

TEST_F(ComboBoxStylus, DraggingFromTheBoxOntoAnItemPicksIt) {
    StartForm(5);
    const POINT box = BoxMiddle();
    StylusDownAt(box.x, box.y);
    const POINT first = Row(1);
    const POINT second = Row(3);
    StylusMoveTo(first.x, first.y);
    StylusMoveTo(second.x, second.y);
    StylusUpAt(second.x, second.y);
    EXPECT_EQ(received, (std::vector<std::string>{"setfocus", "dropdown", "selendok", "selchange",
                                                  "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 3);
    EXPECT_EQ(Shown(), "Item D");
}

TEST_F(ComboBoxStylus, DraggingOverTheListMovesTheHighlight) {
    StartForm(5);
    Send(CB_SETCURSEL, 0);
    Tap(BoxMiddle());
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    // The selected item shows highlighted; the stylus takes the highlight along.
    POINT edge = Row(0);
    edge.x -= 17; // left of the text
    EXPECT_EQ(ScreenPixel(edge), highlight);
    received.clear();
    StylusDownAt(Row(0).x, Row(0).y);
    StylusMoveTo(Row(3).x, Row(3).y);
    POINT third = Row(3);
    third.x -= 17;
    EXPECT_EQ(ScreenPixel(third), highlight);
    EXPECT_EQ(ScreenPixel(edge), window);
    // Lifted away from the items, it picks nothing and the list stays.
    StylusMoveTo(200, 200);
    StylusUpAt(200, 200);
    EXPECT_TRUE(received.empty());
    EXPECT_TRUE(Dropped());
    EXPECT_EQ(Send(CB_GETCURSEL), 0);
    Tap(Row(4));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 4);
}

TEST_F(ComboBoxStylus, ALongListScrollsWithTheStylus) {
    StartForm(20);
    const int rows = (100 - (ItemHeight() + 6) - 2) / ItemHeight();
    ASSERT_GE(rows, 3);
    ASSERT_LT(rows, 20);
    Tap(BoxMiddle());
    EXPECT_EQ(RectOf(List()).bottom - RectOf(List()).top, rows * ItemHeight() + 2);
    // The arrows scroll a row a tap; above the top they do nothing.
    Tap(UpArrow());
    for (int i = 0; i < 3; ++i)
        Tap(DownArrow());
    Tap(UpArrow());
    received.clear();
    Tap(Row(0));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Shown(), "Item C");

    // The thumb dragged to the bottom shows the last page.
    Tap(BoxMiddle());
    const RECT list = RectOf(List());
    const int thumbX = list.right - 7;
    const int trackTop = list.top + 15;
    StylusDownAt(thumbX, trackTop + 2); // the thumb is at the top: item C shows in the first page
    StylusMoveTo(thumbX, list.bottom + 40);
    StylusUpAt(thumbX, list.bottom + 40);
    EXPECT_TRUE(Dropped());
    Tap(Row(rows - 1));
    EXPECT_EQ(Shown(), "Item T");

    // A tap on the track above the thumb goes up a page.
    Tap(BoxMiddle());
    Tap(POINT{thumbX, trackTop + 1});
    Tap(Row(0));
    EXPECT_EQ(Send(CB_GETCURSEL), 20 - 2 * rows);
}

TEST_F(ComboBoxStylus, DraggingPastTheListScrollsIt) {
    StartForm(20);
    const int rows = (100 - (ItemHeight() + 6) - 2) / ItemHeight();
    Tap(BoxMiddle());
    const RECT list = RectOf(List());
    StylusDownAt(Row(rows - 1).x, Row(rows - 1).y);
    // Each move below the list scrolls it a row and highlights its last row.
    for (int i = 0; i < 4; ++i)
        StylusMoveTo(list.left + 20, list.bottom + 5);
    StylusUpAt(list.left + 20, list.bottom + 5);
    EXPECT_TRUE(Dropped());
    received.clear();
    Tap(Row(0));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 4);
}

TEST_F(ComboBoxStylus, TheListOpensAboveWhenThereIsNoRoomBelow) {
    StartForm(5, u"10 270 120 100");
    Tap(BoxMiddle());
    const RECT list = RectOf(List());
    const RECT box = RectOf(combo);
    EXPECT_EQ(list.bottom, box.top);
    EXPECT_EQ(list.top, box.top - (5 * ItemHeight() + 2));
    received.clear();
    Tap(Row(4));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Shown(), "Item E");
}

TEST_F(ComboBoxStylus, KeysMoveTheSelectionOfTheBoxWithTheFocus) {
    StartForm(5);
    Tap(BoxMiddle());
    Tap(Row(1));
    received.clear();
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
    PressKey(VK_UP);
    EXPECT_EQ(received, (std::vector<std::string>{"selchange", "selchange", "selchange"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 2);
    // In the open list the keys move the highlight; Enter picks, Escape cancels.
    Tap(BoxMiddle());
    received.clear();
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 3);
    Tap(BoxMiddle());
    received.clear();
    PressKey(VK_UP);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_EQ(Send(CB_GETCURSEL), 3);
}

TEST_F(ComboBoxStylus, ABoxInAWindowThatNeverTakesActivation) {
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\notes.exe", nullptr, nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &information));
    RunUntilIdle();
    HWND notes = GetForegroundWindow();
    ASSERT_NE(notes, nullptr);
    ASSERT_TRUE(TypeText("hi"));
    Start(u"\\Windows\\combopanel.exe");
    AddItems(4);
    Send(CB_SETCURSEL, 0);
    RunUntilIdle();
    received.clear();

    Tap(BoxMiddle());
    EXPECT_EQ(received, (std::vector<std::string>{"dropdown"}));
    ASSERT_TRUE(Dropped());
    EXPECT_EQ(RectOf(List()).top, RectOf(combo).bottom);
    EXPECT_EQ(GetForegroundWindow(), notes);
    received.clear();
    Tap(Row(2));
    EXPECT_EQ(received, (std::vector<std::string>{"selendok", "selchange", "closeup"}));
    EXPECT_EQ(Shown(), "Item C");
    EXPECT_EQ(GetForegroundWindow(), notes);

    // A tap on Notes closes the open list without reaching Notes.
    Tap(BoxMiddle());
    received.clear();
    TapAt(100, 100);
    EXPECT_EQ(received, (std::vector<std::string>{"selendcancel", "closeup"}));
    EXPECT_EQ(GetForegroundWindow(), notes);
    // The keys still go to Notes.
    ASSERT_TRUE(TypeText("!"));
    std::string text;
    EXPECT_TRUE(ReadWindowText(u"NotesEdit", text));
    EXPECT_EQ(text, "hi!");
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
}

// ---------------------------------------------------------------------------------------------
// How it looks, on a small screen.

TEST_F(ComboBoxMessages, LooksClosedAndDroppedDown) {
    SetUpScreen(120, 90);
    RegisterFormClass();
    form = CreateWindowExW(0, u"ComboForm", u"", WS_VISIBLE, 0, 0, 120, 90, nullptr, nullptr,
                           nullptr, nullptr);
    combo = MakeCombo(form, 8, 8, 104, 70);
    for (const char16_t *text : {u"Red", u"Green", u"Blue", u"Yellow", u"Purple", u"Orange"})
        SendText(CB_ADDSTRING, 0, text);
    Send(CB_SETCURSEL, 2);
    UpdateWindow(form);
    UpdateWindow(combo);
    ExpectMatchesGolden(*ScreenSurface(), "combo_box_closed");

    Send(CB_SHOWDROPDOWN, TRUE);
    ASSERT_NE(List(), nullptr);
    UpdateWindow(List());
    ExpectMatchesGolden(*ScreenSurface(), "combo_box_dropped");
}

} // namespace
