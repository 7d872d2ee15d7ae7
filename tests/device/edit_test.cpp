// The edit control: its text with CR LF line ends, the selection, what its parent hears and when,
// typing into editable and read-only controls, wrapping at the exact width, scrolling by lines,
// the limit, the stylus and keys on the device, and how it looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <dialog_templates.h>
#include <resource_tables.h>

#include "../platform/golden.h"
#include "booted_device.h"
#include "device/automation.h"
#include "gdi/fonts.h"
#include "screen_pixels.h"
#include "support/message_recorder.h"
#include "user/window_state.h"

namespace {

MessageRecorder *recorder = nullptr;
const int editId = 7;

// The edits' parent: logs the notifications its edits send it.
LRESULT CALLBACK FormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && recorder != nullptr) {
        recorder->Record(window, message, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterFormClass() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = FormProc;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = u"EditForm";
    RegisterClassW(&windowClass);
}

// The system's own font of that size, the same handle on every machine of the run.
HFONT TestFont() {
    return SharedSystemFont(-12, FW_NORMAL);
}

int TextWidthInTestFont(const char16_t *text) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, TestFont());
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    return size.cx;
}

int LineHeightInTestFont() {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, TestFont());
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return metrics.tmHeight;
}

std::u16string TextOf(HWND edit) {
    const int length = static_cast<int>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0));
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The selection as EM_GETSEL gives it through its two pointers.
std::pair<DWORD, DWORD> SelectionOf(HWND edit) {
    DWORD start = 99, end = 99;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
}

void Type(HWND edit, const std::u16string &text) {
    for (char16_t character : text) {
        SendMessageW(edit, WM_CHAR, character, 1);
    }
}

ExpectedMessage Notification(WORD code) {
    return ExpectedMessage{WM_COMMAND, CheckWParam, MAKEWPARAM(editId, code)};
}

class EditControl : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        RegisterFormClass();
        form = CreateWindowExW(0, u"EditForm", u"Form", WS_POPUP | WS_VISIBLE, 0, 0, 240, 200,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(form, nullptr);
        recorder = &messages;
    }
    void TearDown() override {
        recorder = nullptr;
        BootedDevice::TearDown();
    }
    HWND Make(DWORD style, const char16_t *text = u"", int width = 120, int height = 20, int x = 10,
              int y = 10) {
        HWND edit =
            CreateWindowExW(0, u"edit", text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                            form, reinterpret_cast<HANDLE>(INT_PTR(editId)), nullptr, nullptr);
        EXPECT_NE(edit, nullptr);
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(TestFont()), FALSE);
        messages.Clear();
        return edit;
    }
    // The notifications the form heard since the last look.
    std::vector<RecordedMessage> Heard() {
        std::vector<RecordedMessage> heard = messages.Of(form);
        messages.Clear();
        return heard;
    }
    MessageRecorder messages;
    HWND form = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Text and lines.

struct TextCase {
    const char *name;
    DWORD style;
    const char16_t *text;
    int lines;
};

class EditTexts : public EditControl, public testing::WithParamInterface<TextCase> {};

TEST_P(EditTexts, ComeBackAsTheyWentInAndBreakOnlyAtCrLf) {
    const TextCase &c = GetParam();
    HWND edit = Make(c.style, u"", 200, 100);
    EXPECT_TRUE(SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(c.text)));
    EXPECT_EQ(TextOf(edit), std::u16string(c.text));
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), lstrlenW(c.text));
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), c.lines);
    // WM_SETTEXT leaves the caret at the start.
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(0), DWORD(0)));
}

const TextCase textCases[] = {
    {"CrLf", ES_MULTILINE, u"one\r\ntwo", 2},
    {"LoneLf", ES_MULTILINE, u"one\ntwo", 1},
    {"LoneCr", ES_MULTILINE, u"one\rtwo", 1},
    {"CrCrLf", ES_MULTILINE, u"one\r\r\ntwo", 2},
    {"EndingInCrLf", ES_MULTILINE, u"one\r\n", 2},
    {"OnlyLineEnds", ES_MULTILINE, u"\r\n\r\n\r\n", 4},
    {"Empty", ES_MULTILINE, u"", 1},
    {"SingleLineKeepsCrLf", ES_AUTOHSCROLL, u"one\r\ntwo", 1},
};

INSTANTIATE_TEST_SUITE_P(RoundTrips, EditTexts, testing::ValuesIn(textCases),
                         [](const testing::TestParamInfo<TextCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(EditControl, GetTextFillsTheBufferAsFarAsItGoes) {
    HWND edit = Make(ES_MULTILINE, u"Hello\r\nthere");
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 6, reinterpret_cast<LPARAM>(buffer)), 5);
    EXPECT_EQ(std::u16string(buffer), u"Hello");
    EXPECT_EQ(buffer[6], u'#');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 8, 0), 0);
    // Another program reads the window's own text.
    EXPECT_EQ(FindWindowObject(edit)->text, u"Hello\r\nthere");
    EXPECT_TRUE(SendMessageW(edit, WM_SETTEXT, 0, 0));
    EXPECT_EQ(TextOf(edit), u"");
}

// ---------------------------------------------------------------------------------------------
// The selection.

struct SelectionCase {
    const char *name;
    int start, end;
    DWORD low, high; // what EM_GETSEL answers after it
    DWORD caret;     // where the caret stands: what is left when the selection is taken away
};

class EditSelections : public EditControl, public testing::WithParamInterface<SelectionCase> {};

TEST_P(EditSelections, SetSelAndGetSel) {
    const SelectionCase &c = GetParam();
    HWND edit = Make(ES_AUTOHSCROLL, u"Hello world"); // 11 characters
    SendMessageW(edit, EM_SETSEL, 2, 4);
    SendMessageW(edit, EM_SETSEL, WPARAM(c.start), LPARAM(c.end));
    EXPECT_EQ(SelectionOf(edit), std::make_pair(c.low, c.high));
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELONG(c.low, c.high));
    SendMessageW(edit, EM_SETSEL, WPARAM(-1), 0);
    EXPECT_EQ(SelectionOf(edit), std::make_pair(c.caret, c.caret));
    EXPECT_TRUE(Heard().empty());
}

const SelectionCase selectionCases[] = {
    {"Forward", 1, 3, 1, 3, 3},
    {"ReversedEnds", 3, 1, 1, 3, 1},
    {"AllWithMinusOne", 0, -1, 0, 11, 11},
    {"AllReversed", -2, 0, 0, 11, 0},
    {"PastTheEnd", 20, 30, 11, 11, 11},
    {"Empty", 5, 5, 5, 5, 5},
    {"StartMinusOneTakesTheSelectionAway", -1, 5, 4, 4, 4},
};

INSTANTIATE_TEST_SUITE_P(Rules, EditSelections, testing::ValuesIn(selectionCases),
                         [](const testing::TestParamInfo<SelectionCase> &info) {
                             return std::string(info.param.name);
                         });

TEST_F(EditControl, TypingReplacesTheSelection) {
    HWND edit = Make(ES_AUTOHSCROLL, u"Hello world");
    SendMessageW(edit, EM_SETSEL, 5, 0); // reversed: the caret at 0
    Type(edit, u"J");
    EXPECT_EQ(TextOf(edit), u"J world");
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(1), DWORD(1)));
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"new"));
    EXPECT_EQ(TextOf(edit), u"new");
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(3), DWORD(3)));
}

// ---------------------------------------------------------------------------------------------
// Notifications.

TEST_F(EditControl, AMultiLineControlTellsOfTypingButNotOfSetText) {
    HWND edit = Make(ES_MULTILINE | ES_AUTOVSCROLL, u"", 120, 60);
    SetWindowTextW(edit, u"set\r\nby the program");
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {}));
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(edit, u"a");
    EXPECT_TRUE(
        MessageRecorder::Matches(Heard(), {Notification(EN_UPDATE), Notification(EN_CHANGE)}));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"bc"));
    EXPECT_TRUE(
        MessageRecorder::Matches(Heard(), {Notification(EN_UPDATE), Notification(EN_CHANGE)}));
    // Nothing to take away, nothing changes, nothing is told.
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(edit, u"\b");
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u""));
    SendMessageW(edit, EM_REPLACESEL, FALSE, 0);
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {}));
    EXPECT_EQ(TextOf(edit), u"abcset\r\nby the program");
}

TEST_F(EditControl, ASingleLineControlTellsOfSetTextToo) {
    HWND edit = Make(ES_AUTOHSCROLL);
    SetWindowTextW(edit, u"set");
    EXPECT_TRUE(
        MessageRecorder::Matches(Heard(), {Notification(EN_UPDATE), Notification(EN_CHANGE)}));
    // Made with its text, it tells nothing.
    HWND made = CreateWindowExW(0, u"EDIT", u"made", WS_CHILD | WS_VISIBLE, 10, 40, 100, 20, form,
                                reinterpret_cast<HANDLE>(INT_PTR(editId)), nullptr, nullptr);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(TextOf(made), u"made");
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {}));
}

// Destroys the edit that tells it of a change.
LRESULT CALLBACK DestroyingParent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == EN_UPDATE) {
        DestroyWindow(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(EditControl, AParentMayDestroyTheControlWhileItIsTold) {
    HWND edit = Make(ES_AUTOHSCROLL);
    SetWindowLongPtrW(form, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(DestroyingParent));
    Type(edit, u"x");
    EXPECT_FALSE(IsWindow(edit));
}

// ---------------------------------------------------------------------------------------------
// Typing.

TEST_F(EditControl, TypingIntoAnEditableMultiLineControl) {
    HWND edit = Make(ES_MULTILINE | ES_AUTOVSCROLL, u"", 150, 80);
    Type(edit, u"ab\rc\td");
    EXPECT_EQ(TextOf(edit), u"ab\r\nc\td");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 2);
    // Backspace takes a line end whole.
    SendMessageW(edit, EM_SETSEL, 4, 4);
    Type(edit, u"\b");
    EXPECT_EQ(TextOf(edit), u"abc\td");
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(2), DWORD(2)));
    // Other control characters are not text.
    Type(edit, u"\x01\x1b");
    EXPECT_EQ(TextOf(edit), u"abc\td");
    // A character beyond the first 65536 comes as a surrogate pair and goes whole.
    Type(edit, u"\U0001F600");
    EXPECT_EQ(TextOf(edit), u"ab\U0001F600c\td");
    Type(edit, u"\b");
    EXPECT_EQ(TextOf(edit), u"abc\td");
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(EditControl, ASingleLineControlTakesNoLineEndsOrTabs) {
    HWND edit = Make(ES_AUTOHSCROLL);
    Type(edit, u"a\rb\nc\td");
    EXPECT_EQ(TextOf(edit), u"abcd");
}

TEST_F(EditControl, AReadOnlyControlTakesNoTypingButProgramsMayChangeIt) {
    HWND edit = Make(ES_MULTILINE | ES_READONLY, u"fixed", 150, 80);
    SendMessageW(edit, EM_SETSEL, 5, 5);
    Type(edit, u"x\b\r");
    SendMessageW(edit, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(TextOf(edit), u"fixed");
    EXPECT_TRUE(MessageRecorder::Matches(Heard(), {}));
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"!"));
    EXPECT_EQ(TextOf(edit), u"fixed!");

    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, FALSE, 0));
    EXPECT_EQ(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY, 0);
    Type(edit, u"?");
    EXPECT_EQ(TextOf(edit), u"fixed!?");
    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_NE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(EditControl, TheLimitStopsTypingAndCutsReplacements) {
    HWND edit = Make(ES_AUTOHSCROLL);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 30000);
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    Type(edit, u"abcd");
    Heard();
    Type(edit, u"ef");
    EXPECT_EQ(TextOf(edit), u"abcde");
    EXPECT_TRUE(MessageRecorder::Matches(
        Heard(), {Notification(EN_UPDATE), Notification(EN_CHANGE), Notification(EN_MAXTEXT)}));
    SendMessageW(edit, EM_SETSEL, 0, 2);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"xyz"));
    EXPECT_EQ(TextOf(edit), u"xycde");
    // The program's own text is not held to it.
    SetWindowTextW(edit, u"longer than five");
    EXPECT_EQ(TextOf(edit), u"longer than five");
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditControl, WithoutAutoScrollingTypingStopsWhereTheControlIsFull) {
    const int lineHeight = LineHeightInTestFont();
    HWND single = Make(0, u"", 40);
    Type(single, u"wwwwwwwwwwwwwwwwwwww");
    const std::u16string kept = TextOf(single);
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LT(kept.size(), 20u);
    EXPECT_LE(TextWidthInTestFont(kept.c_str()), 40 - 2);

    // Two lines show; a third is refused.
    HWND multi = Make(ES_MULTILINE, u"", 100, 2 * lineHeight + 1, 10, 40);
    Heard();
    Type(multi, u"one\rtwo\r");
    EXPECT_EQ(TextOf(multi), u"one\r\ntwo");
    const std::vector<RecordedMessage> heard = Heard();
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(HIWORD(heard.back().wParam), EN_MAXTEXT);
}

// ---------------------------------------------------------------------------------------------
// Wrapping and scrolling.

TEST_F(EditControl, WordsWrapAtTheExactWidth) {
    // The lines begin one pixel in from either side.
    const int width = TextWidthInTestFont(u"abc abc");
    HWND exact = Make(ES_MULTILINE, u"abc abc abc", width + 2, 100);
    EXPECT_EQ(SendMessageW(exact, EM_GETLINECOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(exact, EM_LINEINDEX, 1, 0), 8);
    HWND narrower = Make(ES_MULTILINE, u"abc abc abc", width + 1, 100);
    EXPECT_EQ(SendMessageW(narrower, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(narrower, EM_LINEINDEX, 1, 0), 4);
    EXPECT_EQ(SendMessageW(narrower, EM_LINEINDEX, 2, 0), 8);
    EXPECT_EQ(SendMessageW(narrower, EM_LINEINDEX, 3, 0), -1);
    // The text comes back without the breaks the wrapping made.
    EXPECT_EQ(TextOf(narrower), u"abc abc abc");
    // A word longer than a line breaks inside it.
    const int wide = TextWidthInTestFont(u"aaaa");
    HWND word = Make(ES_MULTILINE, u"aaaaaaaaaa", wide + 2, 100);
    EXPECT_EQ(SendMessageW(word, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(word, EM_LINEINDEX, 1, 0), 4);
    // With ES_AUTOHSCROLL nothing wraps.
    HWND unwrapped = Make(ES_MULTILINE | ES_AUTOHSCROLL, u"abc abc abc", width + 1, 100);
    EXPECT_EQ(SendMessageW(unwrapped, EM_GETLINECOUNT, 0, 0), 1);
    // A new width wraps again, and so does a new font.
    MoveWindow(narrower, 10, 10, 400, 100, FALSE);
    EXPECT_EQ(SendMessageW(narrower, EM_GETLINECOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(exact, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(TestFont()));
    HFONT big = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"Tahoma");
    SendMessageW(exact, WM_SETFONT, reinterpret_cast<WPARAM>(big), TRUE);
    EXPECT_EQ(SendMessageW(exact, EM_GETLINECOUNT, 0, 0), 3);
    // Back to the system font.
    SendMessageW(exact, WM_SETFONT, 0, TRUE);
    EXPECT_EQ(SendMessageW(exact, WM_GETFONT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(exact, EM_GETLINECOUNT, 0, 0), 2);
    DeleteObject(big);
}

TEST_F(EditControl, LineScrollStopsWhereTheLastLineShowsAtTheBottom) {
    const int lineHeight = LineHeightInTestFont();
    std::u16string text;
    for (int i = 0; i < 20; ++i) {
        text += u"line " + std::u16string(1, char16_t(u'A' + i)) + (i < 19 ? u"\r\n" : u"");
    }
    HWND edit =
        Make(ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL, text.c_str(), 120, 5 * lineHeight + 1);
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 20);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, 3));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 3);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, 12));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, 1));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, 0x7FFFFFFF));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    // The scroll bar shows the lines, the lines shown and the first of them.
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(edit, SB_VERT, &bar));
    EXPECT_EQ(bar.nMin, 0);
    EXPECT_EQ(bar.nMax, 19);
    EXPECT_EQ(bar.nPage, 5u);
    EXPECT_EQ(bar.nPos, 15);
    EXPECT_TRUE(SendMessageW(edit, EM_LINESCROLL, 0, -100));
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    EXPECT_EQ(GetScrollPos(edit, SB_VERT), 0);

    // The scroll bar's messages move the lines the same way.
    SendMessageW(edit, WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 5);
    SendMessageW(edit, WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 4);
    SendMessageW(edit, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 9);
    SendMessageW(edit, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 15);
    SendMessageW(edit, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    // Typing at the end brings the caret's line into view.
    SendMessageW(edit, EM_SETSEL, text.size(), text.size());
    Type(edit, u"!");
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 15);

    HWND single = Make(ES_AUTOHSCROLL, u"one line");
    EXPECT_FALSE(SendMessageW(single, EM_LINESCROLL, 0, 1));
    EXPECT_EQ(SendMessageW(single, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(EditControl, ASingleLineScrollsSidewaysToKeepTheCaretInView) {
    HWND edit = Make(ES_AUTOHSCROLL, u"", 60);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    Type(edit, u"the quick brown fox jumps");
    EXPECT_EQ(TextOf(edit), u"the quick brown fox jumps");
    const LRESULT first = SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
    EXPECT_GT(first, 0);
    // The caret at the end shows inside the control.
    const int hidden = TextWidthInTestFont(
        std::u16string(u"the quick brown fox jumps").substr(0, static_cast<size_t>(first)).c_str());
    EXPECT_LE(TextWidthInTestFont(u"the quick brown fox jumps") - hidden, 60);
    // Home goes back to the start, which shows again.
    SendMessageW(edit, WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditControl, APasswordShowsAStarForEachCharacter) {
    HWND password = Make(ES_AUTOHSCROLL | ES_PASSWORD | WS_BORDER, u"abc");
    HWND stars = Make(ES_AUTOHSCROLL | WS_BORDER, u"***", 120, 20, 10, 40);
    EXPECT_EQ(TextOf(password), u"abc");
    UpdateWindow(form);
    UpdateWindow(password);
    UpdateWindow(stars);
    const Surface shown = WindowPicture(password);
    EXPECT_EQ(shown.pixels, WindowPicture(stars).pixels);
    // Inside the border, the stars show in the text colour.
    int ink = 0;
    for (int y = 1; y + 1 < shown.height; ++y) {
        for (int x = 1; x + 1 < shown.width; ++x) {
            ink += shown.At(x, y) == 0u;
        }
    }
    EXPECT_GT(ink, 0);
}

TEST_F(EditControl, BadInputIsRefusedQuietly) {
    HWND edit = Make(ES_MULTILINE | ES_AUTOVSCROLL, u"", 120, 60);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), 0);
    SendMessageW(edit, WM_CHAR, 0x10000, 0);
    SendMessageW(edit, EM_SETSEL, 0x7FFFFFFF, WPARAM(-5));
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(0), DWORD(0)));
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 5, 0), -1);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, WPARAM(-7), 0), 0);
    // A long text: no crash, every character kept, lines wrapped.
    const std::u16string huge(200000, u'x');
    SetWindowTextW(edit, huge.c_str());
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 200000);
    EXPECT_GT(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1000);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), -1); // past 65535, as on Windows
    EXPECT_EQ(SelectionOf(edit), std::make_pair(DWORD(0), DWORD(200000)));
}

// ---------------------------------------------------------------------------------------------
// Keys and the stylus in a program on the device.

HWND programEdit = nullptr;
HWND programLine = nullptr;

int WINAPI EditProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    RegisterFormClass();
    HWND window = CreateWindowExW(0, u"EditForm", u"Editor", WS_VISIBLE | WS_CAPTION | WS_BORDER, 0,
                                  0, 240, 200, nullptr, nullptr, nullptr, nullptr);
    programEdit = CreateWindowExW(
        0, u"EDIT", u"",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, 10, 10, 200,
        100, window, reinterpret_cast<HANDLE>(INT_PTR(editId)), nullptr, nullptr);
    programLine = CreateWindowExW(
        0, u"EDIT", u"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 120, 120, 20,
        window, reinterpret_cast<HANDLE>(INT_PTR(editId + 1)), nullptr, nullptr);
    SendMessageW(programEdit, WM_SETFONT, reinterpret_cast<WPARAM>(TestFont()), FALSE);
    SendMessageW(programLine, WM_SETFONT, reinterpret_cast<WPARAM>(TestFont()), FALSE);
    SetForegroundWindow(window);
    SetFocus(programEdit);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

class EditOnDevice : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(BootedDevice::SetUp());
        programEdit = nullptr;
        recorder = &messages;
        RegisterBuiltInProgram(u"\\Windows\\editor.exe", EditProgram);
        Start(u"\\Windows\\editor.exe");
        ASSERT_NE(programEdit, nullptr);
        ASSERT_NE(programLine, nullptr);
    }
    void TearDown() override {
        recorder = nullptr;
        BootedDevice::TearDown();
    }
    // The middle of a control, on the screen.
    static POINT Middle(HWND control) {
        RECT rect = {};
        GetWindowRect(control, &rect);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    MessageRecorder messages;
    // A point of the edit's client area on the screen.
    static POINT OnScreen(int x, int y) {
        POINT point = {x, y};
        ClientToScreen(programEdit, &point);
        return point;
    }
};

TEST_F(EditOnDevice, KeysTypeAndMoveTheCaret) {
    ASSERT_TRUE(TypeText("Hello\nworld"));
    std::string text;
    EXPECT_TRUE(ReadWindowText(u"EDIT", text));
    EXPECT_EQ(text, "Hello\\nworld");
    PressKey(VK_UP);
    PressKey(VK_END);
    PressKey(VK_BACK);
    ASSERT_TRUE(TypeText("!"));
    EXPECT_TRUE(ReadWindowText(u"EDIT", text));
    EXPECT_EQ(text, "Hell!\\nworld");
    // Shift with the arrows selects; typing replaces the selection.
    PressKey(VK_DOWN);
    PressKey(VK_END);
    HoldKey(VK_SHIFT);
    PressKey(VK_LEFT);
    PressKey(VK_LEFT);
    ReleaseKey(VK_SHIFT);
    ASSERT_TRUE(TypeText("k"));
    EXPECT_TRUE(ReadWindowText(u"EDIT", text));
    EXPECT_EQ(text, "Hell!\\nwork");
}

TEST_F(EditOnDevice, TheStylusPlacesTheCaretAndDragsASelection) {
    ASSERT_TRUE(TypeText("abcdef"));
    const int lineTop = 1 + LineHeightInTestFont() / 2;
    const int afterTwo = 1 + TextWidthInTestFont(u"ab");
    const int afterFive = 1 + TextWidthInTestFont(u"abcde");
    POINT down = OnScreen(afterTwo, lineTop);
    TapAt(down.x, down.y);
    EXPECT_EQ(SelectionOf(programEdit), std::make_pair(DWORD(2), DWORD(2)));
    POINT end = OnScreen(afterFive, lineTop);
    StylusDownAt(down.x, down.y);
    StylusMoveTo(end.x, end.y);
    StylusUpAt(end.x, end.y);
    EXPECT_EQ(SelectionOf(programEdit), std::make_pair(DWORD(2), DWORD(5)));
    ASSERT_TRUE(TypeText("X"));
    std::string text;
    EXPECT_TRUE(ReadWindowText(u"EDIT", text));
    EXPECT_EQ(text, "abXf");
}

TEST_F(EditOnDevice, TheScrollBarScrollsTheLines) {
    ASSERT_TRUE(TypeText("1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n11\n12"));
    const int visible = (100 - 2 - 1) / LineHeightInTestFont();
    const int last = 12 - visible;
    EXPECT_EQ(SendMessageW(programEdit, EM_GETFIRSTVISIBLELINE, 0, 0), last);
    EXPECT_EQ(GetScrollPos(programEdit, SB_VERT), last);
    RECT rect = {};
    GetWindowRect(programEdit, &rect);
    const int barX = rect.right - 1 - 6;
    TapAt(barX, rect.top + 1 + 4); // the up arrow
    EXPECT_EQ(SendMessageW(programEdit, EM_GETFIRSTVISIBLELINE, 0, 0), last - 1);
    EXPECT_EQ(GetScrollPos(programEdit, SB_VERT), last - 1);
    TapAt(barX, rect.bottom - 1 - 4); // the down arrow
    EXPECT_EQ(SendMessageW(programEdit, EM_GETFIRSTVISIBLELINE, 0, 0), last);
    // Everything fits again: the bar stays, with nothing to scroll.
    SendMessageW(programEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"short"));
    EXPECT_NE(GetWindowLongW(programEdit, GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_EQ(GetScrollPos(programEdit, SB_VERT), 0);
}

TEST_F(EditOnDevice, FocusComesAndGoesWithNotifications) {
    // The program gave the multi-line control the focus as it started.
    EXPECT_TRUE(MessageRecorder::Matches(messages.Log(), {Notification(EN_SETFOCUS)}));
    messages.Clear();
    const POINT line = Middle(programLine);
    TapAt(line.x, line.y);
    const std::vector<RecordedMessage> heard = messages.Log();
    EXPECT_TRUE(MessageRecorder::Matches(
        heard, {Notification(EN_KILLFOCUS),
                {WM_COMMAND, CheckWParam, MAKEWPARAM(editId + 1, EN_SETFOCUS)}}));
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_EQ(reinterpret_cast<HWND>(heard[0].lParam), programEdit);
    EXPECT_EQ(reinterpret_cast<HWND>(heard[1].lParam), programLine);
}

TEST_F(EditOnDevice, ASingleLineControlWithTheCaretAndThenASelection) {
    const POINT line = Middle(programLine);
    TapAt(line.x, line.y);
    ASSERT_TRUE(TypeText("Caret here"));
    for (int i = 0; i < 5; ++i) {
        PressKey(VK_LEFT);
    }
    RunUntilIdle();
    ExpectMatchesGolden(WindowPicture(programLine), "edit_single_line_caret");
    HoldKey(VK_SHIFT);
    PressKey(VK_HOME);
    ReleaseKey(VK_SHIFT);
    EXPECT_EQ(SelectionOf(programLine), std::make_pair(DWORD(0), DWORD(5)));
    ExpectMatchesGolden(WindowPicture(programLine), "edit_single_line_selection");
}

// ---------------------------------------------------------------------------------------------
// Return in a dialog: the default button's, unless a multi-line control wants it.

const DWORD dialogStyle =
    WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_BORDER | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
const DWORD notesStyle = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL;
const DIALOG_ITEM_TEMPLATE plainItems[] = {
    {100, u"EDIT", u"", notesStyle, 0, 4, 4, 80, 30},
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 38, 38, 14},
};
const DIALOG_ITEM_TEMPLATE wantingItems[] = {
    {100, u"EDIT", u"", notesStyle | ES_WANTRETURN, 0, 4, 4, 80, 30},
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 38, 38, 14},
};
const DIALOG_TEMPLATE_TABLE plainDialog = {
    dialogStyle, 0, 0, 0, 88, 56, u"Plain", 8, u"MS Sans Serif", plainItems, 2,
};
const DIALOG_TEMPLATE_TABLE wantingDialog = {
    dialogStyle, 0, 0, 0, 88, 56, u"Wanting", 8, u"MS Sans Serif", wantingItems, 2,
};
const RESOURCE_ENTRY dialogResources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(7301), &plainDialog, sizeof plainDialog},
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(7302), &wantingDialog, sizeof wantingDialog},
};
const BOOL dialogsRegistered = RegisterModuleResources(dialogResources, ARRAYSIZE(dialogResources));

WORD dialogToOpen = 0;
INT_PTR dialogResult = -2;
std::u16string textAtEnd;

INT_PTR CALLBACK NotesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetFocus(GetDlgItem(dialog, 100));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            WCHAR text[64] = {};
            GetDlgItemTextW(dialog, 100, text, 64);
            textAtEnd = text;
            EndDialog(dialog, LOWORD(wParam));
        }
        return TRUE;
    }
    return FALSE;
}

int WINAPI DialogProgram(HINSTANCE, HINSTANCE, LPWSTR, int) {
    dialogResult =
        DialogBoxParamW(nullptr, MAKEINTRESOURCEW(dialogToOpen), nullptr, NotesDialogProc, 0);
    return 0;
}

class EditInDialog : public BootedDevice {
  protected:
    void Open(WORD dialog) {
        ASSERT_TRUE(dialogsRegistered);
        dialogToOpen = dialog;
        dialogResult = -2;
        textAtEnd.clear();
        RegisterBuiltInProgram(u"\\Windows\\notesdialog.exe", DialogProgram);
        Start(u"\\Windows\\notesdialog.exe");
    }
};

TEST_F(EditInDialog, ReturnPressesTheDefaultButton) {
    Open(7301);
    ASSERT_TRUE(TypeText("a"));
    PressKey(VK_RETURN);
    EXPECT_EQ(dialogResult, IDOK);
    EXPECT_EQ(textAtEnd, u"a");
}

TEST_F(EditInDialog, ReturnBreaksTheLineOfAControlThatWantsIt) {
    Open(7302);
    ASSERT_TRUE(TypeText("a"));
    PressKey(VK_RETURN);
    ASSERT_TRUE(TypeText("b"));
    EXPECT_EQ(dialogResult, -2); // still open
    std::string text;
    EXPECT_TRUE(ReadWindowText(u"EDIT", text));
    EXPECT_EQ(text, "a\\nb");
    PressKey(VK_ESCAPE);
    EXPECT_EQ(dialogResult, IDCANCEL);
    EXPECT_EQ(textAtEnd, u"a\r\nb");
}

// ---------------------------------------------------------------------------------------------
// How it looks.

TEST_F(EditControl, AReadOnlyMultiLineControlWithMoreTextThanItShows) {
    HWND edit = Make(ES_MULTILINE | ES_READONLY | WS_BORDER | WS_VSCROLL, u"", 120, 60);
    SetWindowTextW(edit, u"A read-only control shows its text on the face colour.\r\n"
                         u"It wraps long lines between words.\r\nThe last lines are "
                         u"hidden below.");
    UpdateWindow(form);
    UpdateWindow(edit);
    ExpectMatchesGolden(WindowPicture(edit), "edit_read_only");
}

} // namespace
