// What a booted device says about itself, and its store, which is its folder's contents measured
// against the size the host gave it.
#include "booted_device.h"

#include "kernel/device_identity.h"

#include <fstream>

namespace {

std::u16string PlatformType() {
    WCHAR name[32] = {};
    if (!SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(name), name, 0)) {
        return u"<failed>";
    }
    return name;
}

STORE_INFORMATION Store() {
    STORE_INFORMATION store = {};
    EXPECT_TRUE(GetStoreInformation(&store));
    return store;
}

using DeviceIdentityTest = BootedDevice;

TEST_F(DeviceIdentityTest, APocketPcOnAStrongArmRunningVersionThree) {
    EXPECT_EQ(PlatformType(), u"PocketPC");
    EXPECT_STREQ(DevicePlatformName(), "POCKETPC");
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_EQ(system.dwProcessorType, static_cast<DWORD>(PROCESSOR_STRONGARM));
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    ASSERT_TRUE(GetVersionExW(&version));
    EXPECT_EQ(version.dwMajorVersion, 3u);
    EXPECT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_CE));
    version.dwOSVersionInfoSize = sizeof(version) - 1;
    EXPECT_FALSE(GetVersionExW(&version)) << "the caller must say how large its structure is";

    WCHAR small[8]; // "PocketPC" needs nine characters with its NUL
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(small), small, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    WCHAR exact[9];
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETPLATFORMTYPE, sizeof(exact), exact, 0));
}

TEST_F(DeviceIdentityTest, TheStoreShrinksByWhatTheFolderHoldsAndIsNeverBelowNothing) {
    const STORE_INFORMATION before = Store();
    EXPECT_EQ(before.dwStoreSize, defaultStoreSize);
    { std::ofstream(folder + "/My Documents/big.bin") << std::string(5000, 'x'); }
    const STORE_INFORMATION after = Store();
    EXPECT_EQ(before.dwFreeSize - after.dwFreeSize, 5000u);

    const DWORD used = after.dwStoreSize - after.dwFreeSize;
    SetDeviceStoreSize(used); // exactly full
    EXPECT_EQ(Store().dwFreeSize, 0u);
    SetDeviceStoreSize(used + 1);
    EXPECT_EQ(Store().dwFreeSize, 1u);
    SetDeviceStoreSize(used / 2); // more in it than it can hold
    EXPECT_EQ(Store().dwFreeSize, 0u);
    EXPECT_FALSE(GetStoreInformation(nullptr));
}

// A write that would take the store past its size fails whole with the full-disk error; one that
// lands exactly on it, or rewrites bytes already there, does not.
TEST_F(DeviceIdentityTest, WritesBeyondTheStoreFailWithTheFullDiskError) {
    HANDLE file = CreateFileW(u"\\My Documents\\fill.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const STORE_INFORMATION store = Store();
    SetDeviceStoreSize(store.dwStoreSize - store.dwFreeSize + 100);
    const std::string bytes(101, 'x');
    DWORD written = 7;
    EXPECT_FALSE(WriteFile(file, bytes.data(), 101, &written, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u) << "nothing of a write that does not fit";
    EXPECT_TRUE(WriteFile(file, bytes.data(), 100, &written, nullptr));
    EXPECT_EQ(Store().dwFreeSize, 0u);
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    EXPECT_TRUE(WriteFile(file, bytes.data(), 100, &written, nullptr)) << "no growth, no room";
    EXPECT_FALSE(WriteFile(file, bytes.data(), 1, &written, nullptr));
    EXPECT_EQ(SetFilePointer(file, 200, nullptr, FILE_BEGIN), 200u);
    EXPECT_FALSE(SetEndOfFile(file));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    CloseHandle(file);
    EXPECT_FALSE(CopyFileW(u"\\My Documents\\fill.bin", u"\\My Documents\\copy.bin", FALSE));
    EXPECT_EQ(GetFileAttributesW(u"\\My Documents\\copy.bin"), INVALID_FILE_ATTRIBUTES)
        << "no half copy";
    EXPECT_TRUE(DeleteFileW(u"\\My Documents\\fill.bin"));
    // The room a deletion freed is found again without asking for the store's figures.
    file = CreateFileW(u"\\My Documents\\again.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_TRUE(WriteFile(file, bytes.data(), 100, &written, nullptr));
    CloseHandle(file);
    EXPECT_EQ(Store().dwFreeSize, 0u);
}

class HandheldIdentityTest : public BootedDevice {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SetScreenByName(options, "hpc"));
        options.storeSize = 4096;
        BootedDevice::SetUp();
    }
};

TEST_F(HandheldIdentityTest, AHandheldPcWithTheStoreItWasBootedWith) {
    EXPECT_EQ(PlatformType(), u"HPC");
    EXPECT_STREQ(DevicePlatformName(), "HPC");
    EXPECT_EQ(Store().dwStoreSize, 4096u);
}

TEST(StoreSizeText, BytesKilobytesAndMegabytesUpToFourGigabytesLessOne) {
    DWORD bytes = 0;
    EXPECT_TRUE(ParseStoreSize("16M", bytes));
    EXPECT_EQ(bytes, 16u * 1024 * 1024);
    EXPECT_TRUE(ParseStoreSize("512K", bytes));
    EXPECT_EQ(bytes, 512u * 1024);
    EXPECT_TRUE(ParseStoreSize("4294967295", bytes));
    EXPECT_EQ(bytes, 4294967295u);
    EXPECT_TRUE(ParseStoreSize("1", bytes));
    EXPECT_EQ(bytes, 1u);
    for (const char *bad : {"4294967296", "4194304K", "4096M", "0", "", "K", "12k", "1.5M", "-1",
                            "99999999999999999999999"}) {
        EXPECT_FALSE(ParseStoreSize(bad, bytes)) << bad;
    }
}

} // namespace
