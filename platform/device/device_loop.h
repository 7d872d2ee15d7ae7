// Running a booted device in front of a display: the display's events become stylus and key
// input, the device's clock keeps pace with the host's, and the screen is presented whenever it
// changes.
#ifndef PLATFORM_DEVICE_DEVICE_LOOP_H
#define PLATFORM_DEVICE_DEVICE_LOOP_H

#include "device/screen_presenter.h"
#include "drivers/display_driver.h"

#include <csignal>

// Hands one event to the device and lets it run until every program waits. False for a quit.
bool DeliverDisplayEvent(const DisplayEvent &event);

// Runs until the display asks to quit or stop becomes non-zero (a signal handler may set it).
// The display is open; the loop moves the device's clock itself.
void RunDeviceLoop(const DisplayDriver &display, const volatile std::sig_atomic_t &stop);

// While something else drives the device, such as a script: presents what changed and drops the
// display's input. False once the display has asked to quit.
bool WatchDevice(const DisplayDriver &display, ScreenPresenter &presenter);

#endif
