// What a tapped key does: its characters or key events, held keys, window commands, programs
// started and the layout shown next.
#ifndef PENNAKBD_KEY_PRESS_H
#define PENNAKBD_KEY_PRESS_H

#include <windows.h>

#include <layodex.h>

// A key was tapped and the stylus lifted at releasePoint (layout units, x low, y high, signed).
void HandleKeyPress(KeyDef *key, DWORD releasePoint);

#endif
