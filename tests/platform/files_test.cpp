#include <gtest/gtest.h>

#include <filesystem>

#include "kernel/host_paths.h"
#include "temp_folder.h"

#include <windows.h>

#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class Files : public testing::Test {
  protected:
    void TearDown() override {
        SetDeviceFolder("");
    }

    HANDLE Open(const std::string &name, DWORD access, DWORD disposition) {
        return CreateFileA(folder.Join(name).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    TempFolder folder;
};

TEST_F(Files, WriteThenReadBack) {
    HANDLE file = Open("data.bin", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "keyboard", 8, &written, nullptr));
    EXPECT_EQ(written, 8u);
    DWORD high = 0xFFFF;
    EXPECT_EQ(GetFileSize(file, &high), 8u);
    EXPECT_EQ(high, 0u);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
    char buffer[16] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "board");
    // At the end a read succeeds with nothing.
    ASSERT_TRUE(ReadFile(file, buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(read, 0u);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(folder.Read("data.bin"), "keyboard");
}

struct Disposition {
    DWORD disposition;
    bool exists;
    DWORD error; // the last error after the call
    bool opens;
    const char *contents; // the file afterwards, or NULL for no file
};

class Dispositions : public Files, public testing::WithParamInterface<Disposition> {};

TEST_P(Dispositions, OpenCreateOrTruncate) {
    const Disposition &c = GetParam();
    if (c.exists) {
        folder.Write("file.txt", "old");
    }
    SetLastError(0xDEAD);
    HANDLE file = Open("file.txt", GENERIC_READ | GENERIC_WRITE, c.disposition);
    EXPECT_EQ(file != INVALID_HANDLE_VALUE, c.opens);
    EXPECT_EQ(GetLastError(), c.error);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    const bool present =
        GetFileAttributesA(folder.Join("file.txt").c_str()) != INVALID_FILE_ATTRIBUTES;
    EXPECT_EQ(present, c.contents != nullptr);
    if (c.contents != nullptr) {
        EXPECT_EQ(folder.Read("file.txt"), c.contents);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Dispositions,
    testing::Values(Disposition{CREATE_NEW, false, ERROR_SUCCESS, true, ""},
                    Disposition{CREATE_NEW, true, ERROR_FILE_EXISTS, false, "old"},
                    Disposition{CREATE_ALWAYS, false, ERROR_SUCCESS, true, ""},
                    Disposition{CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, true, ""},
                    Disposition{OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, false, nullptr},
                    Disposition{OPEN_EXISTING, true, ERROR_SUCCESS, true, "old"},
                    Disposition{OPEN_ALWAYS, false, ERROR_SUCCESS, true, ""},
                    Disposition{OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, true, "old"},
                    Disposition{TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, false, nullptr},
                    Disposition{TRUNCATE_EXISTING, true, ERROR_SUCCESS, true, ""},
                    Disposition{0, true, ERROR_INVALID_PARAMETER, false, "old"}));

TEST_F(Files, MissingFolderIsAPathError) {
    EXPECT_EQ(Open("no/such/file", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(Open("no\\such", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(CreateFileA(nullptr, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(u"", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
}

TEST_F(Files, DirectoriesDoNotOpenAsFiles) {
    ASSERT_TRUE(CreateDirectoryA(folder.Join("sub").c_str(), nullptr));
    for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS}) {
        EXPECT_EQ(Open("sub", GENERIC_READ, disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
}

TEST_F(Files, AccessIsEnforced) {
    folder.Write("file.txt", "text");
    HANDLE reader = Open("file.txt", GENERIC_READ, OPEN_EXISTING);
    HANDLE writer = Open("file.txt", GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    DWORD count = 7;
    char buffer[4];
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof(buffer), &count, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SetEndOfFile(reader));
    CloseHandle(reader);
    CloseHandle(writer);
    EXPECT_EQ(folder.Read("file.txt"), "text");
}

// Made first and then opened: an open that blocked would hang here rather than pass.
TEST_F(Files, SpecialFilesDoNotOpenAndNeverBlock) {
    ASSERT_EQ(mkfifo(folder.Join("pipe.kbi").c_str(), 0666), 0);
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = folder.Join("socket.kbi");
    ASSERT_LT(socketPath.size(), sizeof(address.sun_path));
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof(address)), 0);
    for (const std::string &path : {folder.Join("pipe.kbi"), socketPath, std::string("/dev/null"),
                                    std::string("/dev/zero")}) {
        for (DWORD access : {DWORD(GENERIC_READ), DWORD(GENERIC_WRITE)}) {
            for (DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS}) {
                SetLastError(0);
                EXPECT_EQ(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr),
                          INVALID_HANDLE_VALUE)
                    << path << " access " << access << " disposition " << disposition;
                EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED)) << path;
            }
        }
    }
    close(listener);
    // Still there: a failed open neither replaced nor removed them.
    struct stat status;
    ASSERT_EQ(stat(folder.Join("pipe.kbi").c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Permission bits do not stop root, so these hold only if the platform checks the attribute.
TEST_F(Files, ReadOnlyFilesAreNeitherWrittenNorReplacedNorDeleted) {
    folder.Write("locked.txt", "protected");
    folder.Write("new.txt", "new");
    const std::string locked = folder.Join("locked.txt");
    const std::string fresh = folder.Join("new.txt");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    EXPECT_EQ(GetFileAttributesA(locked.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    struct Attempt {
        DWORD access, disposition;
    } writes[] = {{GENERIC_WRITE, OPEN_EXISTING},
                  {GENERIC_WRITE, OPEN_ALWAYS},
                  {GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS},
                  {GENERIC_READ, CREATE_ALWAYS},
                  {GENERIC_WRITE, TRUNCATE_EXISTING}};
    for (const Attempt &attempt : writes) {
        SetLastError(0);
        EXPECT_EQ(Open("locked.txt", attempt.access, attempt.disposition), INVALID_HANDLE_VALUE)
            << attempt.access << " " << attempt.disposition;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    }
    EXPECT_EQ(Open("locked.txt", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));

    EXPECT_FALSE(MoveFileExA(fresh.c_str(), locked.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(folder.Read("new.txt"), "new");
    EXPECT_FALSE(MoveFileExA(fresh.c_str(), locked.c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CopyFileA(fresh.c_str(), locked.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA(locked.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(folder.Read("locked.txt"), "protected");

    // Reading it is fine, and so is moving it: the attribute protects its contents.
    HANDLE reader = Open("locked.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    CloseHandle(reader);
    const std::string moved = folder.Join("moved.txt");
    EXPECT_TRUE(MoveFileExA(locked.c_str(), moved.c_str(), 0));
    EXPECT_EQ(folder.Read("moved.txt"), "protected");
    // A copy keeps the attribute, as on Windows.
    const std::string copy = folder.Join("copy.txt");
    EXPECT_TRUE(CopyFileA(moved.c_str(), copy.c_str(), TRUE));
    EXPECT_EQ(folder.Read("copy.txt"), "protected");
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));

    // With its write bit back it can be replaced and deleted.
    ASSERT_EQ(chmod(moved.c_str(), 0644), 0);
    EXPECT_TRUE(MoveFileExA(fresh.c_str(), moved.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(folder.Read("moved.txt"), "new");
    EXPECT_TRUE(DeleteFileA(moved.c_str()));
}

TEST_F(Files, FilePointerMovesFromEachOrigin) {
    folder.Write("file.txt", "0123456789");
    HANDLE file = Open("file.txt", GENERIC_READ, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(file, 4, nullptr, FILE_BEGIN), 4u);
    EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_CURRENT), 6u);
    EXPECT_EQ(SetFilePointer(file, -3, nullptr, FILE_END), 7u);
    EXPECT_EQ(SetFilePointer(file, -1, nullptr, FILE_CURRENT), 6u);
    // Before the start: refused, and the pointer stays.
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_CURRENT), 6u);
    EXPECT_EQ(SetFilePointer(file, 0, nullptr, 7), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // With a high part the distance is 64 bits: 5 GiB + 2.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file, 0x40000002, &high, FILE_BEGIN), 0x40000002u);
    EXPECT_EQ(high, 1);
    high = -1;
    EXPECT_EQ(SetFilePointer(file, -2, &high, FILE_CURRENT), 0x40000000u);
    EXPECT_EQ(high, 1);
    CloseHandle(file);
}

TEST_F(Files, EndOfFileTruncatesAndExtends) {
    folder.Write("file.txt", "0123456789");
    HANDLE file = Open("file.txt", GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    SetFilePointer(file, 4, nullptr, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(GetFileSize(file, nullptr), 4u);
    SetFilePointer(file, 6, nullptr, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    EXPECT_EQ(folder.Read("file.txt"), std::string("0123\0\0", 6));
}

TEST_F(Files, StaleAndMadeUpHandlesFail) {
    HANDLE file = Open("file.txt", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(file));
    const HANDLE bad[] = {file, nullptr, INVALID_HANDLE_VALUE, reinterpret_cast<HANDLE>(0x1234567)};
    for (HANDLE handle : bad) {
        SetLastError(0);
        EXPECT_FALSE(CloseHandle(handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        char buffer[4];
        DWORD count = 0;
        EXPECT_FALSE(ReadFile(handle, buffer, 4, &count, nullptr));
        EXPECT_FALSE(WriteFile(handle, buffer, 4, &count, nullptr));
        EXPECT_EQ(GetFileSize(handle, nullptr), INVALID_FILE_SIZE);
        EXPECT_EQ(SetFilePointer(handle, 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
        EXPECT_FALSE(SetEndOfFile(handle));
    }
    // A new file does not get the closed one's handle.
    HANDLE again = Open("file.txt", GENERIC_READ, OPEN_EXISTING);
    EXPECT_NE(again, file);
    CloseHandle(again);
}

TEST_F(Files, DeleteFile) {
    folder.Write("file.txt", "x");
    EXPECT_TRUE(DeleteFileA(folder.Join("file.txt").c_str()));
    EXPECT_FALSE(DeleteFileA(folder.Join("file.txt").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(CreateDirectoryA(folder.Join("sub").c_str(), nullptr));
    EXPECT_FALSE(DeleteFileA(folder.Join("sub").c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(Files, MoveReplacesOnlyWhenAsked) {
    folder.Write("new.txt", "new");
    folder.Write("old.txt", "old");
    const std::string from = folder.Join("new.txt");
    const std::string to = folder.Join("old.txt");
    EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(folder.Read("old.txt"), "old");
    EXPECT_TRUE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(folder.Read("old.txt"), "new");
    EXPECT_EQ(GetFileAttributesA(from.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(MoveFileExA(to.c_str(), folder.Join("moved.txt").c_str(), 0));
    EXPECT_EQ(folder.Read("moved.txt"), "new");
    EXPECT_FALSE(MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, DirectoriesAndAttributes) {
    const std::string sub = folder.Join("sub");
    EXPECT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_FALSE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA(folder.Join("a/b").c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA(sub.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    folder.Write("sub/file.txt", "x");
    EXPECT_EQ(GetFileAttributesA((sub + "\\file.txt").c_str()),
              static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA(folder.Join("none").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, RemovingADirectoryNeedsItEmptyAndNeverTakesTheRoot) {
    SetDeviceFolder(folder.Path());
    ASSERT_TRUE(CreateDirectoryW(u"\\Program Files", nullptr));
    ASSERT_TRUE(CreateDirectoryW(u"\\Program Files\\Pennakey", nullptr));
    folder.Write("Program Files/Pennakey/English.kbi", "x");
    EXPECT_FALSE(RemoveDirectoryW(u"\\Program Files\\Pennakey"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryW(u"\\Program Files\\Pennakey\\English.kbi"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_TRUE(DeleteFileW(u"\\Program Files\\Pennakey\\English.kbi"));
    EXPECT_TRUE(RemoveDirectoryW(u"\\Program Files\\Pennakey"));
    EXPECT_EQ(GetFileAttributesW(u"\\Program Files\\Pennakey"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(RemoveDirectoryW(u"\\Program Files\\Pennakey"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(RemoveDirectoryW(u"\\Program Files"));
    EXPECT_FALSE(RemoveDirectoryW(u"\\"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(RemoveDirectoryW(u"\\Windows\\.."));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path())) << "the device's folder stays";
    EXPECT_FALSE(RemoveDirectoryW(u""));
}

TEST_F(Files, DevicePathsLiveInTheDeviceFolder) {
    SetDeviceFolder(folder.Path());
    EXPECT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr));
    HANDLE file = CreateFileW(u"\\My Documents\\caf\u00e9.txt", GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "device", 6, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(folder.Read("My Documents/caf\xc3\xa9.txt"), "device");
    // Climbing above the root stays at the root.
    file = CreateFileW(u"\\..\\..\\escape.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_NE(GetFileAttributesA(folder.Join("escape.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(MoveFileExW(u"\\escape.txt", u"\\My Documents\\kept.txt", 0));
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\kept.txt"),
              static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(u"/My Documents/kept.txt"));
    EXPECT_EQ(GetFileAttributesW(u"\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

} // namespace
