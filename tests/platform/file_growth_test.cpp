// Files grown past what the disk takes: the call that grows them fails with ERROR_DISK_FULL and
// the file keeps what it had, rather than the process dying at a write through a mapping. A
// file-size limit stands in for a full disk.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <filesystem>
#include <string>

#include <windows.h>

#include "temp_folder.h"

namespace {

const DWORD limit = 64 * 1024;

// The host's file-size limit for as long as it lives.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
    }
    bool Applied() const {
        return applied_;
    }

  private:
    rlimit saved_ = {};
    bool applied_ = false;
};

class FileGrowth : public testing::Test {
  protected:
    HANDLE Open() {
        return CreateFileA(folder.Join("grown.bin").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                           nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    uintmax_t SizeOnDisk() {
        return std::filesystem::file_size(folder.Join("grown.bin"));
    }
    TempFolder folder;
};

TEST_F(FileGrowth, AMappingThatWouldPassTheLimitFailsAndChangesNothing) {
    HANDLE file = Open();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "kept", 4, &written, nullptr));
    FileSizeLimit sizeLimit(limit);
    ASSERT_TRUE(sizeLimit.Applied());

    SetLastError(0);
    EXPECT_EQ(CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, limit + 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(SizeOnDisk(), 4u);

    // Exactly at the limit the file grows, and every byte of the view can be written.
    HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READWRITE, 0, limit, nullptr);
    ASSERT_NE(mapping, nullptr);
    char *view = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(view, nullptr);
    view[limit - 1] = 'z';
    EXPECT_EQ(std::string(view, 4), "kept");
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    CloseHandle(file);
    EXPECT_EQ(SizeOnDisk(), limit);
}

TEST_F(FileGrowth, SetEndOfFileAndWritesPastTheLimitFail) {
    HANDLE file = Open();
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FileSizeLimit sizeLimit(limit);
    ASSERT_TRUE(sizeLimit.Applied());

    SetFilePointer(file, static_cast<LONG>(limit) + 1, nullptr, FILE_BEGIN);
    EXPECT_FALSE(SetEndOfFile(file));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(SizeOnDisk(), 0u);
    SetFilePointer(file, static_cast<LONG>(limit), nullptr, FILE_BEGIN);
    EXPECT_TRUE(SetEndOfFile(file));
    EXPECT_EQ(SizeOnDisk(), limit);

    // A write that would pass the limit fails instead of ending the process.
    DWORD written = 0;
    EXPECT_FALSE(WriteFile(file, "x", 1, &written, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    CloseHandle(file);
}

} // namespace
