// Shortcut files as text and as files, and the Start menu that lists them: opened from the task
// bar, closed by a tap elsewhere, starting the program of the entry tapped.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <shellapi.h>

#include "booted_device.h"
#include "device/automation.h"
#include "device/boot.h"
#include "engine/png_files.h"
#include "gdi/colors.h"
#include "kernel/code_pages.h"
#include "kernel/scheduler.h"
#include "shell/shell.h"
#include "shell/shortcut_files.h"

namespace {

std::string Parsed(std::string_view bytes) {
    std::string target;
    return ParseShortcut(bytes, target) ? target : "(refused)";
}

TEST(ShortcutText, ATargetWithBlanksAndArgumentsGoesAndComesBack) {
    const std::string target = "\"\\Program Files\\Pennakey\\pennakey.exe\" /r file.txt";
    const std::string bytes = FormatShortcut(target);
    EXPECT_EQ(bytes, "50#" + target);
    EXPECT_EQ(Parsed(bytes), target);
    EXPECT_EQ(FormatShortcut("\\Windows\\notes.exe"), "18#\\Windows\\notes.exe");
}

TEST(ShortcutText, OneLineEndMayFollowTheTarget) {
    EXPECT_EQ(Parsed("3#abc\r\n"), "abc");
    EXPECT_EQ(Parsed("3#abc\n"), "abc");
    EXPECT_EQ(Parsed("3#abc\r"), "abc");
    EXPECT_EQ(Parsed("3#abc\r\n\r\n"), "(refused)");
    EXPECT_EQ(Parsed("3#abc\n\r"), "(refused)");
    EXPECT_EQ(Parsed("5#abc\r\n"), "(refused)"); // the count never includes the line end
    EXPECT_EQ(Parsed("3#a\nb"), "(refused)");
    EXPECT_EQ(Parsed(std::string_view("3#a\0b", 5)), "(refused)");
}

TEST(ShortcutText, TheFileMayReachTheLimitButNotCrossIt) {
    const std::string fits(shortcutFileLimit - 5, 'a'); // "1019#" and the target: the limit
    ASSERT_EQ(FormatShortcut(fits).size(), shortcutFileLimit);
    EXPECT_EQ(Parsed(FormatShortcut(fits)), fits);
    const std::string over = fits + "a";
    EXPECT_EQ(FormatShortcut(over), "");
    EXPECT_EQ(Parsed(std::to_string(over.size()) + "#" + over), "(refused)");
    // The line end counts towards the file's size.
    const std::string withLineEnd(shortcutFileLimit - 7, 'b');
    EXPECT_EQ(Parsed("1017#" + withLineEnd + "\r\n"), withLineEnd);
    EXPECT_EQ(Parsed("1018#" + withLineEnd + "b\r\n"), "(refused)");
}

TEST(ShortcutText, DamagedFilesAreRefused) {
    for (const char *bytes : {"", "#", "#abc", "abc", "3abc", "3", "3a#abc", "a3#abc", " 3#abc",
                              "-3#abc", "+3#abc", "3 #abc", "4#abc", "2#abc", "0#", "3#", "1#\r\n",
                              "99999999999999999999999#abc", "18446744073709551619#abc"})
        EXPECT_EQ(Parsed(bytes), "(refused)") << bytes;
    EXPECT_EQ(Parsed("003#abc"), "abc"); // the count is a number, however it is written
    EXPECT_EQ(Parsed("4#a#bc"), "a#bc");
    EXPECT_EQ(FormatShortcut(""), "");
    EXPECT_EQ(FormatShortcut("a\r\nb"), "");
}

TEST(ShortcutText, ATargetSplitsIntoPathAndArguments) {
    struct Case {
        std::u16string target, path, arguments;
    };
    const Case cases[] = {
        {u"\"\\Program Files\\a b.exe\" /r x.txt", u"\\Program Files\\a b.exe", u"/r x.txt"},
        {u"\"\\Program Files\\a b.exe\"", u"\\Program Files\\a b.exe", u""},
        {u"\"\\a b.exe\"x", u"\\a b.exe", u"x"},
        {u"\\Windows\\notes.exe \\My Documents\\x.txt", u"\\Windows\\notes.exe",
         u"\\My Documents\\x.txt"},
        {u"\\Windows\\notes.exe", u"\\Windows\\notes.exe", u""},
        {u"  notes.exe\t \targ ", u"notes.exe", u"arg "},
        {u"\"\\never closed.exe arg", u"\\never closed.exe arg", u""},
        {u"\"\"", u"", u""},
        {u"", u"", u""},
    };
    for (const Case &test : cases) {
        std::u16string path = u"old";
        std::u16string arguments = u"old";
        SplitShortcutTarget(test.target, path, arguments);
        EXPECT_EQ(path, test.path) << Utf8FromWide(test.target);
        EXPECT_EQ(arguments, test.arguments) << Utf8FromWide(test.target);
    }
}

std::string HostBytes(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteHostFile(const std::string &path, const std::string &bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

class ShortcutFiles : public BootedDevice {};

TEST_F(ShortcutFiles, WrittenInAnsiAndReadBack) {
    std::u16string shortcut = u"\\My Documents\\Caf\u00e9 menu.lnk";
    std::u16string target = u"\"\\Program Files\\Caf\u00e9\\menu.exe\" -x";
    ASSERT_TRUE(SHCreateShortcut(shortcut.data(), target.data()));
    EXPECT_EQ(HostBytes(folder + "/My Documents/Caf\xc3\xa9 menu.lnk"),
              "33#\"\\Program Files\\Caf\xe9\\menu.exe\" -x");
    WCHAR read[64] = {};
    ASSERT_TRUE(SHGetShortcutTarget(shortcut.c_str(), read, 64));
    EXPECT_EQ(std::u16string(read), target);

    // An existing shortcut stays as it was.
    std::u16string other = u"\\Windows\\notes.exe";
    EXPECT_FALSE(SHCreateShortcut(shortcut.data(), other.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    ASSERT_TRUE(SHGetShortcutTarget(shortcut.c_str(), read, 64));
    EXPECT_EQ(std::u16string(read), target);

    // A character the code page lacks is written as '?', as Windows converts it.
    std::u16string greek = u"\\Temp\\greek.lnk";
    std::u16string omega = u"\\Windows\\\u03a9.exe";
    ASSERT_TRUE(SHCreateShortcut(greek.data(), omega.data()));
    EXPECT_EQ(HostBytes(folder + "/Temp/greek.lnk"), "14#\\Windows\\?.exe");
}

TEST_F(ShortcutFiles, TheTargetMustFitTheBuffer) {
    std::u16string shortcut = u"\\Temp\\notes.lnk";
    std::u16string target = u"\\Windows\\notes.exe"; // 18 characters
    ASSERT_TRUE(SHCreateShortcut(shortcut.data(), target.data()));
    WCHAR read[32];
    std::fill(std::begin(read), std::end(read), u'x');
    EXPECT_TRUE(SHGetShortcutTarget(shortcut.c_str(), read, 19));
    EXPECT_EQ(std::u16string(read), target);
    EXPECT_FALSE(SHGetShortcutTarget(shortcut.c_str(), read, 18));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(SHGetShortcutTarget(shortcut.c_str(), read, 0));
    EXPECT_FALSE(SHGetShortcutTarget(shortcut.c_str(), nullptr, 32));
    EXPECT_FALSE(SHGetShortcutTarget(nullptr, read, 32));
}

TEST_F(ShortcutFiles, BadArgumentsAndDamagedFilesFail) {
    std::u16string shortcut = u"\\Temp\\bad.lnk";
    std::u16string empty;
    std::u16string broken = u"a\r\nb";
    std::u16string target = u"\\Windows\\notes.exe";
    EXPECT_FALSE(SHCreateShortcut(nullptr, target.data()));
    EXPECT_FALSE(SHCreateShortcut(shortcut.data(), nullptr));
    EXPECT_FALSE(SHCreateShortcut(empty.data(), target.data()));
    EXPECT_FALSE(SHCreateShortcut(shortcut.data(), empty.data()));
    EXPECT_FALSE(SHCreateShortcut(shortcut.data(), broken.data()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    std::u16string tooLong(shortcutFileLimit, u'a');
    EXPECT_FALSE(SHCreateShortcut(shortcut.data(), tooLong.data()));
    EXPECT_FALSE(std::filesystem::exists(folder + "/Temp/bad.lnk"));
    std::u16string nowhere = u"\\No Such Folder\\x.lnk";
    EXPECT_FALSE(SHCreateShortcut(nowhere.data(), target.data()));

    WCHAR read[32];
    EXPECT_FALSE(SHGetShortcutTarget(u"\\Temp\\missing.lnk", read, 32));
    for (const std::string &bytes : {std::string("18#\\Windows\\notes.ex"), std::string("notes"),
                                     std::string("1x#\\Windows\\notes.exe"), std::string("0#")}) {
        WriteHostFile(folder + "/Temp/bad.lnk", bytes);
        EXPECT_FALSE(SHGetShortcutTarget(shortcut.c_str(), read, 32)) << bytes;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID)) << bytes;
    }
    // A file above the limit is not read at all, whatever it holds.
    WriteHostFile(folder + "/Temp/bad.lnk", "1#a" + std::string(shortcutFileLimit, '\n'));
    EXPECT_FALSE(SHGetShortcutTarget(shortcut.c_str(), read, 32));
    WriteHostFile(folder + "/Temp/bad.lnk", "1#a\r\n");
    EXPECT_TRUE(SHGetShortcutTarget(shortcut.c_str(), read, 32));
    EXPECT_EQ(std::u16string(read), u"a");
}

// What the menu's test program was started with, one command line a start.
std::vector<std::u16string> started;

int WINAPI MenuTestProgram(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    started.push_back(commandLine != nullptr ? commandLine : u"(none)");
    return 0;
}

class StartMenu : public BootedDevice {
  protected:
    void SetUp() override {
        BootedDevice::SetUp();
        started.clear();
        RegisterBuiltInProgram(u"\\Windows\\menu test.exe", MenuTestProgram);
    }

    // Puts a shortcut into a device folder, made when missing.
    void AddShortcut(const std::u16string &shortcut, const std::u16string &target) {
        std::string host = folder + Utf8FromWide(shortcut);
        std::replace(host.begin(), host.end(), '\\', '/');
        std::filesystem::create_directories(std::filesystem::path(host).parent_path());
        std::u16string name = shortcut;
        std::u16string text = target;
        ASSERT_TRUE(SHCreateShortcut(name.data(), text.data()));
    }
    void MakeFolder(const std::string &device) {
        std::filesystem::create_directories(folder + "/" + device);
    }

    // Taps Start on the task bar along the bottom of the screen.
    static void TapStart() {
        RECT bar;
        GetWindowRect(FindShownWindow({u"HHTaskBar"}), &bar);
        TapAt(30, (bar.top + bar.bottom) / 2);
    }
    static HWND Menu() {
        return FindShownWindow({u"StartMenu"});
    }
    static std::string MenuText() {
        std::string text;
        return ReadWindowText(u"StartMenu", text) ? text : "(no menu)";
    }
    // The middle of a row of the open menu.
    static POINT RowCentre(int row) {
        RECT menu = {};
        GetWindowRect(Menu(), &menu);
        return POINT{menu.left + 20,
                     menu.top + 1 + row * startMenuRowHeight + startMenuRowHeight / 2};
    }
    static void TapRow(int row) {
        const POINT centre = RowCentre(row);
        TapAt(centre.x, centre.y);
    }

    Surface Screenshot() {
        const std::string picture = folder + "/menu.png";
        Surface screen;
        EXPECT_TRUE(SaveScreenshot(picture));
        EXPECT_TRUE(ReadSurfacePng(picture, screen));
        return screen;
    }
    // Pixels of the colour inside a box of the screen.
    static int Count(const Surface &screen, const RECT &box, COLORREF color) {
        int count = 0;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x)
                count += ColorFromPixel(screen.At(x, y)) == color;
        return count;
    }
};

TEST_F(StartMenu, ListsThePocketPcShortcutsAndStartsTheOneTapped) {
    const std::u16string programs = u"\\Windows\\Start Menu\\Programs\\";
    MakeFolder("Windows/Start Menu/Programs/Games.lnk"); // a folder, whatever its name
    AddShortcut(programs + u"zebra.lnk", u"\"\\Windows\\menu test.exe\" last one");
    AddShortcut(programs + u"Alpha.lnk", u"\"\\Windows\\menu test.exe\" first");
    AddShortcut(programs + u"beta.lnk", u"\"\\Windows\\menu test.exe\"");
    WriteHostFile(folder + "/Windows/Start Menu/Programs/readme.txt", "4#none");

    TapStart();
    ASSERT_TRUE(WaitForWindow({u"StartMenu"}, true, 1000));
    EXPECT_EQ(MenuText(), "Alpha\\nbeta\\nzebra");
    RECT place = {};
    GetWindowRect(Menu(), &place);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.bottom, 320 - taskBarHeight);
    EXPECT_EQ(place.bottom - place.top, 3 * startMenuRowHeight + 2);
    EXPECT_EQ(GetForegroundWindow(), Menu());

    // Shown on the screen: a black frame, the menu's face and each name's ink.
    const Surface screen = Screenshot();
    EXPECT_EQ(ColorFromPixel(screen.At(0, place.top)), RGB(0, 0, 0));
    EXPECT_EQ(ColorFromPixel(screen.At(place.right - 2, place.top + 2)), GetSysColor(COLOR_MENU));
    for (int row = 0; row < 3; ++row) {
        const int top = place.top + 1 + row * startMenuRowHeight;
        EXPECT_GT(Count(screen, RECT{1, top, place.right - 1, top + startMenuRowHeight},
                        GetSysColor(COLOR_MENUTEXT)),
                  10)
            << row;
    }

    TapRow(2);
    EXPECT_EQ(started, std::vector<std::u16string>{u"last one"});
    EXPECT_EQ(Menu(), nullptr);
    EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr);

    TapStart();
    ASSERT_NE(Menu(), nullptr);
    TapRow(0);
    TapStart();
    TapRow(1);
    EXPECT_EQ(started, (std::vector<std::u16string>{u"last one", u"first", u""}));
    EXPECT_EQ(Menu(), nullptr);
}

TEST_F(StartMenu, TheStylusThatOpensItMaySlideOntoAnEntry) {
    AddShortcut(u"\\Windows\\Start Menu\\Programs\\Test.lnk", u"\"\\Windows\\menu test.exe\" slid");
    StylusDownAt(30, 307);
    ASSERT_NE(Menu(), nullptr);
    StylusUpAt(30, 307); // lifted on Start, the menu stays
    ASSERT_NE(Menu(), nullptr);
    EXPECT_TRUE(started.empty());

    TapStart(); // closed again
    EXPECT_EQ(Menu(), nullptr);
    StylusDownAt(30, 307);
    ASSERT_NE(Menu(), nullptr);
    const POINT entry = RowCentre(0);
    StylusMoveTo(entry.x, entry.y);
    StylusUpAt(entry.x, entry.y);
    EXPECT_EQ(started, std::vector<std::u16string>{u"slid"});
    EXPECT_EQ(Menu(), nullptr);
}

TEST_F(StartMenu, AnEmptyFolderShowsOneGreyedRowThatDoesNothing) {
    TapStart(); // no folder at all
    ASSERT_TRUE(WaitForWindow({u"StartMenu"}, true, 1000));
    EXPECT_EQ(MenuText(), "(empty)");
    RECT place = {};
    GetWindowRect(Menu(), &place);
    EXPECT_EQ(place.bottom - place.top, startMenuRowHeight + 2);
    const Surface screen = Screenshot();
    const RECT row = {1, place.top + 1, place.right - 1, place.bottom - 1};
    EXPECT_GT(Count(screen, row, GetSysColor(COLOR_GRAYTEXT)), 10);
    EXPECT_EQ(Count(screen, row, GetSysColor(COLOR_MENUTEXT)), 0);

    TapRow(0);
    EXPECT_NE(Menu(), nullptr);
    TapStart();
    EXPECT_EQ(Menu(), nullptr);

    // A folder holding no shortcut is empty too.
    MakeFolder("Windows/Start Menu/Programs");
    WriteHostFile(folder + "/Windows/Start Menu/Programs/notes.txt", "");
    TapStart();
    EXPECT_EQ(MenuText(), "(empty)");
    EXPECT_TRUE(started.empty());
}

TEST_F(StartMenu, ATapOutsideClosesItAndReachesNothingElse) {
    AddShortcut(u"\\Windows\\Start Menu\\Programs\\Test.lnk", u"\"\\Windows\\menu test.exe\"");
    Start(u"\\Windows\\notes.exe");
    const HWND notes = GetForegroundWindow();
    ASSERT_TRUE(TypeText("ab"));

    // On Notes: the caret would go to the start if the tap reached it.
    TapStart();
    ASSERT_NE(Menu(), nullptr);
    StylusDownAt(4, 30);
    EXPECT_EQ(Menu(), nullptr); // hidden at once
    EXPECT_NE(FindWindowW(u"StartMenu", nullptr), nullptr);
    StylusUpAt(4, 30);
    EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr);
    EXPECT_EQ(GetForegroundWindow(), notes);
    ASSERT_TRUE(TypeText("c"));
    std::string text;
    ASSERT_TRUE(ReadWindowText(u"NotesEdit", text));
    EXPECT_EQ(text, "abc");

    // On the desktop, on the task bar's far end, with Start again, and with Escape.
    for (const POINT point : {POINT{120, 250}, POINT{200, 307}, POINT{30, 307}}) {
        TapStart();
        ASSERT_NE(Menu(), nullptr);
        TapAt(point.x, point.y);
        EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr) << point.x << " " << point.y;
        EXPECT_EQ(GetForegroundWindow(), notes);
    }
    TapStart();
    PressKey(VK_ESCAPE);
    EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr);
    EXPECT_EQ(GetForegroundWindow(), notes);
    EXPECT_TRUE(started.empty());
}

TEST_F(StartMenu, AProgramComingForwardClosesIt) {
    TapStart();
    ASSERT_NE(Menu(), nullptr);
    Start(u"\\Windows\\notes.exe");
    EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr);
    const HWND notes = FindShownWindow({u"Notes"});
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(GetForegroundWindow(), notes);
    // Taps reach windows again.
    TapStart();
    EXPECT_NE(Menu(), nullptr);
}

TEST_F(StartMenu, ShortcutsThatLeadNowhereJustCloseIt) {
    const std::u16string programs = u"\\Windows\\Start Menu\\Programs\\";
    AddShortcut(programs + u"a missing.lnk", u"\\Windows\\missing.exe");
    WriteHostFile(folder + "/Windows/Start Menu/Programs/b damaged.lnk",
                  "40#\\Windows\\menu test.exe");
    AddShortcut(programs + u"c quoted nothing.lnk", u"\"\" arguments");
    TapStart();
    EXPECT_EQ(MenuText(), "a missing\\nb damaged\\nc quoted nothing");
    for (int row = 0; row < 3; ++row) {
        if (Menu() == nullptr)
            TapStart();
        ASSERT_NE(Menu(), nullptr);
        TapRow(row);
        EXPECT_EQ(FindWindowW(u"StartMenu", nullptr), nullptr) << row;
    }
    EXPECT_TRUE(started.empty());
    // The shell still answers.
    TapStart();
    EXPECT_NE(Menu(), nullptr);
}

TEST_F(StartMenu, MoreShortcutsThanFitShowAsManyRowsAsFit) {
    for (int i = 0; i < 20; ++i) {
        const std::u16string number = {static_cast<char16_t>(u'a' + i)};
        AddShortcut(u"\\Windows\\Start Menu\\Programs\\" + number + u".lnk",
                    u"\"\\Windows\\menu test.exe\" " + number);
    }
    TapStart();
    RECT place = {};
    GetWindowRect(Menu(), &place);
    const int rows = (320 - taskBarHeight - 2) / startMenuRowHeight; // 14
    EXPECT_EQ(place.bottom - place.top, rows * startMenuRowHeight + 2);
    EXPECT_GE(place.top, 0);
    TapRow(rows - 1);
    EXPECT_EQ(started, std::vector<std::u16string>{u"n"});
}

class HandheldStartMenu : public StartMenu {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetScreenByName(options, "hpc"));
        StartMenu::SetUp();
    }
};

TEST_F(HandheldStartMenu, ListsTheHandheldProgramsFolder) {
    AddShortcut(u"\\Windows\\Programs\\Handheld.lnk", u"\"\\Windows\\menu test.exe\" hpc");
    MakeFolder("Windows/Start Menu/Programs");
    AddShortcut(u"\\Windows\\Start Menu\\Programs\\Pocket.lnk", u"\"\\Windows\\menu test.exe\"");
    TapStart();
    ASSERT_TRUE(WaitForWindow({u"StartMenu"}, true, 1000));
    EXPECT_EQ(MenuText(), "Handheld");
    RECT place = {};
    GetWindowRect(Menu(), &place);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.bottom, 240 - taskBarHeight);
    TapRow(0);
    EXPECT_EQ(started, std::vector<std::u16string>{u"hpc"});
    EXPECT_EQ(Menu(), nullptr);
}

} // namespace
