// The device's one cursor: none, or the wait cursor drawn over the screen's centre.
#ifndef PLATFORM_USER_CURSORS_H
#define PLATFORM_USER_CURSORS_H

#include "engine/surface.h"

bool WaitCursorShown();
// Draws the wait cursor onto a copy of the screen, as a person would see it.
void DrawWaitCursor(Surface &screen);

#endif
