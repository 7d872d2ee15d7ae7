// Shortcut files as text and as files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <shellapi.h>

#include "booted_device.h"
#include "kernel/code_pages.h"
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

} // namespace
