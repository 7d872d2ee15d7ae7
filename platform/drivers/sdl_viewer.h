// The viewer: an SDL2 window that shows the device's screen scaled by a whole factor, turns the
// left mouse button into the stylus and passes the host's keys on as the device's.
#ifndef PLATFORM_DRIVERS_SDL_VIEWER_H
#define PLATFORM_DRIVERS_SDL_VIEWER_H

#include "drivers/display_driver.h"

extern const DisplayDriver sdlViewer;

// The host has a display (DISPLAY or WAYLAND_DISPLAY) and SDL can start its video there.
bool SdlViewerAvailable();

// What the open window shows, at the window's size. False when no window is open.
bool ReadSdlViewerFrame(Surface &frame);
// The open window's SDL id, for events made up on the host's side; 0 when none is open.
uint32_t SdlViewerWindowId();

#endif
