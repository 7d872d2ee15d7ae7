// Displays: where the device's screen is shown and where a person's input comes from. Each is a
// small struct of functions, so that everything above it runs the same code with any of them.
#ifndef PLATFORM_DRIVERS_DISPLAY_DRIVER_H
#define PLATFORM_DRIVERS_DISPLAY_DRIVER_H

#include "engine/surface.h"

#include <cstdint>

enum class DisplayEventKind { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Quit };

struct DisplayEvent {
    DisplayEventKind kind = DisplayEventKind::Quit;
    // The stylus: a point of the device's screen.
    int x = 0;
    int y = 0;
    // Keys: a Windows virtual-key code.
    uint8_t key = 0;
};

struct DisplayDriver {
    // Shows a screen of that size, each device pixel as scale x scale pixels of the host. False
    // when it cannot.
    bool (*open)(int width, int height, int scale);
    void (*close)();
    // The screen changed inside dirty (device pixels): show it.
    void (*present)(const Surface &screen, const Box &dirty);
    // The next input event; false when none is waiting.
    bool (*poll)(DisplayEvent &event);
};

// Shows nothing and never has input: the device runs unwatched.
extern const DisplayDriver headlessDisplay;

// The viewer, when this build has one and the host has a display it can open; null otherwise.
const DisplayDriver *FindViewer();

#endif
