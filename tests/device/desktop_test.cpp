// The desktop PC on its own: its drive C: kept in the PC folder (drive letters, the current
// directory, paths that try to leave the folder, directories, copies, finding files), its
// registry, and starting its ANSI programs with CreateProcessA.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "two_machines.h"

namespace {

namespace fs = std::filesystem;

class Desktop : public testing::Test {
  protected:
    void SetUp() override {
        const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        base = testing::TempDir() + "/" + name;
        fs::remove_all(base);
        folder = base + "/pc";
        Boot();
    }
    void TearDown() override {
        PowerOffDesktop();
        fs::remove_all(base);
    }
    void Boot() {
        DesktopOptions options;
        options.folder = folder;
        std::string error;
        ASSERT_TRUE(BootDesktop(options, error)) << error;
        ASSERT_NE(DesktopMachine(), nullptr);
        AddressMachine(DesktopMachine());
    }

    static bool Write(const char *path, const std::string &text,
                      DWORD disposition = CREATE_ALWAYS) {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        DWORD written = 0;
        const BOOL wrote =
            WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return wrote && written == text.size();
    }
    static std::string Read(const char *path) {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return "<cannot open>";
        }
        char buffer[256] = {};
        DWORD read = 0;
        ReadFile(file, buffer, sizeof buffer, &read, nullptr);
        CloseHandle(file);
        return std::string(buffer, read);
    }
    static std::string CurrentDirectory() {
        char buffer[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
        return std::string(buffer, length);
    }

    std::string base;
    std::string folder;
};

// --- The drive ---

TEST_F(Desktop, TheDriveLetterIsTheSameInEitherCase) {
    ASSERT_TRUE(Write("C:\\Temp\\upper.txt", "written as C:"));
    EXPECT_EQ(Read("c:\\Temp\\upper.txt"), "written as C:");
    ASSERT_TRUE(Write("c:\\Temp\\lower.txt", "written as c:"));
    EXPECT_EQ(Read("C:\\Temp\\lower.txt"), "written as c:");
    EXPECT_EQ(HostFileText(folder + "/Temp/upper.txt"), "written as C:");
    EXPECT_EQ(HostFileText(folder + "/Temp/lower.txt"), "written as c:");
}

TEST_F(Desktop, TheCurrentDirectoryStartsAtTheRootAndRelativePathsStartThere) {
    EXPECT_EQ(CurrentDirectory(), "C:\\");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Program Files"));
    EXPECT_EQ(CurrentDirectory(), "C:\\Program Files");
    ASSERT_TRUE(Write("relative.txt", "beside"));
    EXPECT_EQ(HostFileText(folder + "/Program Files/relative.txt"), "beside");
    EXPECT_EQ(Read("C:\\Program Files\\relative.txt"), "beside");
    // From the drive's root, whatever the current directory.
    ASSERT_TRUE(Write("\\rooted.txt", "at the root"));
    EXPECT_EQ(HostFileText(folder + "/rooted.txt"), "at the root");
    ASSERT_TRUE(SetCurrentDirectoryA("..\\Temp"));
    EXPECT_EQ(CurrentDirectory(), "C:\\Temp");
}

TEST_F(Desktop, GetCurrentDirectoryAsksForRoomWhenTheBufferIsShort) {
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    const std::string expected = "C:\\Windows";
    const DWORD needed = static_cast<DWORD>(expected.size() + 1);
    EXPECT_EQ(GetCurrentDirectoryA(0, nullptr), needed);
    char exact[16] = {};
    EXPECT_EQ(GetCurrentDirectoryA(needed, exact), needed - 1);
    EXPECT_EQ(std::string(exact), expected);
    char shortByOne[16] = "untouched";
    EXPECT_EQ(GetCurrentDirectoryA(needed - 1, shortByOne), needed);
    EXPECT_EQ(std::string(shortByOne), "untouched");
}

TEST_F(Desktop, SettingAMissingDirectoryFailsAndKeepsTheOldOne) {
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    const char *missing[] = {"C:\\Nowhere",           "Nowhere", "C:\\Windows\\Nowhere\\Deeper",
                             "C:\\Temp\\..\\Nowhere", "D:\\",    "D:\\Windows"};
    for (const char *path : missing) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(SetCurrentDirectoryA(path)) << path;
        EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << path;
        EXPECT_EQ(CurrentDirectory(), "C:\\Windows") << path;
    }
}

TEST_F(Desktop, DotDotNeverLeavesThePcFolder) {
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\..\\..\\.."));
    EXPECT_EQ(CurrentDirectory(), "C:\\");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Temp"));
    ASSERT_TRUE(SetCurrentDirectoryA("..\\..\\..\\Windows"));
    EXPECT_EQ(CurrentDirectory(), "C:\\Windows");
    ASSERT_TRUE(Write("C:\\..\\..\\escaped.txt", "kept inside"));
    ASSERT_TRUE(Write("..\\..\\..\\..\\relative_escape.txt", "kept inside too"));
    EXPECT_FALSE(fs::exists(base + "/escaped.txt"));
    EXPECT_FALSE(fs::exists(base + "/relative_escape.txt"));
    EXPECT_EQ(HostFileText(folder + "/escaped.txt"), "kept inside");
    EXPECT_EQ(HostFileText(folder + "/relative_escape.txt"), "kept inside too");
}

TEST_F(Desktop, SymbolicLinksNeverLeaveThePcFolder) {
    const std::string outside = base + "/outside";
    fs::create_directories(outside);
    fs::create_directory_symlink("../outside", folder + "/up");
    fs::create_directory_symlink(fs::absolute(outside), folder + "/absolute");
    fs::create_directory_symlink("/", folder + "/root");
    const char *throughLinks[] = {"C:\\up\\a.txt", "C:\\absolute\\b.txt", "C:\\root\\c.txt"};
    for (const char *path : throughLinks) {
        Write(path, "must not leave");
    }
    EXPECT_TRUE(fs::is_empty(outside));
    // A link to the host's root is the drive's root.
    EXPECT_EQ(HostFileText(folder + "/c.txt"), "must not leave");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\root\\Windows"));
    EXPECT_TRUE(Write("d.txt", "inside"));
    EXPECT_EQ(HostFileText(folder + "/Windows/d.txt"), "inside");
}

TEST_F(Desktop, AnotherDriveHasNothing) {
    ASSERT_TRUE(Write("C:\\Temp\\here.txt", "on C:"));
    EXPECT_EQ(GetFileAttributesA("D:\\Temp\\here.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA("D:\\"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Read("D:\\Temp\\here.txt"), "<cannot open>");
    EXPECT_FALSE(Write("D:\\new.txt", "nowhere"));
    EXPECT_FALSE(CreateDirectoryA("D:\\Folder", nullptr));
    WIN32_FIND_DATAA found;
    EXPECT_EQ(FindFirstFileA("D:\\*", &found), INVALID_HANDLE_VALUE);
    EXPECT_FALSE(fs::exists(folder + "/new.txt"));
    EXPECT_FALSE(fs::exists(folder + "/Folder"));
}

// --- Directories, copies, finding files ---

TEST_F(Desktop, CreateDirectoryMakesOneLevelOnce) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Data", nullptr));
    EXPECT_TRUE(fs::is_directory(folder + "/Data"));
    EXPECT_EQ(GetFileAttributesA("c:\\Data") & FILE_ATTRIBUTE_DIRECTORY,
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(CreateDirectoryA("C:\\Data", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("C:\\Missing\\Data", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Data"));
    ASSERT_TRUE(CreateDirectoryA("Inner", nullptr));
    EXPECT_TRUE(fs::is_directory(folder + "/Data/Inner"));
}

struct CopyCase {
    const char *name;
    bool targetExists;
    BOOL failIfExists;
    bool copied;
    const char *targetAfter;
};

class DesktopCopies : public Desktop, public testing::WithParamInterface<CopyCase> {};

TEST_P(DesktopCopies, CopyFileKeepsOrReplacesTheTargetAsAsked) {
    const CopyCase copy = GetParam();
    ASSERT_TRUE(Write("C:\\Temp\\source.txt", "source"));
    if (copy.targetExists) {
        ASSERT_TRUE(Write("C:\\Windows\\target.txt", "old target"));
    }
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(CopyFileA("C:\\Temp\\source.txt", "c:\\Windows\\target.txt", copy.failIfExists),
              copy.copied ? TRUE : FALSE);
    if (!copy.copied) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    }
    EXPECT_EQ(Read("C:\\Windows\\target.txt"), copy.targetAfter);
    EXPECT_EQ(Read("C:\\Temp\\source.txt"), "source");
}

INSTANTIATE_TEST_SUITE_P(
    Targets, DesktopCopies,
    testing::Values(CopyCase{"NewTarget", false, FALSE, true, "source"},
                    CopyCase{"NewTargetFailingIfItExists", false, TRUE, true, "source"},
                    CopyCase{"ReplacedTarget", true, FALSE, true, "source"},
                    CopyCase{"KeptTarget", true, TRUE, false, "old target"}),
    [](const testing::TestParamInfo<CopyCase> &info) { return std::string(info.param.name); });

TEST_F(Desktop, CopyFileOntoItselfIsRefusedAndTheSourceStays) {
    ASSERT_TRUE(Write("C:\\Temp\\self.txt", "keep me"));
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Temp"));
    const char *sameFile[] = {"C:\\Temp\\self.txt", "c:\\Temp\\self.txt", "self.txt",
                              "C:\\Windows\\..\\Temp\\self.txt"};
    for (const char *target : sameFile) {
        for (BOOL failIfExists : {FALSE, TRUE}) {
            EXPECT_FALSE(CopyFileA("C:\\Temp\\self.txt", target, failIfExists)) << target;
            EXPECT_EQ(Read("C:\\Temp\\self.txt"), "keep me") << target;
        }
    }
}

TEST_F(Desktop, CopyFileFromAMissingSourceFails) {
    EXPECT_FALSE(CopyFileA("C:\\Temp\\missing.txt", "C:\\Temp\\copy.txt", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(fs::exists(folder + "/Temp/copy.txt"));
}

std::vector<std::string> FoundNames(const char *pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(Desktop, FindFirstFileListsADirectoryOfTheDrive) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Data", nullptr));
    ASSERT_TRUE(Write("C:\\Data\\one.txt", "1"));
    ASSERT_TRUE(Write("C:\\Data\\two.txt", "2"));
    ASSERT_TRUE(Write("C:\\Data\\three.log", "3"));
    const std::vector<std::string> texts = {"one.txt", "two.txt"};
    EXPECT_EQ(FoundNames("C:\\Data\\*.txt"), texts);
    EXPECT_EQ(FoundNames("c:\\Data\\*.txt"), texts);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Data"));
    EXPECT_EQ(FoundNames("*.txt"), texts);
    EXPECT_EQ(FoundNames("C:\\Data\\three.log"), std::vector<std::string>{"three.log"});
    EXPECT_TRUE(FoundNames("C:\\Data\\*.bin").empty());
    EXPECT_TRUE(FoundNames("C:\\Nowhere\\*").empty());
}

// --- The registry ---

std::string QueryText(HKEY root, const char *subKey, const char *name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, 0, &key) != ERROR_SUCCESS) {
        return "<no key>";
    }
    char text[128] = {};
    DWORD size = sizeof text;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(text), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        return "<no text>";
    }
    return std::string(text, size > 0 ? size - 1 : 0);
}

TEST_F(Desktop, TheRegistryKeepsBothRootsInThePcFolderAcrossBoots) {
    HKEY machineKey = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Pennakey\\Setup", 0, nullptr, 0, 0,
                              nullptr, &machineKey, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const char path[] = "C:\\Program Files\\Pennakey";
    ASSERT_EQ(RegSetValueExA(machineKey, "Folder", 0, REG_SZ, reinterpret_cast<const BYTE *>(path),
                             sizeof path),
              ERROR_SUCCESS);
    RegCloseKey(machineKey);

    HKEY userKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Pennakey", 0, nullptr, 0, 0, nullptr,
                              &userKey, nullptr),
              ERROR_SUCCESS);
    const DWORD count = 42;
    ASSERT_EQ(RegSetValueExA(userKey, "Runs", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&count),
                             sizeof count),
              ERROR_SUCCESS);
    RegCloseKey(userKey);

    EXPECT_EQ(QueryText(HKEY_LOCAL_MACHINE, "Software\\Pennakey\\Setup", "Folder"), path);
    // The roots are apart: the same path under the other root holds nothing.
    EXPECT_EQ(QueryText(HKEY_CURRENT_USER, "Software\\Pennakey\\Setup", "Folder"), "<no key>");
    EXPECT_NE(HostFileText(folder + "/registry.txt").find("Pennakey"), std::string::npos);

    PowerOffDesktop();
    ASSERT_NO_FATAL_FAILURE(Boot());
    EXPECT_EQ(QueryText(HKEY_LOCAL_MACHINE, "Software\\Pennakey\\Setup", "Folder"), path);
    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Pennakey", 0, 0, &again), ERROR_SUCCESS);
    DWORD read = 0;
    DWORD size = sizeof read;
    DWORD type = 0;
    EXPECT_EQ(
        RegQueryValueExA(again, "Runs", nullptr, &type, reinterpret_cast<BYTE *>(&read), &size),
        ERROR_SUCCESS);
    RegCloseKey(again);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, count);
}

struct TextSize {
    const char *name;
    DWORD offered; // bytes, null terminator included when it reaches it
    LONG result;
};

class DesktopRegistryTexts : public Desktop, public testing::WithParamInterface<TextSize> {};

// A text stored in UTF-16 is read in ANSI with the size of its ANSI form, terminator included.
TEST_P(DesktopRegistryTexts, AnAnsiReadNeedsTheAnsiSizeOfATextWrittenInUtf16) {
    const TextSize size = GetParam();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Texts", 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const char16_t wide[] = u"caf\u00e9 \u20ac";
    ASSERT_EQ(
        RegSetValueExW(key, u"Price", 0, REG_SZ, reinterpret_cast<const BYTE *>(wide), sizeof wide),
        ERROR_SUCCESS);
    const std::string ansi = "caf\xe9 \x80";
    std::vector<char> buffer(32, '#');
    DWORD bytes = size.offered;
    DWORD type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Price", nullptr, &type,
                               reinterpret_cast<BYTE *>(buffer.data()), &bytes),
              size.result);
    EXPECT_EQ(bytes, ansi.size() + 1);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    if (size.result == ERROR_SUCCESS) {
        EXPECT_EQ(std::string(buffer.data()), ansi);
    }
    EXPECT_EQ(buffer[size.offered], '#'); // nothing past what was offered
    DWORD needed = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Price", nullptr, nullptr, nullptr, &needed), ERROR_SUCCESS);
    EXPECT_EQ(needed, ansi.size() + 1);
    RegCloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(Buffers, DesktopRegistryTexts,
                         testing::Values(TextSize{"Exact", 7, ERROR_SUCCESS},
                                         TextSize{"ShortByOne", 6, ERROR_MORE_DATA},
                                         TextSize{"Roomy", 20, ERROR_SUCCESS}),
                         [](const testing::TestParamInfo<TextSize> &info) {
                             return std::string(info.param.name);
                         });

// --- CreateProcessA ---

// What the last started program was given.
struct Started {
    std::string program;
    std::string commandLine;
    int show = -1;
};
std::vector<Started> started;

int WINAPI SpacedProgram(HINSTANCE, HINSTANCE, LPSTR commandLine, int show) {
    started.push_back({"spaced", commandLine, show});
    return 0;
}

int WINAPI PlainProgram(HINSTANCE, HINSTANCE, LPSTR commandLine, int show) {
    started.push_back({"plain", commandLine, show});
    return 0;
}

const char spacedPath[] = "C:\\Program Files\\Test App\\spaced.exe";

struct StartCase {
    const char *name;
    const char *application; // null for none
    const char *commandLine; // null for none
    const char *program;
    const char *arguments;
};

class DesktopStarts : public Desktop, public testing::WithParamInterface<StartCase> {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Desktop::SetUp());
        RegisterBuiltInAnsiProgram(u"C:\\Program Files\\Test App\\spaced.exe", SpacedProgram);
        RegisterBuiltInAnsiProgram(u"C:\\Windows\\plain.exe", PlainProgram);
        started.clear();
    }
};

TEST_P(DesktopStarts, TheProgramGetsTheArgumentsAfterItsName) {
    const StartCase start = GetParam();
    std::string line = start.commandLine != nullptr ? start.commandLine : "";
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessA(start.application,
                               start.commandLine != nullptr ? line.data() : nullptr, nullptr,
                               nullptr, FALSE, 0, nullptr, nullptr, nullptr, &information));
    EXPECT_NE(information.dwProcessId, 0u);
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, start.program);
    EXPECT_EQ(started[0].commandLine, start.arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DesktopStarts,
    testing::Values(StartCase{"QuotedPathWithSpaces", nullptr,
                              "\"C:\\Program Files\\Test App\\spaced.exe\" /install   two",
                              "spaced", "/install   two"},
                    StartCase{"QuotedPathAlone", nullptr,
                              "\"C:\\Program Files\\Test App\\spaced.exe\"", "spaced", ""},
                    StartCase{"UnquotedPath", nullptr, "C:\\Windows\\plain.exe alpha beta", "plain",
                              "alpha beta"},
                    // Each blank in turn is tried as the end of the path, as Windows tries them.
                    StartCase{"UnquotedPathWithSpaces", nullptr,
                              "C:\\Program Files\\Test App\\spaced.exe /install two", "spaced",
                              "/install two"},
                    StartCase{"UnquotedPathWithSpacesAlone", nullptr,
                              "C:\\Program Files\\Test App\\spaced.exe", "spaced", ""},
                    // A program named on the line without an extension is a ".exe".
                    StartCase{"NoExtension", nullptr, "C:\\Windows\\plain alpha", "plain", "alpha"},
                    StartCase{"QuotedWithoutExtension", nullptr,
                              "\"C:\\Program Files\\Test App\\spaced\" x", "spaced", "x"},
                    StartCase{"UnquotedWithSpacesWithoutExtension", nullptr,
                              "C:\\Program Files\\Test App\\spaced x", "spaced", "x"},
                    StartCase{"UnquotedPathOtherCase", nullptr, "c:\\WINDOWS\\Plain.EXE alpha",
                              "plain", "alpha"},
                    StartCase{"ApplicationAndLine", spacedPath,
                              "\"C:\\Program Files\\Test App\\spaced.exe\" -x", "spaced", "-x"},
                    StartCase{"ApplicationWithoutLine", spacedPath, nullptr, "spaced", ""},
                    StartCase{"ApplicationNamesTheProgramNotTheLine", "C:\\Windows\\plain.exe",
                              "\"C:\\Program Files\\Test App\\spaced.exe\" -y", "plain", "-y"}),
    [](const testing::TestParamInfo<StartCase> &info) { return std::string(info.param.name); });

struct ShowCase {
    const char *name;
    bool withStartup;
    DWORD flags;
    WORD showWindow;
    int expected;
};

class DesktopShowFlags : public Desktop, public testing::WithParamInterface<ShowCase> {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Desktop::SetUp());
        RegisterBuiltInAnsiProgram(u"C:\\Windows\\plain.exe", PlainProgram);
        started.clear();
    }
};

TEST_P(DesktopShowFlags, WinMainIsToldHowToShowItsWindow) {
    const ShowCase show = GetParam();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = show.flags;
    startup.wShowWindow = show.showWindow;
    char line[] = "C:\\Windows\\plain.exe";
    PROCESS_INFORMATION information = {};
    ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               show.withStartup ? &startup : nullptr, &information));
    CloseHandle(information.hProcess);
    CloseHandle(information.hThread);
    RunUntilIdle();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].show, show.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Startups, DesktopShowFlags,
    testing::Values(ShowCase{"NoStartupInformation", false, 0, 0, SW_SHOWDEFAULT},
                    ShowCase{"ShowWindowWithoutItsFlag", true, 0, SW_HIDE, SW_SHOWDEFAULT},
                    ShowCase{"Hidden", true, STARTF_USESHOWWINDOW, SW_HIDE, SW_HIDE},
                    ShowCase{"Minimized", true, STARTF_USESHOWWINDOW, SW_MINIMIZE, SW_MINIMIZE},
                    ShowCase{"Normal", true, STARTF_USESHOWWINDOW, SW_SHOWNORMAL, SW_SHOWNORMAL}),
    [](const testing::TestParamInfo<ShowCase> &info) { return std::string(info.param.name); });

// What the program saw as its current directory when it started, and after changing it.
std::vector<std::string> directoriesSeen;

int WINAPI DirectoryProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    directoriesSeen.push_back(directory);
    SetCurrentDirectoryA("C:\\Program Files");
    GetCurrentDirectoryA(MAX_PATH, directory);
    directoriesSeen.push_back(directory);
    return 0;
}

TEST_F(Desktop, EachProgramHasACurrentDirectoryOfItsOwn) {
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\where.exe", DirectoryProgram);
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\Windows"));
    const struct {
        const char *given; // null for the caller's
        const char *started;
    } starts[] = {{nullptr, "C:\\Windows"}, {"C:\\Temp", "C:\\Temp"}, {"..", "C:\\"}};
    for (const auto &start : starts) {
        directoriesSeen.clear();
        char line[] = "C:\\Windows\\where.exe";
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, start.given,
                                   nullptr, &information));
        CloseHandle(information.hProcess);
        CloseHandle(information.hThread);
        RunUntilIdle();
        EXPECT_EQ(directoriesSeen, (std::vector<std::string>{start.started, "C:\\Program Files"}));
        // Neither the directory given nor the program's own change moves the caller's.
        EXPECT_EQ(CurrentDirectory(), "C:\\Windows");
    }
    // A directory that does not exist starts nothing and leaves the caller's alone.
    directoriesSeen.clear();
    char line[] = "C:\\Windows\\where.exe";
    PROCESS_INFORMATION information = {};
    EXPECT_FALSE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, "C:\\Nowhere",
                                nullptr, &information));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    RunUntilIdle();
    EXPECT_TRUE(directoriesSeen.empty());
    EXPECT_EQ(CurrentDirectory(), "C:\\Windows");
}

TEST_F(Desktop, StartingAMissingProgramFailsWithFileNotFound) {
    const char *missing[] = {"C:\\Windows\\missing.exe", "\"C:\\Program Files\\No App\\x.exe\" a",
                             "D:\\Windows\\plain.exe"};
    for (const char *path : missing) {
        std::string line = path;
        PROCESS_INFORMATION information = {};
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, nullptr, &information))
            << path;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << path;
    }
}

} // namespace
