// Getting keys and characters to the program the user works in: finding it by Z order, asking
// its own thread which window has the focus, and typing into it.
#ifndef PENNAKBD_KEY_INJECTION_H
#define PENNAKBD_KEY_INJECTION_H

#include <windows.h>

// Posts each character of text to the target program's focus window.
void SendCharacters(HWND mainWindow, LPCWSTR text);
// Injects a key event, down or up, for each code of codes up to 255.
void SendVirtualKeys(HWND mainWindow, LPCWSTR codes, BOOL down);
// "IDOK", "IDCANCEL" or "IDMINIMIZE" on the target program's window; never on the desktop.
void ExecuteWindowCommand(HWND mainWindow, LPCWSTR command);
// The first visible top-level window in Z order that is neither the keyboard, the input panel
// nor the task bar; NULL when there is none.
HWND FindTargetWindow(HWND mainWindow);
// The window with the focus in the target program, asked of that program's own thread; NULL
// when there is no target or it does not answer in time.
HWND FindTargetFocus(HWND mainWindow);

#endif
