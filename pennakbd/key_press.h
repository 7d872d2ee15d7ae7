// What a tapped key does: typing, held keys, window commands and layout switches.
#ifndef PENNAKBD_KEY_PRESS_H
#define PENNAKBD_KEY_PRESS_H

#include <windows.h>

#include <layodex.h>

// A key was tapped and the stylus lifted at releasePoint (layout units, x low, y high).
void HandleKeyPress(KeyDef *key, DWORD releasePoint);
// "IDOK", "IDCANCEL" or "IDMINIMIZE" on the program in front.
void ExecuteWindowCommand(LPCWSTR command);

#endif
