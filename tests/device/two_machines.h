// A fixture for tests on a device and a desktop PC booted side by side in one process, each from a
// folder of its own, and a way to call the platform as one of them from the test's own stack.
#ifndef TESTS_DEVICE_TWO_MACHINES_H
#define TESTS_DEVICE_TWO_MACHINES_H

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <windows.h>

#include "desktop/desktop_boot.h"
#include "device/boot.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"

// The calls made while one lives are the given machine's, as if a program of it made them.
class OnMachine {
  public:
    explicit OnMachine(Machine *machine) : previous_(SwitchToMachine(machine)) {}
    ~OnMachine() {
        SwitchToMachine(previous_);
    }
    OnMachine(const OnMachine &) = delete;
    OnMachine &operator=(const OnMachine &) = delete;

  private:
    Machine *previous_;
};

inline std::string HostFileText(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TwoMachines : public testing::Test {
  protected:
    void SetUp() override {
        const testing::TestInfo *test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "_" + test->name();
        std::replace(name.begin(), name.end(), '/', '_');
        base = testing::TempDir() + "/" + name;
        std::filesystem::remove_all(base);
        deviceFolder = base + "/device";
        desktopFolder = base + "/pc";
        deviceOptions.folder = deviceFolder;
        DesktopOptions desktopOptions;
        desktopOptions.folder = desktopFolder;
        std::string error;
        ASSERT_TRUE(BootDevice(deviceOptions, error)) << error;
        device = CurrentMachine();
        ASSERT_TRUE(BootDesktop(desktopOptions, error)) << error;
        desktop = DesktopMachine();
        ASSERT_NE(desktop, nullptr);
        ASSERT_NE(desktop, device);
    }
    void TearDown() override {
        PowerOffDesktop();
        PowerOffDevice();
        std::filesystem::remove_all(base);
    }

    // Starts a program on the machine and lets every machine run until all of them wait.
    static DWORD StartOn(Machine *machine, const char16_t *path, const char16_t *commandLine) {
        PROCESS_INFORMATION information = {};
        {
            OnMachine on(machine);
            std::u16string line = commandLine;
            EXPECT_TRUE(CreateProcessW(path, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                       nullptr, nullptr, &information));
            CloseHandle(information.hProcess);
            CloseHandle(information.hThread);
        }
        RunUntilIdle();
        return information.dwProcessId;
    }

    // A derived fixture may change them before calling SetUp.
    DeviceOptions deviceOptions;
    std::string base;
    std::string deviceFolder;
    std::string desktopFolder;
    Machine *device = nullptr;
    Machine *desktop = nullptr;
};

#endif
