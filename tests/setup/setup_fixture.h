// A PC beside a device, with the pieces of Setup pointed at a folder of the PC.
#ifndef TESTS_SETUP_SETUP_FIXTURE_H
#define TESTS_SETUP_SETUP_FIXTURE_H

#include <filesystem>
#include <fstream>
#include <string>

#include "../device/two_machines.h"

class SetupFixture : public TwoMachines {
  protected:
    void SetUp() override {
        deviceOptions.serveRapi = true;
        TwoMachines::SetUp();
    }
    // The host path of a path of the PC's drive C:, given with forward slashes after "C:/".
    std::string OnPc(const std::string &path) const {
        return desktopFolder + "/" + path;
    }
    std::string OnDevice(const std::string &path) const {
        return deviceFolder + "/" + path;
    }
    static void WriteBytes(const std::string &hostPath, const std::string &bytes) {
        std::filesystem::create_directories(std::filesystem::path(hostPath).parent_path());
        std::ofstream(hostPath, std::ios::binary) << bytes;
    }
    static void WriteText(const std::string &hostPath, const std::u16string &text) {
        WriteBytes(hostPath, std::string(reinterpret_cast<const char *>(text.data()),
                                         text.size() * sizeof(char16_t)));
    }
};

#endif
