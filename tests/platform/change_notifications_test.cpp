// Change notifications: signalled by the changes their filter names and by nothing else, until
// FindNextChangeNotification asks for the next change.
#include <gtest/gtest.h>

#include "kernel/host_paths.h"
#include "temp_folder.h"

#include <windows.h>

#include <sys/stat.h>

namespace {

const DWORD everything = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME |
                         FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SIZE |
                         FILE_NOTIFY_CHANGE_LAST_WRITE;

bool Signalled(HANDLE notification) {
    return WaitForSingleObject(notification, 0) == WAIT_OBJECT_0;
}

TEST(ChangeNotifications, EachChangeSignalsUntilTheNextIsAskedFor) {
    TempFolder folder;
    folder.Write("kept.kbi", "old");
    HANDLE notification = FindFirstChangeNotificationA(folder.Path().c_str(), FALSE, everything);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Signalled(notification));

    folder.Write("new.kbi", "new");
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(Signalled(notification)); // looking does not reset it
    EXPECT_TRUE(FindNextChangeNotification(notification));
    EXPECT_FALSE(Signalled(notification));

    folder.Write("kept.kbi", "rewritten in place");
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindNextChangeNotification(notification));

    ASSERT_EQ(chmod(folder.Join("kept.kbi").c_str(), 0444), 0);
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindNextChangeNotification(notification));

    std::filesystem::rename(folder.Join("new.kbi"), folder.Join("renamed.kbi"));
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindNextChangeNotification(notification));
    std::filesystem::remove(folder.Join("renamed.kbi"));
    EXPECT_TRUE(Signalled(notification));

    EXPECT_TRUE(FindCloseChangeNotification(notification));
    EXPECT_FALSE(FindCloseChangeNotification(notification));
    EXPECT_EQ(WaitForSingleObject(notification, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// Names only: a file written in place, or one in a subfolder, goes unnoticed.
TEST(ChangeNotifications, AFilterOfNamesIgnoresWritesAndSubfolders) {
    TempFolder folder;
    folder.Write("kept.kbi", "old");
    std::filesystem::create_directory(folder.Join("sub"));
    HANDLE notification =
        FindFirstChangeNotificationA(folder.Path().c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    folder.Write("kept.kbi", "rewritten");
    folder.Write("sub/inner.kbi", "inner");
    EXPECT_EQ(WaitForSingleObject(notification, 10), WAIT_TIMEOUT);
    folder.Write("added.kbi", "added");
    EXPECT_EQ(WaitForSingleObject(notification, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(FindCloseChangeNotification(notification));
}

TEST(ChangeNotifications, TheFolderGoingAwaySignals) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Join("watched"));
    HANDLE notification =
        FindFirstChangeNotificationA(folder.Join("watched").c_str(), FALSE, everything);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    std::filesystem::remove(folder.Join("watched"));
    EXPECT_TRUE(Signalled(notification));
    // Nothing can be watched any more: asking for the next change fails, and it stays signalled,
    // even once a folder of the same name is back.
    SetLastError(0);
    EXPECT_FALSE(FindNextChangeNotification(notification));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    std::filesystem::create_directory(folder.Join("watched"));
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindCloseChangeNotification(notification));
}

TEST(ChangeNotifications, WhatCannotBeWatchedFailsWithItsReason) {
    TempFolder folder;
    folder.Write("file.kbi", "x");
    struct Case {
        std::string path;
        BOOL subtree;
        DWORD filter;
        DWORD error;
    } cases[] = {
        {folder.Path(), TRUE, everything, ERROR_NOT_SUPPORTED},
        {folder.Path(), FALSE, 0, ERROR_INVALID_PARAMETER},
        {folder.Path(), FALSE, 0x100, ERROR_INVALID_PARAMETER},
        {folder.Join("missing"), FALSE, everything, ERROR_PATH_NOT_FOUND},
        {folder.Join("file.kbi"), FALSE, everything, ERROR_DIRECTORY},
    };
    for (const Case &each : cases) {
        SetLastError(0);
        EXPECT_EQ(FindFirstChangeNotificationA(each.path.c_str(), each.subtree, each.filter),
                  INVALID_HANDLE_VALUE)
            << each.path;
        EXPECT_EQ(GetLastError(), each.error) << each.path;
    }
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(FindNextChangeNotification(nullptr));
}

// On a device the path is the device's own, inside its folder.
TEST(ChangeNotifications, ADevicePathWatchesItsFolderOnTheDisk) {
    TempFolder disk;
    SetDeviceFolder(disk.Path());
    std::filesystem::create_directory(disk.Join("Windows"));
    HANDLE notification = FindFirstChangeNotificationW(u"\\Windows", FALSE, everything);
    ASSERT_NE(notification, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Signalled(notification));
    disk.Write("Windows/English.kbi", "x");
    EXPECT_TRUE(Signalled(notification));
    EXPECT_TRUE(FindCloseChangeNotification(notification));
    SetDeviceFolder("");
}

} // namespace
