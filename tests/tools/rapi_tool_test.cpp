// pennakey-rapi against a device running in another process, as a person runs them: the device
// from its folder in one, the tool connecting through the port the device left there.
#include <gtest/gtest.h>

#include <rapi.h>

#include "desktop/desktop_boot.h"
#include "kernel/scheduler.h"
#include "rapi/rapi_client.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string dist = PENNAKEY_DIST;

struct ToolRun {
    int code = -1;
    std::string out;
};

// The tool's standard output and error together, and its exit code.
ToolRun Tool(const std::string &folder, const std::string &arguments) {
    const std::string command =
        "timeout 60 " + dist + "/pennakey-rapi --device '" + folder + "' " + arguments + " 2>&1";
    ToolRun run;
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        run.out.append(buffer, got);
    }
    const int status = pclose(pipe);
    run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class RapiTool : public testing::Test {
  protected:
    void SetUp() override {
        // A folder for each test: ctest may run them side by side.
        folder = testing::TempDir() + "/rapi_tool_" +
                 testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(folder);
        device = fork();
        ASSERT_GE(device, 0);
        if (device == 0) {
            const std::string program = dist + "/pennakey-device";
            execl("/usr/bin/timeout", "timeout", "100", program.c_str(), "--folder", folder.c_str(),
                  "--headless", "--stay", static_cast<char *>(nullptr));
            _exit(127);
        }
        // The device says where it listens once it has booted.
        for (int i = 0; i < 500 && !std::filesystem::exists(folder + "/rapi-port"); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(std::filesystem::exists(folder + "/rapi-port"));
    }
    void TearDown() override {
        if (device > 0) {
            kill(device, SIGINT);
            int status = 0;
            waitpid(device, &status, 0);
        }
        std::filesystem::remove_all(folder);
    }
    std::string folder;
    pid_t device = -1;
};

TEST_F(RapiTool, CopiesListsReadsBackAndRemovesOnARunningDevice) {
    const std::string layout = std::string(PENNAKEY_LAYOUTS) + "/German.kbi";
    ToolRun run = Tool(folder, "put '" + layout + "' '\\My Documents\\German.kbi'");
    EXPECT_EQ(run.code, 0) << run.out;
    const auto size = std::filesystem::file_size(layout);
    EXPECT_EQ(run.out, "put \\My Documents\\German.kbi (" + std::to_string(size) + " bytes)\n");
    run = Tool(folder, "ls '\\My Documents'");
    EXPECT_EQ(run.out, "German.kbi  " + std::to_string(size) + "\n");
    const std::string back = testing::TempDir() + "/rapi_tool_back.kbi";
    EXPECT_EQ(Tool(folder, "get '\\My Documents\\German.kbi' '" + back + "'").code, 0);
    std::ifstream a(layout, std::ios::binary), b(back, std::ios::binary);
    EXPECT_TRUE(std::equal(std::istreambuf_iterator<char>(a), std::istreambuf_iterator<char>(),
                           std::istreambuf_iterator<char>(b)));
    EXPECT_EQ(Tool(folder, "rm '\\My Documents\\German.kbi'").out,
              "removed \\My Documents\\German.kbi\n");
    run = Tool(folder, "rm '\\My Documents\\German.kbi'");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "pennakey-rapi: \\My Documents\\German.kbi: not found\n");
}

TEST_F(RapiTool, RegistryStoreWindowsAndPrograms) {
    EXPECT_EQ(Tool(folder, "reg set 'HKCU\\Software\\Quorvale2\\Pennakey' Layout sz Deutsch").code,
              0);
    EXPECT_EQ(Tool(folder, "reg get 'HKCU\\Software\\Quorvale2\\Pennakey' Layout").out,
              "Layout = sz \"Deutsch\"\n");
    EXPECT_EQ(Tool(folder, "reg set 'HKLM\\Software\\X' Size dword 0x2a").code, 0);
    EXPECT_EQ(Tool(folder, "reg get 'HKLM\\Software\\X' Size").out, "Size = dword 42\n");
    EXPECT_EQ(Tool(folder, "reg get 'HKLM\\Software\\X' Missing").code, 1);
    EXPECT_EQ(Tool(folder, "store").out.rfind("store 16777216 bytes, ", 0), 0u);
    EXPECT_EQ(Tool(folder, "run '\\Windows\\notes.exe'").code, 0);
    ToolRun windows;
    for (int i = 0; i < 100 && windows.out.find("Notes \"Notes\"") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        windows = Tool(folder, "windows");
    }
    EXPECT_NE(windows.out.find("Notes \"Notes\""), std::string::npos) << windows.out;
    EXPECT_NE(windows.out.find("HHTaskBar"), std::string::npos);
    EXPECT_EQ(Tool(folder, "mkdir '\\Temp'").out, "pennakey-rapi: \\Temp: already exists\n");
}

TEST_F(RapiTool, WithoutADeviceItSaysSoAndFails) {
    kill(device, SIGINT);
    int status = 0;
    waitpid(device, &status, 0);
    device = -1;
    const ToolRun run = Tool(folder, "store");
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.out, "pennakey-rapi: no device is running from " + folder + "\n");
    EXPECT_EQ(Tool(folder, "frobnicate").code, 1) << "no device comes before the command";
}

// This process as the PC, its program writing a layout onto the device of the other process.
struct PcCopy {
    HRESULT init = E_FAIL;
    bool copied = false;
    bool done = false;
} pcCopy;

int WINAPI PcCopyingProgram(HINSTANCE, HINSTANCE, LPSTR, int) {
    pcCopy.init = CeRapiInit();
    HANDLE file = CeCreateFile(u"\\My Documents\\from-pc.kbi", GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    pcCopy.copied = file != INVALID_HANDLE_VALUE &&
                    CeWriteFile(file, "[L,L,Main,1]", 12, &written, nullptr) && written == 12;
    CeCloseHandle(file);
    CeRapiUninit();
    pcCopy.done = true;
    return 0;
}

TEST_F(RapiTool, APcInThisProcessReachesTheDeviceInTheOther) {
    DesktopOptions options;
    options.folder = folder + "-pc";
    std::filesystem::remove_all(options.folder);
    std::string error;
    ASSERT_TRUE(BootDesktop(options, error)) << error;
    SetRapiPort(RapiPortOfDeviceFolder(folder));
    RegisterBuiltInAnsiProgram(u"C:\\Windows\\copier.exe", PcCopyingProgram);
    char line[] = "C:\\Windows\\copier.exe";
    PROCESS_INFORMATION started = {};
    ASSERT_TRUE(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                               &started));
    // The PC's program waits for the other process between its calls.
    for (int i = 0; i < 3000 && !pcCopy.done; ++i) {
        RunUntilIdle();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_TRUE(pcCopy.done);
    EXPECT_EQ(pcCopy.init, S_OK);
    EXPECT_TRUE(pcCopy.copied);
    PowerOffDesktop();
    SetRapiPort(0);
    std::filesystem::remove_all(options.folder);
    std::ifstream copied(folder + "/My Documents/from-pc.kbi");
    std::string text;
    copied >> text;
    EXPECT_EQ(text, "[L,L,Main,1]");
}

} // namespace
