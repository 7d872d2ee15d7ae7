#include <gtest/gtest.h>

#include "temp_folder.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

class FileMapping : public testing::Test {
  protected:
    HANDLE Open(const std::string &name, DWORD access, DWORD disposition = OPEN_EXISTING) {
        return CreateFileA(folder.Join(name).c_str(), access, 0, nullptr, disposition, 0, nullptr);
    }

    TempFolder folder;
};

std::string Pattern(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        text[i] = static_cast<char>('a' + i % 23);
    }
    return text;
}

TEST_F(FileMapping, ViewOutlivesItsHandles) {
    folder.Write("data.bin", "still here");
    HANDLE file = Open("data.bin", GENERIC_READ);
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(std::string(static_cast<const char *>(view), 10), "still here");
    EXPECT_TRUE(UnmapViewOfFile(view));
}

TEST_F(FileMapping, WritesReachTheFile) {
    folder.Write("data.bin", "0123456789");
    HANDLE file = Open("data.bin", GENERIC_READ | GENERIC_WRITE);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    void *view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    std::memcpy(static_cast<char *>(view) + 2, "AB", 2);
    EXPECT_TRUE(UnmapViewOfFile(view));
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(folder.Read("data.bin"), "01AB456789");
}

TEST_F(FileMapping, WritableMappingLargerThanTheFileGrowsIt) {
    folder.Write("data.bin", "abc");
    HANDLE file = Open("data.bin", GENERIC_READ | GENERIC_WRITE);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 8, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(GetFileSize(file, nullptr), 8u);
    const void *view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::string(static_cast<const char *>(view), 8), std::string("abc\0\0\0\0\0", 8));
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FileMapping, RefusesWhatTheFileCannotGive) {
    folder.Write("data.bin", "abc");
    folder.Write("empty.bin", "");
    HANDLE reader = Open("data.bin", GENERIC_READ);
    EXPECT_EQ(CreateFileMappingA(reader, nullptr, PAGE_READONLY, 0, 100, nullptr), nullptr);
    EXPECT_EQ(CreateFileMappingA(reader, nullptr, PAGE_READWRITE, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileMappingA(reader, nullptr, 0x40, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    HANDLE empty = Open("empty.bin", GENERIC_READ);
    EXPECT_EQ(CreateFileMappingA(empty, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_INVALID));
    HANDLE mapping = CreateFileMappingA(reader, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 3, 0), nullptr);
    EXPECT_EQ(MapViewOfFile(mapping, 0, 0, 0, 0), nullptr);
    CloseHandle(mapping);
    CloseHandle(empty);
    CloseHandle(reader);
}

TEST_F(FileMapping, ViewsAtOffsets) {
    const std::string content = Pattern(3 * 65536 + 100);
    folder.Write("data.bin", content);
    HANDLE file = Open("data.bin", GENERIC_READ);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    for (DWORD offset : {0u, 65536u, 131072u, 10u, 65537u}) {
        const auto *view =
            static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, offset, 0));
        ASSERT_NE(view, nullptr) << offset;
        EXPECT_EQ(std::string(view, content.size() - offset), content.substr(offset)) << offset;
        const auto *part =
            static_cast<const char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, offset, 50));
        ASSERT_NE(part, nullptr) << offset;
        EXPECT_EQ(std::string(part, 50), content.substr(offset, 50)) << offset;
        EXPECT_TRUE(UnmapViewOfFile(view));
        EXPECT_TRUE(UnmapViewOfFile(part));
    }
    CloseHandle(mapping);
    CloseHandle(file);
}

TEST_F(FileMapping, MemoryBackedMapping) {
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, nullptr);
    ASSERT_NE(mapping, nullptr);
    auto *view = static_cast<unsigned char *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view[0], 0);
    EXPECT_EQ(view[4095], 0);
    view[100] = 7;
    const auto *second =
        static_cast<const unsigned char *>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second[100], 7);
    UnmapViewOfFile(view);
    UnmapViewOfFile(second);
    CloseHandle(mapping);
    EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, nullptr),
              nullptr);
}

TEST_F(FileMapping, BadHandlesAndAddressesFail) {
    folder.Write("data.bin", "abc");
    HANDLE file = Open("data.bin", GENERIC_READ);
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    ASSERT_NE(mapping, nullptr);
    // A file is not a mapping, nor a mapping a file.
    EXPECT_EQ(MapViewOfFile(file, FILE_MAP_READ, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(CreateFileMappingA(mapping, nullptr, PAGE_READONLY, 0, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    const void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    ASSERT_NE(view, nullptr);
    int local = 0;
    EXPECT_FALSE(UnmapViewOfFile(&local));
    EXPECT_FALSE(UnmapViewOfFile(nullptr));
    EXPECT_FALSE(UnmapViewOfFile(static_cast<const char *>(view) + 1));
    EXPECT_TRUE(UnmapViewOfFile(view));
    EXPECT_FALSE(UnmapViewOfFile(view));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_FALSE(CloseHandle(mapping));
    EXPECT_EQ(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0), nullptr);
    CloseHandle(file);
}

} // namespace
