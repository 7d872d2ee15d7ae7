// A fixture for tests on a booted device: each test boots a fresh one from its own folder, which
// goes again when the test ends.
#ifndef TESTS_DEVICE_BOOTED_DEVICE_H
#define TESTS_DEVICE_BOOTED_DEVICE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include <windows.h>

#include "device/boot.h"
#include "kernel/scheduler.h"

class BootedDevice : public testing::Test {
  protected:
    // A derived fixture may change options (the screen, say) before calling this.
    void SetUp() override {
        const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        std::replace(name.begin(), name.end(), '/', '_'); // parameterised names hold slashes
        folder = testing::TempDir() + "/" + name;
        std::filesystem::remove_all(folder);
        options.folder = folder;
        std::string error;
        ASSERT_TRUE(BootDevice(options, error)) << error;
    }
    void TearDown() override {
        PowerOffDevice();
        std::filesystem::remove_all(folder);
    }

    // Starts a program and lets it run until everything waits.
    static void Start(const char16_t *path, const char16_t *commandLine = u"") {
        std::u16string line = commandLine;
        PROCESS_INFORMATION information = {};
        ASSERT_TRUE(CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   nullptr, &information));
        CloseHandle(information.hProcess);
        CloseHandle(information.hThread);
        RunUntilIdle();
    }

    std::string folder;
    DeviceOptions options;
};

#endif
