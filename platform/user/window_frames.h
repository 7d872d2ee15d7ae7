// The frame the system draws around a window: its border and its caption.
#ifndef PLATFORM_USER_WINDOW_FRAMES_H
#define PLATFORM_USER_WINDOW_FRAMES_H

#include "user/window_state.h"

// The width of the frame on each side: the dialog frame of a modal-frame dialog, else a line for
// a border.
int FrameWidth(DWORD style, DWORD exStyle);
// The caption bar's height, when the style has one.
int CaptionHeight(DWORD style);
void DrawWindowFrame(Window *window);

#endif
