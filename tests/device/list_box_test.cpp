// The list box: its messages and what they answer at the edges, the order of a sorted box, what
// the parent hears for each kind of tap in each selection style, its scroll bar, and how it looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../platform/golden.h"
#include "../support/message_recorder.h"
#include "booted_device.h"
#include "device/automation.h"
#include "device/scheduler.h"
#include "user/screen.h"

namespace {

const int listId = 300;

LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFormClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FormProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = u"ListForm";
    RegisterClassW(&windowClass);
}

HWND form = nullptr;
HWND list = nullptr;
DWORD listStyle = 0;

HWND MakeForm() {
    return CreateWindowExW(0, u"ListForm", u"Form", WS_VISIBLE, 0, 0, 240, 294, nullptr, nullptr,
                           nullptr, nullptr);
}

HWND MakeList(HWND parent, DWORD style, int x = 10, int y = 10, int width = 120, int height = 100) {
    return CreateWindowExW(0, u"listbox", u"", WS_CHILD | WS_VISIBLE | WS_BORDER | style, x, y,
                           width, height, parent, reinterpret_cast<HANDLE>(INT_PTR(listId)),
                           nullptr, nullptr);
}

// A form with a list box of the style the test chose, as a program makes it.
int WINAPI ListProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterFormClass();
    form = MakeForm();
    list = MakeList(form, listStyle);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(list, message, wParam, lParam);
}

LRESULT SendText(UINT message, WPARAM wParam, const char16_t *text) {
    return SendMessageW(list, message, wParam, reinterpret_cast<LPARAM>(text));
}

void AddItems(int count) {
    for (int i = 0; i < count; ++i) {
        const std::u16string text = u"Item " + std::u16string(1, char16_t(u'A' + i));
        SendText(LB_ADDSTRING, 0, text.c_str());
    }
}

std::u16string TextOf(int index) {
    WCHAR text[64] = {};
    if (Send(LB_GETTEXTLEN, WPARAM(index)) >= 64) {
        return u"(too long)";
    }
    Send(LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::u16string> Texts() {
    std::vector<std::u16string> texts;
    for (int i = 0; i < Send(LB_GETCOUNT); ++i) {
        texts.push_back(TextOf(i));
    }
    return texts;
}

std::vector<int> SelectedItems() {
    int indices[64] = {};
    const LRESULT count = Send(LB_GETSELITEMS, 64, reinterpret_cast<LPARAM>(indices));
    return count < 0 ? std::vector<int>{-99} : std::vector<int>(indices, indices + count);
}

// ---------------------------------------------------------------------------------------------
// Messages, on windows of the test's own.

class ListBoxMessages : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterFormClass();
        form = MakeForm();
        list = MakeList(form, LBS_NOTIFY);
        ASSERT_NE(list, nullptr);
        recorder.Watch(form);
    }
    void Remake(DWORD style) {
        DestroyWindow(list);
        list = MakeList(form, style);
        ASSERT_NE(list, nullptr);
        recorder.Clear();
    }
    MessageRecorder recorder;
};

// One message, what it is given and what it must answer.
struct Step {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT expected;
};

LPARAM Text(const char16_t *text) {
    return reinterpret_cast<LPARAM>(text);
}

TEST_F(ListBoxMessages, ItemMessagesAnswerAsOnWindowsAtTheirLimits) {
    const Step steps[] = {
        // Empty.
        {LB_GETCOUNT, 0, 0, 0},
        {LB_GETCURSEL, 0, 0, LB_ERR},
        {LB_GETTEXTLEN, 0, 0, LB_ERR},
        {LB_DELETESTRING, 0, 0, LB_ERR},
        {LB_SETCURSEL, 0, 0, LB_ERR},
        {LB_FINDSTRING, WPARAM(-1), Text(u"a"), LB_ERR},
        {LB_SETTOPINDEX, 0, 0, LB_OKAY},
        {LB_INSERTSTRING, 1, Text(u"Gray"), LB_ERR}, // past the end of an empty list
        {LB_INSERTSTRING, 0, Text(u"Red"), 0},
        {LB_ADDSTRING, 0, Text(u"Green"), 1},
        {LB_INSERTSTRING, WPARAM(-1), Text(u"Blue"), 2}, // Red Green Blue
        {LB_INSERTSTRING, 3, Text(u"White"), 3},         // at count: the end
        {LB_INSERTSTRING, 5, Text(u"Gray"), LB_ERR},     // past it
        {LB_INSERTSTRING, WPARAM(-2), Text(u"Gray"), LB_ERR},
        {LB_ADDSTRING, 0, 0, 4}, // no text is an empty item
        {LB_GETTEXTLEN, 4, 0, 0},
        {LB_GETCOUNT, 0, 0, 5},
        {LB_GETTEXTLEN, 3, 0, 5},
        {LB_GETTEXTLEN, 5, 0, LB_ERR},
        {LB_GETTEXTLEN, WPARAM(-1), 0, LB_ERR},
        {LB_GETTEXT, 4, 0, 0},
        {LB_GETTEXT, 5, Text(u"buffer"), LB_ERR},
        // One selection at a time in this box.
        {LB_SETCURSEL, 4, 0, 4},
        {LB_GETCURSEL, 0, 0, 4},
        {LB_SETCURSEL, 5, 0, LB_ERR},
        {LB_GETCURSEL, 0, 0, 4}, // a failed choice leaves the selection
        {LB_SETCURSEL, WPARAM(-1), 0, LB_ERR},
        {LB_GETCURSEL, 0, 0, LB_ERR},
        {LB_SETCURSEL, 1, 0, 1},
        {LB_GETSEL, 1, 0, 1},
        {LB_GETSEL, 0, 0, 0},
        {LB_GETSEL, 5, 0, LB_ERR},
        // The multiple-selection messages belong to the other styles.
        {LB_SETSEL, TRUE, 2, LB_ERR},
        {LB_GETSELCOUNT, 0, 0, LB_ERR},
        {LB_SELITEMRANGE, TRUE, MAKELPARAM(0, 2), LB_ERR},
        // Item data.
        {LB_SETITEMDATA, 4, 77, TRUE},
        {LB_GETITEMDATA, 4, 0, 77},
        {LB_GETITEMDATA, 0, 0, 0},
        {LB_SETITEMDATA, 5, 1, LB_ERR},
        {LB_GETITEMDATA, 5, 0, LB_ERR},
        {LB_GETITEMDATA, WPARAM(-1), 0, LB_ERR},
        // Deleting answers the count left; the selection stays on its item.
        {LB_DELETESTRING, 0, 0, 4}, // Green Blue White ""
        {LB_GETCURSEL, 0, 0, 0},
        {LB_DELETESTRING, 0, 0, 3}, // the selected item goes
        {LB_GETCURSEL, 0, 0, LB_ERR},
        {LB_DELETESTRING, 3, 0, LB_ERR},
        {LB_DELETESTRING, 2, 0, 2}, // count - 1: the last
        {LB_GETITEMDATA, 2, 0, LB_ERR},
        {LB_RESETCONTENT, 0, 0, LB_OKAY},
        {LB_GETCOUNT, 0, 0, 0},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step &step = steps[i];
        EXPECT_EQ(Send(step.message, step.wParam, step.lParam), step.expected) << "step " << i;
    }
    // A program's own changes are never notified.
    EXPECT_TRUE(recorder.OnlyOf(form, {WM_COMMAND}).empty());
}

TEST_F(ListBoxMessages, SearchesStartAfterTheGivenItemAndWrapRound) {
    for (const char16_t *text : {u"apple", u"Banana", u"apricot", u"cherry", u"APPLE"})
        SendText(LB_ADDSTRING, 0, text);
    const Step steps[] = {
        {LB_FINDSTRING, WPARAM(-1), Text(u"ap"), 0},
        {LB_FINDSTRING, 0, Text(u"ap"), 2}, // after item 0
        {LB_FINDSTRING, 2, Text(u"ap"), 4},
        {LB_FINDSTRING, 4, Text(u"ap"), 0}, // from the last round to the top
        {LB_FINDSTRING, 1, Text(u"b"), 1},  // round to the start itself
        {LB_FINDSTRING, 5, Text(u"ap"), 0}, // a start past the end: from the top
        {LB_FINDSTRING, 99, Text(u"ch"), 3},
        {LB_FINDSTRING, WPARAM(-1), Text(u"apples"), LB_ERR},
        {LB_FINDSTRING, WPARAM(-1), Text(u""), LB_ERR},
        {LB_FINDSTRING, WPARAM(-1), 0, LB_ERR},
        {LB_FINDSTRINGEXACT, WPARAM(-1), Text(u"Apple"), 0},
        {LB_FINDSTRINGEXACT, 0, Text(u"Apple"), 4},
        {LB_FINDSTRINGEXACT, WPARAM(-1), Text(u"appl"), LB_ERR},
        {LB_FINDSTRINGEXACT, WPARAM(-1), Text(u"BANANA"), 1},
    };
    for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        const Step &step = steps[i];
        EXPECT_EQ(Send(step.message, step.wParam, step.lParam), step.expected) << "step " << i;
    }
}

TEST_F(ListBoxMessages, TheSelectionMessagesOfAMultipleSelectionBox) {
    for (DWORD style : {DWORD(LBS_MULTIPLESEL), DWORD(LBS_EXTENDEDSEL)}) {
        Remake(style);
        AddItems(6);
        const Step steps[] = {
            {LB_GETSELCOUNT, 0, 0, 0},
            {LB_SETSEL, TRUE, 0, LB_OKAY},
            {LB_SETSEL, TRUE, 5, LB_OKAY}, // count - 1
            {LB_SETSEL, TRUE, 6, LB_ERR},  // count
            {LB_SETSEL, TRUE, -2, LB_ERR},
            {LB_GETSELCOUNT, 0, 0, 2},
            {LB_GETCURSEL, 0, 0, 5}, // the caret, in such a box
            {LB_SETCURSEL, 1, 0, LB_ERR},
            {LB_SETSEL, FALSE, -1, LB_OKAY}, // -1: every item
            {LB_GETSELCOUNT, 0, 0, 0},
            {LB_SETSEL, TRUE, -1, LB_OKAY},
            {LB_GETSELCOUNT, 0, 0, 6},
            {LB_SELITEMRANGE, FALSE, MAKELPARAM(4, 1), LB_OKAY}, // either way round
            {LB_GETSELCOUNT, 0, 0, 2},
            {LB_GETSEL, 0, 0, 1},
            {LB_GETSEL, 2, 0, 0},
            {LB_SELITEMRANGE, TRUE, MAKELPARAM(3, 999), LB_OKAY}, // clipped to the list
            {LB_GETSELCOUNT, 0, 0, 4},
        };
        for (size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
            const Step &step = steps[i];
            EXPECT_EQ(Send(step.message, step.wParam, step.lParam), step.expected)
                << "style " << style << " step " << i;
        }
        EXPECT_EQ(SelectedItems(), (std::vector<int>{0, 3, 4, 5}));
        int two[2] = {-1, -1};
        EXPECT_EQ(Send(LB_GETSELITEMS, 2, reinterpret_cast<LPARAM>(two)), 2);
        EXPECT_EQ(two[1], 3);
        EXPECT_EQ(Send(LB_GETSELITEMS, 0, reinterpret_cast<LPARAM>(two)), 0);
        EXPECT_EQ(Send(LB_GETSELITEMS, 5, 0), LB_ERR);
        // Deleting a selected item takes its selection along; the rest keep theirs.
        Send(LB_DELETESTRING, 3);
        EXPECT_EQ(SelectedItems(), (std::vector<int>{0, 3, 4}));
        EXPECT_TRUE(recorder.OnlyOf(form, {WM_COMMAND}).empty());
    }
}

// Strings added to a sorted box, and the order it must show.
struct SortCase {
    const char *name;
    std::vector<std::u16string> added;
    std::vector<std::u16string> shown;
};

TEST_F(ListBoxMessages, ASortedBoxOrdersAsWindowsDoes) {
    const SortCase cases[] = {
        {"case is ignored",
         {u"pear", u"Apple", u"fig", u"Banana"},
         {u"Apple", u"Banana", u"fig", u"pear"}},
        {"punctuation before digits before letters",
         {u"b", u"2", u"_a", u"(x)", u"10", u"a"},
         {u"(x)", u"_a", u"10", u"2", u"a", u"b"}},
        {"accented letters with their base letter",
         {u"f", u"été", u"e", u"Ezra", u"eu"},
         {u"e", u"été", u"eu", u"Ezra", u"f"}},
        {"an accent counts only when the letters are equal",
         {u"resumes", u"résumé", u"resume"},
         {u"resume", u"résumé", u"resumes"}},
        {"umlauts", {u"v", u"Über", u"uber", u"uz"}, {u"uber", u"Über", u"uz", u"v"}},
        {"hyphens and apostrophes count last",
         {u"cop", u"co-op", u"coop", u"can't"},
         {u"can't", u"coop", u"co-op", u"cop"}},
        {"sharp s as ss", {u"Strast", u"Straße", u"Strasb"}, {u"Strasb", u"Straße", u"Strast"}},
    };
    for (const SortCase &c : cases) {
        Remake(LBS_SORT);
        for (const std::u16string &text : c.added) {
            ASSERT_GE(SendText(LB_ADDSTRING, 0, text.c_str()), 0) << c.name;
        }
        EXPECT_EQ(Texts(), c.shown) << c.name;
    }
    // Inserting keeps the place asked for, sorted or not.
    EXPECT_EQ(SendText(LB_INSERTSTRING, 0, u"zzz"), 0);
    EXPECT_EQ(TextOf(0), u"zzz");
}

TEST_F(ListBoxMessages, EqualStringsGoWhereWindowsHalvingMeetsThem) {
    Remake(LBS_SORT);
    SendText(LB_ADDSTRING, 0, u"Apple");
    Send(LB_SETITEMDATA, 0, 1);
    // Equal without regard to case: the new one goes before the one met.
    EXPECT_EQ(SendText(LB_ADDSTRING, 0, u"apple"), 0);
    Send(LB_SETITEMDATA, 0, 2);
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"apple", u"Apple"}));
    // Of two, the halving meets the first; of three, the middle one.
    EXPECT_EQ(SendText(LB_ADDSTRING, 0, u"APPLE"), 0);
    Send(LB_SETITEMDATA, 0, 3);
    EXPECT_EQ(SendText(LB_ADDSTRING, 0, u"aPPLE"), 1);
    EXPECT_EQ(Texts(), (std::vector<std::u16string>{u"APPLE", u"aPPLE", u"apple", u"Apple"}));
    EXPECT_EQ(Send(LB_GETITEMDATA, 3), 1);
    // The exact search finds the first of them from the top.
    EXPECT_EQ(SendText(LB_FINDSTRINGEXACT, WPARAM(-1), u"apple"), 0);
    // A selection follows its item as others go in before it.
    Send(LB_SETCURSEL, 3);
    SendText(LB_ADDSTRING, 0, u"Aardvark");
    EXPECT_EQ(Send(LB_GETCURSEL), 4);
    EXPECT_EQ(Send(LB_GETITEMDATA, 4), 1);
}

TEST_F(ListBoxMessages, RowsFollowTheFontAndTheBoxShowsWholeRows) {
    HDC dc = CreateCompatibleDC(nullptr);
    TEXTMETRICW metrics = {};
    HGDIOBJ old = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    GetTextMetricsW(dc, &metrics);
    HFONT big = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    SelectObject(dc, big);
    TEXTMETRICW bigMetrics = {};
    GetTextMetricsW(dc, &bigMetrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    AddItems(2);
    RECT item = {};
    EXPECT_EQ(Send(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)), 1);
    EXPECT_EQ(item.top, metrics.tmHeight);
    EXPECT_EQ(item.bottom - item.top, metrics.tmHeight);
    // The client area is cut to whole rows.
    RECT client = {};
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom % metrics.tmHeight, 0);
    EXPECT_GT(client.bottom, 98 - metrics.tmHeight);

    EXPECT_EQ(Send(WM_GETFONT), 0);
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(Send(WM_GETFONT), reinterpret_cast<LRESULT>(big));
    Send(LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.bottom - item.top, bigMetrics.tmHeight);
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom % bigMetrics.tmHeight, 0);
    // Unless the box asks for its height as it was made.
    Remake(LBS_NOINTEGRALHEIGHT);
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom, 98);
    Send(WM_SETFONT, 0, FALSE);
    DestroyWindow(list);
    DeleteObject(big);
}

TEST_F(ListBoxMessages, TheScrollBarFollowsTheRows) {
    Remake(WS_VSCROLL | LBS_NOINTEGRALHEIGHT);
    // Empty, or with every row shown, the box has no bar.
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
    RECT item = {};
    AddItems(1);
    Send(LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int rows = 98 / item.bottom;
    AddItems(rows - 1);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
    SendText(LB_ADDSTRING, 0, u"one more");
    EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
    SCROLLINFO info = {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    EXPECT_TRUE(GetScrollInfo(list, SB_VERT, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, rows);
    EXPECT_EQ(info.nPage, UINT(rows));
    // The top item and the bar's position are one; the top stops at the last page.
    EXPECT_EQ(Send(LB_SETTOPINDEX, WPARAM(rows)), LB_OKAY);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
    EXPECT_EQ(Send(LB_SETTOPINDEX, WPARAM(rows + 1)), LB_ERR);
    EXPECT_EQ(Send(LB_SETTOPINDEX, WPARAM(-1)), LB_ERR);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1);
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 0);
    // Choosing an item out of sight brings it into view.
    Send(LB_SETCURSEL, WPARAM(rows));
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1);
    // Back to fitting: the bar goes and the first row shows again.
    Send(LB_DELETESTRING, 0);
    EXPECT_EQ(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 0);
}

// ---------------------------------------------------------------------------------------------
// The stylus, on a booted device.

class ListBoxStylus : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterBuiltInProgram(u"\\Windows\\listform.exe", ListProgram);
        list = nullptr;
    }
    void StartWith(DWORD style, int items = 8) {
        listStyle = style;
        ASSERT_NO_FATAL_FAILURE(Start(u"\\Windows\\listform.exe"));
        ASSERT_NE(list, nullptr);
        AddItems(items);
        recorder.Watch(form);
        // The first tap gives the box the focus; what follows is about the items.
        TapAt(200, 200);
        RunUntilIdle();
        recorder.Clear();
    }
    POINT ItemPoint(int index) {
        RECT item = {};
        EXPECT_NE(Send(LB_GETITEMRECT, WPARAM(index), reinterpret_cast<LPARAM>(&item)), LB_ERR);
        POINT point = {item.left + 20, (item.top + item.bottom) / 2};
        ClientToScreen(list, &point);
        return point;
    }
    // Taps far enough apart in time never make a double tap.
    void Tap(int index) {
        AdvanceDeviceTime(GetDoubleClickTime() + 1);
        const POINT point = ItemPoint(index);
        TapAt(point.x, point.y);
    }
    std::vector<RecordedMessage> Heard() const {
        return recorder.OnlyOf(form, {WM_COMMAND});
    }
    static ExpectedMessage Told(int code) {
        return {WM_COMMAND, CheckBoth, MAKEWPARAM(listId, code), reinterpret_cast<LPARAM>(list)};
    }
    MessageRecorder recorder;
};

TEST_F(ListBoxStylus, ATapSelectsTheItemAndTheParentHearsOnTheLift) {
    StartWith(LBS_NOTIFY);
    Tap(2);
    // The first tap brings the focus, and the lift the change.
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SETFOCUS), Told(LBN_SELCHANGE)}));
    EXPECT_EQ(Send(LB_GETCURSEL), 2);
    recorder.Clear();
    Tap(5);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SELCHANGE)}));
    EXPECT_EQ(Send(LB_GETCURSEL), 5);
    EXPECT_EQ(Send(LB_GETSEL, 2), 0);
    // The item already selected, tapped again: told all the same, as Windows does.
    recorder.Clear();
    Tap(5);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SELCHANGE)}));
    // Below the last item: nothing.
    recorder.Clear();
    Send(LB_DELETESTRING, 7);
    Send(LB_DELETESTRING, 6);
    RECT client = {};
    GetClientRect(list, &client);
    POINT below = {20, client.bottom - 3};
    ClientToScreen(list, &below);
    AdvanceDeviceTime(1000);
    TapAt(below.x, below.y);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(Send(LB_GETCURSEL), 5);
    // A program's choice is never told.
    Send(LB_SETCURSEL, 1);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ListBoxStylus, WithoutLbsNotifyTheParentHearsOnlyOfTheFocus) {
    StartWith(0);
    Tap(3);
    Tap(4);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SETFOCUS)}));
    EXPECT_EQ(Send(LB_GETCURSEL), 4);
}

TEST_F(ListBoxStylus, MultipleSelectionTapsToggle) {
    StartWith(LBS_NOTIFY | LBS_MULTIPLESEL);
    Tap(1);
    Tap(3);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{1, 3}));
    Tap(1);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{3}));
    // Modifier keys change nothing in this style.
    HoldKey(VK_SHIFT);
    Tap(6);
    ReleaseKey(VK_SHIFT);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{3, 6}));
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SETFOCUS), Told(LBN_SELCHANGE),
                                                   Told(LBN_SELCHANGE), Told(LBN_SELCHANGE),
                                                   Told(LBN_SELCHANGE)}));
    EXPECT_EQ(Send(LB_GETCURSEL), 6); // the caret
}

TEST_F(ListBoxStylus, ExtendedSelectionTapsShiftTapsAndControlTaps) {
    StartWith(LBS_NOTIFY | LBS_EXTENDEDSEL);
    Tap(1);
    Tap(2);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{2}));
    // Shift extends from the anchor, the last plain tap, either way.
    HoldKey(VK_SHIFT);
    Tap(5);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{2, 3, 4, 5}));
    Tap(0);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{0, 1, 2}));
    ReleaseKey(VK_SHIFT);
    // Control toggles one item and leaves the others.
    HoldKey(VK_CONTROL);
    Tap(1);
    Tap(6);
    ReleaseKey(VK_CONTROL);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{0, 2, 6}));
    // Shift now extends from the item Control tapped last.
    HoldKey(VK_SHIFT);
    Tap(4);
    ReleaseKey(VK_SHIFT);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{4, 5, 6}));
    // A plain tap selects its item alone.
    Tap(3);
    EXPECT_EQ(SelectedItems(), (std::vector<int>{3}));
    const std::vector<RecordedMessage> heard = Heard();
    ASSERT_EQ(heard.size(), 9u);
    EXPECT_TRUE(MessageRecorder::Matches({heard.begin() + 1, heard.end()},
                                         std::vector<ExpectedMessage>(8, Told(LBN_SELCHANGE))));
}

TEST_F(ListBoxStylus, TwoQuickTapsOnOneItemAreADoubleTap) {
    StartWith(LBS_NOTIFY);
    Tap(2);
    const POINT point = ItemPoint(2);
    TapAt(point.x, point.y); // at once: the second tap of a double tap
    EXPECT_TRUE(MessageRecorder::Matches(
        Heard(), {Told(LBN_SETFOCUS), Told(LBN_SELCHANGE), Told(LBN_DBLCLK)}));
    // A third quick tap starts again.
    recorder.Clear();
    TapAt(point.x, point.y);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SELCHANGE)}));
    // Quick taps on two items are two taps.
    recorder.Clear();
    AdvanceDeviceTime(GetDoubleClickTime() + 1);
    const POINT other = ItemPoint(3);
    TapAt(point.x, point.y);
    TapAt(other.x, other.y);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SELCHANGE), Told(LBN_SELCHANGE)}));
    // Too slow for a double tap.
    recorder.Clear();
    Tap(3);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {Told(LBN_SELCHANGE)}));
    EXPECT_EQ(Send(LB_GETCURSEL), 3);
}

TEST_F(ListBoxStylus, ArrowKeysMoveTheSelectionOfTheBoxWithTheFocus) {
    StartWith(LBS_NOTIFY);
    Tap(6);
    recorder.Clear();
    PressKey(VK_DOWN);
    PressKey(VK_DOWN); // already the last: told all the same
    EXPECT_EQ(Send(LB_GETCURSEL), 7);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1); // brought into view
    PressKey(VK_UP);
    EXPECT_EQ(Send(LB_GETCURSEL), 6);
    EXPECT_TRUE(MessageRecorder::Matches(
        Heard(), {Told(LBN_SELCHANGE), Told(LBN_SELCHANGE), Told(LBN_SELCHANGE)}));
}

TEST_F(ListBoxStylus, TheScrollBarMovesTheRows) {
    StartWith(LBS_NOTIFY | WS_VSCROLL, 20);
    RECT place = {};
    GetWindowRect(list, &place);
    RECT client = {};
    GetClientRect(list, &client);
    const int shown = client.bottom / (ItemPoint(1).y - ItemPoint(0).y);
    ASSERT_LT(shown, 20);
    const int barX = place.right - 1 - 7;
    // An arrow scrolls a row, the track a page, and the thumb dragged down the last page.
    TapAt(barX, place.bottom - 1 - 5);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1);
    TapAt(barX, place.bottom - 1 - 20);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 1 + shown);
    TapAt(barX, place.top + 1 + 5);
    EXPECT_EQ(Send(LB_GETTOPINDEX), shown);
    Send(LB_SETTOPINDEX, 0);
    RunUntilIdle();
    StylusDownAt(barX, place.top + 1 + 13 + 2);
    StylusMoveTo(barX, place.bottom + 10);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 20 - shown); // the rows follow the thumb
    StylusUpAt(barX, place.bottom + 10);
    EXPECT_EQ(Send(LB_GETTOPINDEX), 20 - shown);
    EXPECT_EQ(GetScrollPos(list, SB_VERT), 20 - shown);
    // Scrolling selects nothing and tells the parent nothing.
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(Send(LB_GETCURSEL), LB_ERR);
    // The rows shown are the ones tapped.
    Tap(19);
    EXPECT_EQ(Send(LB_GETCURSEL), 19);
}

// ---------------------------------------------------------------------------------------------
// How it looks.

// The piece of the screen from 0,0 to the size given.
Surface ScreenPiece(int width, int height) {
    Surface piece(width, height);
    const Surface &screen = *ScreenSurface();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            piece.At(x, y) = screen.At(x, y);
        }
    }
    return piece;
}

TEST_F(ListBoxMessages, LooksWithAScrollBarAndASelection) {
    DestroyWindow(list);
    list = MakeList(form, LBS_NOTIFY | WS_VSCROLL, 8, 8, 104, 70);
    for (const char16_t *text :
         {u"Red", u"Green", u"Blue", u"Yellow", u"Purple", u"Orange", u"Brown", u"Black", u"White"})
        SendText(LB_ADDSTRING, 0, text);
    Send(LB_SETCURSEL, 2);
    Send(LB_SETTOPINDEX, 1);
    UpdateWindow(form);
    UpdateWindow(list);
    ExpectMatchesGolden(ScreenPiece(120, 90), "list_box_scrolled");
}

TEST_F(ListBoxMessages, LooksWithSeveralItemsSelected) {
    DestroyWindow(list);
    list = MakeList(form, LBS_MULTIPLESEL, 8, 8, 104, 70);
    for (const char16_t *text : {u"Tahoma", u"Verdana", u"Courier", u"Arial", u"Times"})
        SendText(LB_ADDSTRING, 0, text);
    Send(LB_SETSEL, TRUE, 0);
    Send(LB_SETSEL, TRUE, 3);
    Send(LB_SETSEL, TRUE, 2);
    Send(LB_SETSEL, FALSE, 2); // the caret stays on the item last chosen
    SendMessageW(list, WM_SETFOCUS, 0, 0);
    UpdateWindow(form);
    UpdateWindow(list);
    ExpectMatchesGolden(ScreenPiece(120, 90), "list_box_multiple");
}

} // namespace
