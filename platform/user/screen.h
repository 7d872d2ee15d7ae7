// The device's screen: one framebuffer that every window draws into directly, and the map of
// which window shows each of its pixels. A change of place, size, visibility or Z order exposes
// pixels; their new windows are told to paint them, as Windows does.
#ifndef PLATFORM_USER_SCREEN_H
#define PLATFORM_USER_SCREEN_H

#include "engine/surface.h"
#include "user/window_state.h"

#include <memory>
#include <vector>

// The framebuffer; made again, blank, whenever the windows are reset.
std::shared_ptr<Surface> ScreenSurface();
void ResetScreen(int width, int height);

// Windows moved, showed, hid, changed their Z order or went: the screen's map is made again at
// the next sync.
void ScreenLayoutChanged();
// Makes the map current: exposed pixels are invalidated in the windows now showing them, frames
// that need it are drawn, the bare screen gets the desktop colour.
void SyncScreen();

// The pieces of the screen the window shows, frame included, as disjoint boxes.
const std::vector<Box> &VisibleBoxes(Window *window);
// The window and every ancestor have WS_VISIBLE.
bool IsShown(const Window *window);
// The window's rectangle in screen coordinates.
Box WindowBox(const Window *window);
Box ClientBox(const Window *window);

// Every pixel of the window and of the windows inside it must be painted again.
void InvalidateWholeWindow(Window *window);

#endif
