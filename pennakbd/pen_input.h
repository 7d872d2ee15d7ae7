// The stylus on the keyboard window: which key a pen-down hits, its inverted face while pressed,
// and the key delivered to the main window when the pen is lifted; and the held-keys mode, in
// which the key under the pen at release is the one delivered.
#ifndef PENNAKBD_PEN_INPUT_H
#define PENNAKBD_PEN_INPUT_H

#include <windows.h>

#include <layodex.h>

// The marker of a pen message the keyboard window sends itself.
#define SYNTHETIC_PEN 0xFFFF

LRESULT PenDown(HWND window, WPARAM wParam, LPARAM lParam);
void PenMoved(HWND window, LPARAM lParam);
LRESULT PenUp(HWND window, WPARAM wParam, LPARAM lParam);

// A point in window pixels as layout units, packed as it came.
DWORD PenToLayout(LPARAM point);
// True while the displayed layout is the one the held sticky keys lead to from the base layout.
BOOL IsHeldKeysLayout(Element *layout);
// Forgets a press in progress: the program is ending or starting.
void ResetPenInput(void);

#endif
