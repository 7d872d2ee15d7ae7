// Text between ANSI and UTF-16 windows on the desktop PC: window texts, the list box's items,
// creation names, characters in both directions, a subclassed control handing on to its own
// procedure, dialog procedures of ANSI programs, and wsprintfA. Code page 1252 throughout.
#include <gtest/gtest.h>

#include <dialog_templates.h>
#include <resource_tables.h>

#include <cstring>
#include <string>
#include <vector>

#include "two_machines.h"

namespace {

namespace fs = std::filesystem;

class AnsiWindows : public testing::Test {
  protected:
    void SetUp() override {
        const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        folder = testing::TempDir() + "/" + name;
        fs::remove_all(folder);
        DesktopOptions options;
        options.folder = folder;
        std::string error;
        ASSERT_TRUE(BootDesktop(options, error)) << error;
        AddressMachine(DesktopMachine());
    }
    void TearDown() override {
        PowerOffDesktop();
        fs::remove_all(folder);
    }
    std::string folder;
};

// A text in both forms. Some have no ANSI form of their own: they are given in UTF-16 only and
// read in ANSI with '?' for what code page 1252 lacks.
struct Text {
    const char *name;
    const char *ansi;
    const char16_t *wide;
    bool ansiHoldsIt;
};

const Text texts[] = {
    {"Acute", "caf\xe9", u"caf\u00e9", true},
    {"Umlaut",
     "\xfc"
     "ber",
     u"\u00fc"
     u"ber",
     true},
    {"Euro", "5 \x80", u"5 \u20ac", true},
    {"OnlyHigh", "\xe9\xfc\x80\x9f", u"\u00e9\u00fc\u20ac\u0178", true},
    {"NotIn1252", "A?b", u"A\u0100b", false},
};

std::string TextName(const testing::TestParamInfo<Text> &info) {
    return info.param.name;
}

// An ANSI window's procedure is given its text in ANSI: what code page 1252 lacks is lost.
std::u16string KeptByAnAnsiWindow(const Text &text) {
    return text.ansiHoldsIt ? text.wide : u"A?b";
}

std::u16string Wide(const WCHAR *text) {
    return std::u16string(text);
}

// --- Window texts ---

class AnsiWindowTexts : public AnsiWindows, public testing::WithParamInterface<Text> {
  protected:
    HWND WideWindow() {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.lpszClassName = u"WideText";
        RegisterClassW(&windowClass);
        return CreateWindowExW(0, u"WideText", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               nullptr, nullptr);
    }
    HWND AnsiWindow() {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "AnsiText";
        RegisterClassA(&windowClass);
        return CreateWindowExA(0, "AnsiText", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                               nullptr);
    }
    // Sets the text in its own form: ANSI where it has one.
    static void SetText(HWND window, const Text &text) {
        if (text.ansiHoldsIt) {
            ASSERT_TRUE(SetWindowTextA(window, text.ansi));
        } else {
            ASSERT_TRUE(SetWindowTextW(window, text.wide));
        }
    }
    static void ExpectBothForms(HWND window, const Text &text, const std::u16string &wideForm) {
        char ansi[64] = {};
        EXPECT_EQ(GetWindowTextA(window, ansi, 64), static_cast<int>(std::strlen(text.ansi)));
        EXPECT_STREQ(ansi, text.ansi);
        WCHAR wide[64] = {};
        EXPECT_EQ(GetWindowTextW(window, wide, 64), static_cast<int>(wideForm.size()));
        EXPECT_EQ(Wide(wide), wideForm);
    }
};

TEST_P(AnsiWindowTexts, AWideWindowKeepsTextSetInAnsiAndGivesItBackInBothForms) {
    HWND window = WideWindow();
    ASSERT_NE(window, nullptr);
    SetText(window, GetParam());
    ExpectBothForms(window, GetParam(), GetParam().wide);
}

TEST_P(AnsiWindowTexts, AnAnsiWindowGivesItsTextToAWideReader) {
    HWND window = AnsiWindow();
    ASSERT_NE(window, nullptr);
    SetText(window, GetParam());
    ExpectBothForms(window, GetParam(), KeptByAnAnsiWindow(GetParam()));
}

TEST_P(AnsiWindowTexts, AnAnsiGetTextCutsAtTheBufferOfAWideWindow) {
    const Text text = GetParam();
    HWND window = WideWindow();
    SetText(window, text);
    const size_t length = std::strlen(text.ansi);
    char exact[64];
    std::memset(exact, '#', sizeof exact);
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(exact)),
              static_cast<LRESULT>(length));
    EXPECT_STREQ(exact, text.ansi);
    char shortByOne[64];
    std::memset(shortByOne, '#', sizeof shortByOne);
    EXPECT_EQ(SendMessageA(window, WM_GETTEXT, length, reinterpret_cast<LPARAM>(shortByOne)),
              static_cast<LRESULT>(length - 1));
    EXPECT_EQ(std::string(shortByOne), std::string(text.ansi, length - 1));
    EXPECT_EQ(shortByOne[length], '#'); // nothing written past the buffer
}

TEST_P(AnsiWindowTexts, AWideGetTextCutsAtTheBufferOfAnAnsiWindow) {
    const Text text = GetParam();
    HWND window = AnsiWindow();
    SetText(window, text);
    const size_t length = std::char_traits<char16_t>::length(text.wide);
    WCHAR exact[64];
    std::fill(std::begin(exact), std::end(exact), u'#');
    EXPECT_EQ(SendMessageW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(exact)),
              static_cast<LRESULT>(length));
    EXPECT_EQ(Wide(exact), KeptByAnAnsiWindow(text));
    WCHAR shortByOne[64];
    std::fill(std::begin(shortByOne), std::end(shortByOne), u'#');
    EXPECT_EQ(SendMessageW(window, WM_GETTEXT, length, reinterpret_cast<LPARAM>(shortByOne)),
              static_cast<LRESULT>(length - 1));
    EXPECT_EQ(Wide(shortByOne), Wide(exact).substr(0, length - 1));
    EXPECT_EQ(shortByOne[length], u'#');
}

INSTANTIATE_TEST_SUITE_P(Texts, AnsiWindowTexts, testing::ValuesIn(texts), TextName);

// --- The list box ---

class AnsiListBox : public AnsiWindows, public testing::WithParamInterface<Text> {};

TEST_P(AnsiListBox, ItemsAddedAndFoundInEitherFormComeBackInEither) {
    const Text text = GetParam();
    HWND list = CreateWindowExA(0, "listbox", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("first")), 0);
    const LRESULT index =
        text.ansiHoldsIt ? SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.ansi))
                         : SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.wide));
    ASSERT_EQ(index, 1);
    const size_t length = std::strlen(text.ansi);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, index, 0), static_cast<LRESULT>(length));

    char ansi[64];
    std::memset(ansi, '#', sizeof ansi);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(ansi)),
              static_cast<LRESULT>(length));
    EXPECT_STREQ(ansi, text.ansi);
    EXPECT_EQ(ansi[length + 1], '#');
    WCHAR wide[64] = {};
    EXPECT_EQ(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide)),
              static_cast<LRESULT>(length));
    EXPECT_EQ(Wide(wide), text.wide);

    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(text.wide)),
              index);
    // An ANSI search finds the item only when code page 1252 holds all of it.
    EXPECT_EQ(SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(text.ansi)),
              text.ansiHoldsIt ? index : LB_ERR);
}

INSTANTIATE_TEST_SUITE_P(Texts, AnsiListBox, testing::ValuesIn(texts), TextName);

TEST_F(AnsiWindows, AnAnsiListBoxItemBeyondTheListIsAnError) {
    HWND list = CreateWindowExA(0, "listbox", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("only"));
    char text[16] = "untouched";
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), LB_ERR);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 1, 0), LB_ERR);
    EXPECT_STREQ(text, "untouched");
}

// --- Creation names ---

std::vector<std::string> creations;

LRESULT CALLBACK AnsiCreationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        creations.push_back(std::string(creation->lpszName) + " of " + creation->lpszClass);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<std::u16string> wideCreations;

LRESULT CALLBACK WideCreationProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        wideCreations.push_back(std::u16string(creation->lpszName) + u" of " + creation->lpszClass);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(AnsiWindows, EachProcedureIsToldItsWindowsNamesInItsOwnForm) {
    creations.clear();
    wideCreations.clear();
    WNDCLASSA ansiClass = {};
    ansiClass.lpfnWndProc = AnsiCreationProc;
    ansiClass.lpszClassName = "Cr\xe9"
                              "ateA";
    ASSERT_NE(RegisterClassA(&ansiClass), 0);
    WNDCLASSW wideClass = {};
    wideClass.lpfnWndProc = WideCreationProc;
    wideClass.lpszClassName = u"Cr\u00e9ateW";
    ASSERT_NE(RegisterClassW(&wideClass), 0);

    // Each created by a caller of the other form.
    ASSERT_NE(CreateWindowExW(0, u"Cr\u00e9ateA", u"caf\u00e9 \u20ac", WS_POPUP, 0, 0, 10, 10,
                              nullptr, nullptr, nullptr, nullptr),
              nullptr);
    ASSERT_NE(CreateWindowExA(0,
                              "Cr\xe9"
                              "ateW",
                              "caf\xe9 \x80", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr),
              nullptr);
    EXPECT_EQ(creations, std::vector<std::string>{"caf\xe9 \x80 of Cr\xe9"
                                                  "ateA"});
    EXPECT_EQ(wideCreations, std::vector<std::u16string>{u"caf\u00e9 \u20ac of Cr\u00e9ateW"});
}

// --- Characters ---

// The characters an ANSI program's loop and procedure got, and a UTF-16 program's.
std::vector<WPARAM> ansiLoopCharacters;
std::vector<WPARAM> ansiProcCharacters;
std::vector<WPARAM> wideLoopCharacters;
std::vector<WPARAM> wideProcCharacters;

LRESULT CALLBACK AnsiCharactersProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) {
        ansiProcCharacters.push_back(wParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI AnsiCharactersProgram(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = AnsiCharactersProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "CharactersA";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "CharactersA", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                    nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        if (message.message == WM_CHAR) {
            ansiLoopCharacters.push_back(message.wParam);
        }
        DispatchMessageA(&message);
    }
    return 0;
}

// What the UTF-16 program read of the ANSI program's window, by the two ways there are.
std::vector<std::u16string> wideProgramRead;
const UINT readTheAnsiWindow = WM_USER + 4;

LRESULT CALLBACK WideCharactersProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == readTheAnsiWindow) {
        HWND ansiWindow = FindWindowW(u"CharactersA", nullptr);
        WCHAR text[32] = {};
        GetWindowTextW(ansiWindow, text, 32);
        wideProgramRead.push_back(text);
        WCHAR sent[32] = {};
        SendMessageW(ansiWindow, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(sent));
        wideProgramRead.push_back(sent);
        return 0;
    }
    if (message == WM_CHAR) {
        wideProcCharacters.push_back(wParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int WINAPI WideCharactersProgram(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = WideCharactersProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = u"CharactersW";
    RegisterClassW(&windowClass);
    CreateWindowExW(0, u"CharactersW", u"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                    nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (message.message == WM_CHAR) {
            wideLoopCharacters.push_back(message.wParam);
        }
        DispatchMessageW(&message);
    }
    return 0;
}

struct Character {
    WPARAM ansi;
    WPARAM wide;
};

// 0x81 has no character in code page 1252; U+0100 has no byte.
const Character fromAnsi[] = {{0xE9, 0x00E9}, {0x80, 0x20AC}, {0x9F, 0x0178}, {'a', 'a'}};
const Character fromWide[] = {{0xE9, 0x00E9}, {0x80, 0x20AC}, {0x9F, 0x0178}, {'?', 0x0100}};

class AnsiCharacters : public AnsiWindows {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(AnsiWindows::SetUp());
        RegisterBuiltInAnsiProgram(u"C:\\Windows\\chars_a.exe", AnsiCharactersProgram);
        RegisterBuiltInProgram(u"C:\\Windows\\chars_w.exe", WideCharactersProgram);
        ansiLoopCharacters.clear();
        ansiProcCharacters.clear();
        wideLoopCharacters.clear();
        wideProcCharacters.clear();
        for (const char *path : {"C:\\Windows\\chars_a.exe", "C:\\Windows\\chars_w.exe"}) {
            std::string line = path;
            PROCESS_INFORMATION information = {};
            ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, nullptr, &information));
            CloseHandle(information.hProcess);
            CloseHandle(information.hThread);
        }
        RunUntilIdle();
        ansiWindow = FindWindowA("CharactersA", nullptr);
        wideWindow = FindWindowA("CharactersW", nullptr);
        ASSERT_NE(ansiWindow, nullptr);
        ASSERT_NE(wideWindow, nullptr);
    }
    HWND ansiWindow = nullptr;
    HWND wideWindow = nullptr;
};

TEST_F(AnsiCharacters, AnAnsiCharacterPostedReachesAWideProgramInUtf16) {
    std::vector<WPARAM> expected;
    for (const Character &character : fromAnsi) {
        EXPECT_TRUE(PostMessageA(wideWindow, WM_CHAR, character.ansi, 1));
        expected.push_back(character.wide);
    }
    RunUntilIdle();
    EXPECT_EQ(wideLoopCharacters, expected);
    EXPECT_EQ(wideProcCharacters, expected);
}

TEST_F(AnsiCharacters, AWideCharacterPostedReachesAnAnsiProgramInAnsi) {
    std::vector<WPARAM> expected;
    for (const Character &character : fromWide) {
        EXPECT_TRUE(PostMessageW(ansiWindow, WM_CHAR, character.wide, 1));
        expected.push_back(character.ansi);
    }
    RunUntilIdle();
    EXPECT_EQ(ansiLoopCharacters, expected);
    EXPECT_EQ(ansiProcCharacters, expected);
}

TEST_F(AnsiCharacters, ACharacterSentCrossesToTheProceduresForm) {
    std::vector<WPARAM> expectedWide;
    for (const Character &character : fromAnsi) {
        SendMessageA(wideWindow, WM_CHAR, character.ansi, 1);
        expectedWide.push_back(character.wide);
    }
    std::vector<WPARAM> expectedAnsi;
    for (const Character &character : fromWide) {
        SendMessageW(ansiWindow, WM_CHAR, character.wide, 1);
        expectedAnsi.push_back(character.ansi);
    }
    EXPECT_EQ(wideProcCharacters, expectedWide);
    EXPECT_EQ(ansiProcCharacters, expectedAnsi);
}

TEST_F(AnsiCharacters, AWideProgramReadsAnAnsiProgramsWindowTextInUtf16) {
    wideProgramRead.clear();
    ASSERT_TRUE(SetWindowTextA(ansiWindow, "\xfc"
                                           "ber 5 \x80"));
    PostMessageW(wideWindow, readTheAnsiWindow, 0, 0);
    RunUntilIdle();
    EXPECT_EQ(wideProgramRead, (std::vector<std::u16string>{u"\u00fc"
                                                            u"ber 5 \u20ac",
                                                            u"\u00fc"
                                                            u"ber 5 \u20ac"}));
}

// --- A subclassed control ---

WNDPROC listBoxProc = nullptr;
std::vector<std::string> subclassSaw;

LRESULT CALLBACK AnsiListBoxSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_ADDSTRING) {
        subclassSaw.push_back(reinterpret_cast<const char *>(lParam));
    }
    return CallWindowProcA(listBoxProc, window, message, wParam, lParam);
}

TEST_F(AnsiWindows, ASubclassHandsAnsiTextOnToTheControlsOwnProcedure) {
    subclassSaw.clear();
    HWND list = CreateWindowExW(0, u"listbox", u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(list, nullptr);
    listBoxProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AnsiListBoxSubclass)));
    ASSERT_NE(listBoxProc, nullptr);

    EXPECT_EQ(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("caf\xe9")), 0);
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"5 \u20ac")), 1);
    EXPECT_EQ(subclassSaw, (std::vector<std::string>{"caf\xe9", "5 \x80"}));

    WCHAR item[16] = {};
    SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(Wide(item), u"caf\u00e9");
    SendMessageW(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(Wide(item), u"5 \u20ac");
    char ansi[16] = {};
    EXPECT_EQ(SendMessageA(list, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(ansi)), 3);
    EXPECT_STREQ(ansi, "5 \x80");
}

// --- Dialogs of ANSI programs ---

const DWORD dialogStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
const WORD labelId = 310;

const DIALOG_ITEM_TEMPLATE dialogItems[] = {
    {labelId, u"STATIC", u"Gr\u00f6\u00dfe \u20ac", WS_VISIBLE | SS_LEFT, 0, 4, 4, 80, 9},
    {IDOK, u"BUTTON", u"OK", WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 0, 4, 18, 38, 14},
};
const DIALOG_TEMPLATE_TABLE ansiDialog = {
    dialogStyle, 0, 0, 0, 88, 36, u"Caf\u00e9", 8, u"MS Sans Serif", dialogItems, 2,
};
const WORD ansiDialogId = 4711;
const RESOURCE_ENTRY resources[] = {
    {MAKEINTRESOURCEW(5), MAKEINTRESOURCEW(ansiDialogId), &ansiDialog, sizeof ansiDialog},
};
const BOOL registered = RegisterModuleResources(resources, ARRAYSIZE(resources));

std::vector<std::string> dialogSaw;
const UINT endTheDialog = WM_USER + 3;

INT_PTR CALLBACK AnsiDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        char label[32] = {};
        GetDlgItemTextA(dialog, labelId, label, 32);
        dialogSaw.push_back(std::string("label ") + label);
        char caption[32] = {};
        GetWindowTextA(dialog, caption, 32);
        dialogSaw.push_back(std::string("caption ") + caption);
        return TRUE;
    }
    case WM_SETTEXT:
        dialogSaw.push_back(std::string("set ") + reinterpret_cast<const char *>(lParam));
        return FALSE;
    case endTheDialog:
        EndDialog(dialog, static_cast<INT_PTR>(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR modalResult = 0;

int WINAPI ModalAnsiProgram(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    modalResult =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(ansiDialogId), nullptr, AnsiDialogProc, 0);
    return 0;
}

class AnsiDialogs : public AnsiWindows {
  protected:
    void SetUp() override {
        ASSERT_TRUE(registered);
        ASSERT_NO_FATAL_FAILURE(AnsiWindows::SetUp());
        dialogSaw.clear();
    }
};

TEST_F(AnsiDialogs, AModelessDialogsProcedureGetsAnsiText) {
    HWND dialog = CreateDialogParamA(GetModuleHandleW(nullptr), MAKEINTRESOURCEA(ansiDialogId),
                                     nullptr, AnsiDialogProc, 0);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"\u00fcber \u20ac"));
    EXPECT_EQ(dialogSaw, (std::vector<std::string>{"label Gr\xf6\xdf"
                                                   "e \x80",
                                                   "caption Caf\xe9",
                                                   "set \xfc"
                                                   "ber \x80"}));
    char caption[32] = {};
    GetWindowTextA(dialog, caption, 32);
    EXPECT_STREQ(caption, "\xfc"
                          "ber \x80");
    DestroyWindow(dialog);
}

TEST_F(AnsiDialogs, AModalDialogsProcedureGetsAnsiTextAndItsResult) {
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\modal.exe", ModalAnsiProgram);
    modalResult = 0;
    char line[] = "C:\\Windows\\modal.exe";
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                               &information));
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    HWND dialog = FindWindowA(nullptr, "Caf\xe9");
    ASSERT_NE(dialog, nullptr);
    SendMessageW(dialog, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"\u00e9t\u00e9"));
    PostMessageA(dialog, endTheDialog, 17, 0);
    RunUntilIdle();
    EXPECT_EQ(modalResult, 17);
    EXPECT_EQ(dialogSaw, (std::vector<std::string>{"label Gr\xf6\xdf"
                                                   "e \x80",
                                                   "caption Caf\xe9", "set \xe9t\xe9"}));
}

// --- wsprintfA ---

TEST_F(AnsiWindows, WsprintfAConvertsEachKindOfArgument) {
    char buffer[128];
    const int written =
        wsprintfA(buffer, "%s|%S|%d|%lu|%u|%S", "caf\xe9", u"\u00fc\u20ac\u0100", -42,
                  static_cast<DWORD>(4294967295u), 7u, static_cast<const WCHAR *>(nullptr));
    EXPECT_STREQ(buffer, "caf\xe9|\xfc\x80?|-42|4294967295|7|(null)");
    EXPECT_EQ(written, static_cast<int>(std::strlen(buffer)));
}

struct FormatLimit {
    const char *name;
    size_t filler;    // characters of the %s argument
    const char *rest; // what follows it in the format
    size_t expected;  // characters written
};

class WsprintfLimit : public AnsiWindows, public testing::WithParamInterface<FormatLimit> {};

TEST_P(WsprintfLimit, OutputStopsAt1023CharactersAndItsTerminator) {
    const FormatLimit limit = GetParam();
    const std::string filler(limit.filler, 'a');
    const std::string format = std::string("%s") + limit.rest;
    std::vector<char> buffer(2048, '#');
    const int written = wsprintfA(buffer.data(), format.c_str(), filler.c_str(), 42);
    EXPECT_EQ(written, static_cast<int>(limit.expected));
    // The output is the whole text cut to its first characters.
    const std::string full = filler + (std::string(limit.rest) == "%d" ? "42" : limit.rest);
    EXPECT_EQ(std::string(buffer.data()), full.substr(0, limit.expected));
    EXPECT_EQ(buffer[limit.expected], '\0');
    EXPECT_EQ(buffer[1024], '#'); // never past the 1024 characters Windows allows
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, WsprintfLimit,
    testing::Values(FormatLimit{"ShortOfTheLimit", 1000, "", 1000},
                    FormatLimit{"TextExactlyAtTheLimit", 1023, "", 1023},
                    FormatLimit{"TextOneOver", 1024, "", 1023},
                    FormatLimit{"NumberEndingExactlyAtTheLimit", 1021, "%d", 1023},
                    FormatLimit{"NumberCrossingTheLimit", 1022, "%d", 1023},
                    FormatLimit{"LiteralCrossingTheLimit", 1022, "xyz", 1023}),
    [](const testing::TestParamInfo<FormatLimit> &info) { return std::string(info.param.name); });

} // namespace
