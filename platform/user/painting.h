// Update regions: what each window must paint again, and when a program is told to.
#ifndef PLATFORM_USER_PAINTING_H
#define PLATFORM_USER_PAINTING_H

#include "kernel/scheduler.h"
#include "engine/surface.h"
#include "user/window_state.h"

// Adds a rectangle in client coordinates to the window's update region.
void InvalidateClientRect(Window *window, const RECT &rect, bool erase);
// Screen pixels the window shows were exposed: its client part is invalidated and erased, its
// frame drawn again.
void InvalidateScreenBox(Window *window, const Box &box);
// The first window of the program, within the filter, that is shown and has something to paint.
HWND WindowNeedingPaint(Program *program, HWND filter);

#endif
