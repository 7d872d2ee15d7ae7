// The frame the system draws around a window: its border and its caption.
#ifndef PLATFORM_USER_WINDOW_FRAMES_H
#define PLATFORM_USER_WINDOW_FRAMES_H

#include "user/window_state.h"

void DrawWindowFrame(Window *window);

#endif
