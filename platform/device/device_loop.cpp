// The device's real-time loop.
#include "device/device_loop.h"

#include "device/automation.h"
#include "kernel/machine.h"
#include "kernel/scheduler.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace {

// How long an idle turn waits for the host: short enough for the stylus to follow the mouse.
const auto idleWait = std::chrono::milliseconds(10);

} // namespace

bool DeliverDisplayEvent(const DisplayEvent &event) {
    // The stylus goes to the screen it is over, and stays with it from down to up; keys go to the
    // machine the stylus touched last.
    static Machine *touched = nullptr;
    int x = event.x;
    int y = event.y;
    const bool stylus = event.kind == DisplayEventKind::StylusDown ||
                        event.kind == DisplayEventKind::StylusMove ||
                        event.kind == DisplayEventKind::StylusUp;
    const std::vector<Machine *> &booted = BootedMachines();
    if (std::find(booted.begin(), booted.end(), touched) == booted.end()) {
        touched = nullptr; // powered off since
    }
    if (stylus) {
        if (event.kind == DisplayEventKind::StylusDown || touched == nullptr ||
            !ShownPointOnMachine(touched, event.x, event.y, x, y)) {
            touched = MachineAtShownPoint(event.x, event.y, x, y);
        }
        if (touched == nullptr) {
            return true;
        }
    }
    Machine *target = touched != nullptr ? touched : CurrentMachine();
    Machine *previous = SwitchToMachine(target);
    switch (event.kind) {
    case DisplayEventKind::StylusDown:
        StylusDownAt(x, y);
        break;
    case DisplayEventKind::StylusMove:
        StylusMoveTo(x, y);
        break;
    case DisplayEventKind::StylusUp:
        StylusUpAt(x, y);
        break;
    case DisplayEventKind::KeyDown:
        HoldKey(event.key);
        break;
    case DisplayEventKind::KeyUp:
        ReleaseKey(event.key);
        break;
    case DisplayEventKind::Quit:
        SwitchToMachine(previous);
        return false;
    }
    SwitchToMachine(previous);
    return true;
}

void RunDeviceLoop(const DisplayDriver &display, const volatile std::sig_atomic_t &stop) {
    // The clock is moved to wherever the host's has got to, on each turn; a scheduler that also
    // slept on its own would count the same time twice.
    SetRealTimeClock(false);
    ScreenPresenter presenter(display);
    const auto start = std::chrono::steady_clock::now();
    const DWORD clockAtStart = DeviceTime();
    RunUntilIdle();
    while (stop == 0) {
        bool idle = true;
        DisplayEvent event;
        while (display.poll(event)) {
            if (!DeliverDisplayEvent(event)) {
                return;
            }
            idle = false;
        }
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count();
        // Unsigned arithmetic, so that the clock's wrapping after 49 days changes nothing.
        const DWORD behind =
            static_cast<DWORD>(elapsed) - static_cast<DWORD>(DeviceTime() - clockAtStart);
        if (static_cast<int32_t>(behind) > 0) {
            AdvanceDeviceTime(behind);
        }
        presenter.Present();
        if (idle) {
            std::this_thread::sleep_for(idleWait);
        }
    }
}

bool WatchDevice(const DisplayDriver &display, ScreenPresenter &presenter) {
    presenter.Present();
    DisplayEvent event;
    while (display.poll(event)) {
        if (event.kind == DisplayEventKind::Quit) {
            return false;
        }
    }
    return true;
}
