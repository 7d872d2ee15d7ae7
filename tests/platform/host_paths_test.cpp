#include <gtest/gtest.h>

#include "kernel/host_paths.h"

#include <filesystem>

namespace {

class HostPaths : public testing::Test {
  protected:
    void TearDown() override {
        SetDeviceFolder("");
    }
};

TEST_F(HostPaths, AnsiPathsTurnBackslashesIntoSlashes) {
    EXPECT_EQ(HostPathFromA("dir\\sub/file.txt"), "dir/sub/file.txt");
    EXPECT_EQ(HostPathFromA("\\tmp\\x"), "/tmp/x");
    EXPECT_EQ(HostPathFromA(nullptr), "");
    // Host names are UTF-8; "é" in code page 1252 is one byte.
    EXPECT_EQ(HostPathFromA("caf\xe9.kbi"), "caf\xc3\xa9.kbi");
}

TEST_F(HostPaths, WidePathsWithoutADeviceFolderAreHostPaths) {
    EXPECT_EQ(HostPathFromW(u"\\tmp\\caf\u00e9"), "/tmp/caf\xc3\xa9");
    EXPECT_EQ(HostPathFromW(u"relative/x"), "relative/x");
}

struct DevicePath {
    const char16_t *device;
    const char *host;
};

class DeviceFolderPaths : public testing::TestWithParam<DevicePath> {
  protected:
    void TearDown() override {
        SetDeviceFolder("");
    }
};

TEST_P(DeviceFolderPaths, StayInsideTheFolder) {
    SetDeviceFolder("/state/device");
    EXPECT_EQ(HostPathFromW(GetParam().device), GetParam().host);
    // The same folder given with a trailing separator.
    SetDeviceFolder("/state/device/");
    EXPECT_EQ(HostPathFromW(GetParam().device), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    HostPaths, DeviceFolderPaths,
    testing::Values(DevicePath{u"\\Windows\\layodex", "/state/device/Windows/layodex"},
                    DevicePath{u"\\", "/state/device"}, DevicePath{u"", "/state/device"},
                    DevicePath{u"/My Documents//notes.txt", "/state/device/My Documents/notes.txt"},
                    DevicePath{u"\\a\\.\\b\\..\\c\\", "/state/device/a/c"},
                    DevicePath{u"\\..\\..\\etc\\passwd", "/state/device/etc/passwd"},
                    DevicePath{u"\\a\\..\\..\\..\\b", "/state/device/b"},
                    DevicePath{u"..", "/state/device"},
                    DevicePath{u"Temp\\x", "/state/device/Temp/x"}));

TEST_F(HostPaths, HostPathsInsideTheDeviceFolderComeBackAsDevicePaths) {
    SetDeviceFolder("/state/device");
    EXPECT_EQ(Win32PathFromHostW("/state/device/Windows/layodex.dll"), u"\\Windows\\layodex.dll");
    EXPECT_EQ(Win32PathFromHostW("/state/device"), u"\\");
    // A sibling whose name merely starts like the folder is outside it.
    EXPECT_EQ(Win32PathFromHostW("/state/devices/x"), u"\\state\\devices\\x");
    EXPECT_EQ(Win32PathFromHostW("/usr/lib/caf\xc3\xa9"), u"\\usr\\lib\\caf\u00e9");
}

TEST_F(HostPaths, AnsiFormOfAHostPath) {
    SetDeviceFolder("/state/device");
    EXPECT_EQ(Win32PathFromHostA("/state/device/x"), "\\state\\device\\x");
    EXPECT_EQ(Win32PathFromHostA("/opt/caf\xc3\xa9"), "\\opt\\caf\xe9");
}

} // namespace

namespace {

// Links inside a device folder are followed as if the folder were the root of the file system.
TEST_F(HostPaths, SymbolicLinksNeverLeadOutOfTheDeviceFolder) {
    const std::filesystem::path root =
        std::filesystem::path(testing::TempDir()) / "host_paths_links";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "Windows");
    std::filesystem::create_directory_symlink("/etc", root / "absolute");
    std::filesystem::create_directory_symlink("../../../../../etc", root / "Windows" / "relative");
    std::filesystem::create_directory_symlink("Windows", root / "inside");
    std::filesystem::create_symlink("loop", root / "loop");
    SetDeviceFolder(root.string());
    const std::string base = root.string();
    EXPECT_EQ(HostPathFromW(u"\\absolute\\passwd"), base + "/etc/passwd");
    EXPECT_EQ(HostPathFromW(u"\\Windows\\relative\\passwd"), base + "/etc/passwd");
    EXPECT_EQ(HostPathFromW(u"\\inside\\x.txt"), base + "/Windows/x.txt");
    EXPECT_EQ(HostPathFromW(u"\\inside\\..\\absolute"), base + "/etc");
    EXPECT_EQ(HostPathFromW(u"\\loop\\x"), "");
    // Through the Win32 front too: the host's file is not reached.
    EXPECT_EQ(
        CreateFileW(u"\\absolute\\passwd", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        INVALID_HANDLE_VALUE);
    EXPECT_EQ(CreateFileW(u"\\loop", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    SetDeviceFolder("");
    std::filesystem::remove_all(root);
}

} // namespace
