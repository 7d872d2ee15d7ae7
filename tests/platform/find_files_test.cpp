#include <gtest/gtest.h>

#include "kernel/host_paths.h"
#include "temp_folder.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class FindFiles : public testing::Test {
  protected:
    void SetUp() override {
        folder.Write("Alpha.txt", "12345");
        folder.Write("beta.TXT", "");
        folder.Write("gamma", "g");
        folder.Write("delta.txt.bak", "d");
        std::filesystem::create_directory(folder.Join("Sub"));
    }
    void TearDown() override {
        SetDeviceFolder("");
    }

    // Every name the A functions find for a pattern inside the folder, in the order found.
    std::vector<std::string> Find(const std::string &pattern) {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(folder.Join(pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            return names;
        }
        do {
            names.push_back(found.cFileName);
        } while (FindNextFileA(search, &found));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(search));
        return names;
    }

    TempFolder folder;
};

struct PatternCase {
    const char *pattern;
    std::vector<std::string> names;
};

class Patterns : public FindFiles, public testing::WithParamInterface<PatternCase> {};

// Whatever order the host lists them in, names come by name without regard to case.
TEST_P(Patterns, FindMatchingNamesInNameOrder) {
    EXPECT_EQ(Find(GetParam().pattern), GetParam().names);
}

const std::vector<std::string> everything = {"Alpha.txt", "beta.TXT", "delta.txt.bak", "gamma",
                                             "Sub"};

INSTANTIATE_TEST_SUITE_P(
    FindFiles, Patterns,
    testing::Values(PatternCase{"*", everything}, PatternCase{"*.*", everything},
                    PatternCase{"*.txt", {"Alpha.txt", "beta.TXT"}},
                    PatternCase{"?AMMA", {"gamma"}}, PatternCase{"*.", {"gamma", "Sub"}},
                    PatternCase{"ALPHA.TXT", {"Alpha.txt"}},
                    PatternCase{"*.bak", {"delta.txt.bak"}}, PatternCase{"s*", {"Sub"}},
                    PatternCase{"*a*a*", {"Alpha.txt", "delta.txt.bak", "gamma"}}));

TEST_F(FindFiles, ReportsAttributesAndSizes) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder.Path() + "\\alpha.*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(found.cFileName, "Alpha.txt");
    EXPECT_EQ(found.nFileSizeLow, 5u);
    EXPECT_EQ(found.nFileSizeHigh, 0u);
    EXPECT_EQ(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(found.ftLastWriteTime.dwHighDateTime, 0u);
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    FindClose(search);
    search = FindFirstFileA(folder.Join("sub").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(found.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    FindClose(search);
}

TEST_F(FindFiles, NoMatchAndNoFolder) {
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA(folder.Join("*.none").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(FindFirstFileA(folder.Join("missing/*").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // A pattern naming a folder with a separator after it names nothing in it.
    EXPECT_EQ(FindFirstFileA(folder.Join("Sub/").c_str(), &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA(nullptr, &found), INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstFileA(folder.Join("*").c_str(), nullptr), INVALID_HANDLE_VALUE);
}

// A folder whose entries take several reads from the host, and a link that leads nowhere.
TEST_F(FindFiles, ListsALargeFolderWholeAndSkipsDanglingLinks) {
    const std::string names = "Many/" + std::string(200, 'n');
    std::filesystem::create_directory(folder.Join("Many"));
    for (int i = 0; i < 300; i++)
        folder.Write(names + std::to_string(1000 + i), "");
    std::filesystem::create_symlink(folder.Join("Many/missing"), folder.Join("Many/dangling"));
    std::vector<std::string> found = Find("Many/*");
    ASSERT_EQ(found.size(), 300u);
    EXPECT_EQ(found.front(), std::string(200, 'n') + "1000");
    EXPECT_EQ(found.back(), std::string(200, 'n') + "1299");
}

TEST_F(FindFiles, DotEntriesAreNeverListed) {
    folder.Write("Sub/inner", "");
    EXPECT_EQ(Find("Sub/*"), std::vector<std::string>{"inner"});
    EXPECT_EQ(Find("Sub\\*.*"), std::vector<std::string>{"inner"});
    // These would find the folder's own entries on the desktop.
    EXPECT_EQ(Find("Sub/.*"), std::vector<std::string>{});
    EXPECT_EQ(Find("Sub/."), std::vector<std::string>{});
    EXPECT_EQ(Find("Sub/.."), std::vector<std::string>{});
}

TEST_F(FindFiles, HandlesAreChecked) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(folder.Join("*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    // A search ends with FindClose, not CloseHandle.
    EXPECT_FALSE(CloseHandle(search));
    EXPECT_TRUE(FindClose(search));
    EXPECT_FALSE(FindClose(search));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindNextFileA(search, &found));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FindClose(INVALID_HANDLE_VALUE));
    EXPECT_FALSE(FindNextFileW(nullptr, nullptr));
}

TEST_F(FindFiles, NamesComeInTheCallersEncoding) {
    folder.Write("caf\xc3\xa9.kbi", "");
    WIN32_FIND_DATAA narrow;
    HANDLE search = FindFirstFileA(folder.Join("CAF\xc9.KBI").c_str(), &narrow);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(narrow.cFileName, "caf\xe9.kbi");
    FindClose(search);
    SetDeviceFolder(folder.Path());
    WIN32_FIND_DATAW wide;
    search = FindFirstFileW(u"\\CAF\u00c9.*", &wide);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(wide.cFileName), u"caf\u00e9.kbi");
    FindClose(search);
}

TEST_F(FindFiles, DevicePatternWithoutAFolderSearchesTheRoot) {
    SetDeviceFolder(folder.Path());
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(u"gam*", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(found.cFileName), u"gamma");
    EXPECT_EQ(found.nFileSizeLow, 1u);
    EXPECT_FALSE(FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace
