// pennakey-device: boots an emulated device from a folder and runs it, from a script or until it
// is stopped.
#include "device/boot.h"
#include "device/device_script.h"
#include "device/scheduler.h"

#include <csignal>
#include <cstring>
#include <fstream>
#include <iostream>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

int Usage() {
    std::cerr << "usage: pennakey-device --folder DIR [--screen pocketpc|hpc] [--headless] "
                 "[--script FILE|-]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    DeviceOptions options;
    std::string scriptPath;
    bool headless = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--folder" && hasValue) {
            options.folder = argv[++i];
        } else if (argument == "--screen" && hasValue) {
            if (!SetScreenByName(options, argv[++i])) {
                std::cerr << "pennakey-device: unknown screen " << argv[i] << "\n";
                return 2;
            }
        } else if (argument == "--headless") {
            headless = true;
        } else if (argument == "--script" && hasValue) {
            scriptPath = argv[++i];
        } else {
            return Usage();
        }
    }
    if (options.folder.empty()) {
        return Usage();
    }
    // A script runs on virtual time, so that it gives the same result every time; a device left
    // running keeps real time.
    options.realTime = scriptPath.empty();
    std::string error;
    if (!BootDevice(options, error)) {
        std::cerr << "pennakey-device: " << error << "\n";
        return 1;
    }
    int failures = 0;
    if (!scriptPath.empty()) {
        std::ifstream file;
        if (scriptPath != "-") {
            file.open(scriptPath);
            if (!file) {
                std::cerr << "pennakey-device: cannot read " << scriptPath << "\n";
                PowerOffDevice();
                return 1;
            }
        }
        failures = RunScript(scriptPath == "-" ? std::cin : file, std::cout, std::cerr);
    } else {
        if (!headless) {
            std::cerr << "pennakey-device: no display; running headless until stopped\n";
        }
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        while (!stopRequested) {
            AdvanceDeviceTime(50);
        }
    }
    PowerOffDevice();
    return failures == 0 ? 0 : 1;
}
