// pennakey-device: boots an emulated device from a folder and runs it, from a script or until it
// is stopped, in the viewer when the host has a display.
#include "desktop/desktop_boot.h"
#include "desktop/desktop_distribution.h"
#include "device/boot.h"
#include "rapi/rapi_client.h"
#include "rapi/rapi_server.h"
#include "device/device_loop.h"
#include "device/device_script.h"
#include "device/product_install.h"
#include "kernel/scheduler.h"
#include "device/screen_presenter.h"
#include "drivers/display_driver.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <streambuf>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

int Usage() {
    std::cerr << "usage: pennakey-device --folder DIR [--desktop PCDIR] [--screen pocketpc|hpc] "
                 "[--store BYTES] [--cable DEVICEDIR|PORT] [--headless] [--scale N] [--script "
                 "FILE|-] [--stay] "
                 "[--install-product] [--install-distribution]\n";
    return 2;
}

// Passes what a script prints on to a stream and, each time the script flushes it (after every
// command), shows the device in the viewer.
class WatchingBuffer : public std::streambuf {
  public:
    WatchingBuffer(std::streambuf *target, const DisplayDriver &display, ScreenPresenter &presenter,
                   bool &open)
        : target(target), display(display), presenter(presenter), open(open) {}

  protected:
    int_type overflow(int_type c) override {
        return traits_type::eq_int_type(c, traits_type::eof())
                   ? traits_type::not_eof(c)
                   : target->sputc(static_cast<char>(c));
    }
    std::streamsize xsputn(const char *text, std::streamsize count) override {
        return target->sputn(text, count);
    }
    int sync() override {
        const int result = target->pubsync();
        if (open && !WatchDevice(display, presenter)) {
            open = false;
        }
        return result;
    }

  private:
    std::streambuf *target;
    const DisplayDriver &display;
    ScreenPresenter &presenter;
    bool &open;
};

// Runs the script with the viewer showing the device after each command; viewerOpen turns false
// when the viewer is closed on the way. Answers the number of failures.
int RunWatchedScript(std::istream &script, const DisplayDriver &display, bool &viewerOpen) {
    ScreenPresenter presenter(display);
    if (!WatchDevice(display, presenter)) {
        viewerOpen = false;
    }
    WatchingBuffer outBuffer(std::cout.rdbuf(), display, presenter, viewerOpen);
    WatchingBuffer errorBuffer(std::cerr.rdbuf(), display, presenter, viewerOpen);
    std::ostream out(&outBuffer);
    std::ostream errors(&errorBuffer);
    errors.setf(std::ios::unitbuf);
    const int failures = RunScript(script, out, errors);
    out.flush();
    return failures;
}

bool ParseScale(const char *text, int &scale) {
    char *end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 8) {
        return false;
    }
    scale = static_cast<int>(value);
    return true;
}

} // namespace

int main(int argc, char **argv) {
    DeviceOptions options;
    DesktopOptions desktop;
    std::string scriptPath;
    bool headless = false;
    bool stay = false;
    bool installProduct = false;
    bool installDistribution = false;
    int scale = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool hasValue = i + 1 < argc;
        if (argument == "--folder" && hasValue) {
            options.folder = argv[++i];
        } else if (argument == "--desktop" && hasValue) {
            desktop.folder = argv[++i];
        } else if (argument == "--screen" && hasValue) {
            if (!SetScreenByName(options, argv[++i])) {
                std::cerr << "pennakey-device: unknown screen " << argv[i] << "\n";
                return 2;
            }
        } else if (argument == "--cable" && hasValue) {
            // The PC's cable to a device running in another process: its folder, or its port.
            const std::string to = argv[++i];
            const int port = to.find_first_not_of("0123456789") == std::string::npos
                                 ? std::atoi(to.c_str())
                                 : RapiPortOfDeviceFolder(to);
            if (port <= 0 || port > 65535) {
                std::cerr << "pennakey-device: no device listens at " << to << "\n";
                return 2;
            }
            SetRapiPort(port);
        } else if (argument == "--store" && hasValue) {
            if (!ParseStoreSize(argv[++i], options.storeSize)) {
                std::cerr << "pennakey-device: the store size is bytes (or K, M) from 1 to 4G-1\n";
                return 2;
            }
        } else if (argument == "--headless") {
            headless = true;
        } else if (argument == "--scale" && hasValue) {
            if (!ParseScale(argv[++i], scale)) {
                std::cerr << "pennakey-device: the scale is a whole number from 1 to 8\n";
                return 2;
            }
        } else if (argument == "--script" && hasValue) {
            scriptPath = argv[++i];
        } else if (argument == "--stay") {
            stay = true;
        } else if (argument == "--install-product") {
            installProduct = true;
        } else if (argument == "--install-distribution") {
            installDistribution = true;
        } else {
            return Usage();
        }
    }
    if (options.folder.empty()) {
        return Usage();
    }
    if (installDistribution && desktop.folder.empty()) {
        std::cerr << "pennakey-device: --install-distribution copies onto the PC: it needs "
                     "--desktop PCDIR\n";
        return 2;
    }
    // The device's clock is virtual: a script makes it jump from timer to timer, so that it gives
    // the same result every time, and the loop that runs a device left running keeps it with the
    // host's clock.
    options.realTime = false;
    options.serveRapi = true;
    std::string error;
    if (!BootDevice(options, error)) {
        std::cerr << "pennakey-device: " << error << "\n";
        return 1;
    }
    std::cerr << "pennakey-device: RAPI on 127.0.0.1:" << RapiServerPort() << "\n";
    if (installProduct && !InstallProduct(DefaultProductFolder(), error)) {
        std::cerr << "pennakey-device: " << error << "\n";
        PowerOffDevice();
        return 1;
    }
    // A PC beside the device; a script starts on the device all the same.
    if (!desktop.folder.empty() && !BootDesktop(desktop, error)) {
        std::cerr << "pennakey-device: " << error << "\n";
        PowerOffDevice();
        return 1;
    }
    // As if from the product's CD: the desktop distribution into C:\Pennakey.
    if (installDistribution && !InstallDistribution(DefaultProductFolder(), error)) {
        std::cerr << "pennakey-device: " << error << "\n";
        PowerOffDesktop();
        PowerOffDevice();
        return 1;
    }
    std::ifstream file;
    if (!scriptPath.empty() && scriptPath != "-") {
        file.open(scriptPath);
        if (!file) {
            std::cerr << "pennakey-device: cannot read " << scriptPath << "\n";
            PowerOffDevice();
            return 1;
        }
    }
    // The small Pocket PC screen alone is shown twice its size; the wide Handheld PC one, and
    // both screens of a run with a PC, as they are.
    if (scale == 0) {
        scale = options.screenWidth > 320 || !desktop.folder.empty() ? 1 : 2;
    }
    int shownWidth;
    int shownHeight;
    ShownSize(shownWidth, shownHeight);
    const DisplayDriver *viewer = headless ? nullptr : FindViewer();
    if (viewer != nullptr && !viewer->open(shownWidth, shownHeight, scale)) {
        std::cerr << "pennakey-device: the viewer does not open; running headless\n";
        viewer = nullptr;
    }
    bool viewerOpen = viewer != nullptr;
    int failures = 0;
    bool keepRunning = true;
    if (!scriptPath.empty()) {
        std::istream &script = scriptPath == "-" ? std::cin : file;
        failures = viewerOpen ? RunWatchedScript(script, *viewer, viewerOpen)
                              : RunScript(script, std::cout, std::cerr);
        // A viewer closed during the script has ended the run; one that was wanted but could not
        // open leaves nothing to stay for.
        const bool viewerClosed = viewer != nullptr && !viewerOpen;
        keepRunning = stay && !viewerClosed && (viewerOpen || headless);
    } else if (!headless && viewer == nullptr) {
        std::cerr << "pennakey-device: no display; running headless until stopped\n";
    }
    if (keepRunning) {
        std::signal(SIGINT, RequestStop);
        std::signal(SIGTERM, RequestStop);
        RunDeviceLoop(viewerOpen ? *viewer : headlessDisplay, stopRequested);
    }
    if (viewer != nullptr) {
        viewer->close();
    }
    PowerOffDesktop();
    PowerOffDevice();
    return failures == 0 ? 0 : 1;
}
