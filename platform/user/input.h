// Input from outside the programs: the stylus on the screen and keys of the device's keyboard.
#ifndef PLATFORM_USER_INPUT_H
#define PLATFORM_USER_INPUT_H

#include <windows.h>

void StylusDown(int x, int y);
void StylusMove(int x, int y);
void StylusUp(int x, int y);
// The character a key gives on a US keyboard with that state of Shift, Caps Lock and Control,
// or 0; and the key (with or without Shift) that gives a character, for typing text.
WCHAR CharacterOf(UINT key, bool shift, bool capsLocked, bool control);
bool KeyForCharacter(char16_t character, BYTE &key, bool &shift);
// A window is going: nothing may still point at it for focus, activation or capture.
void ForgetInputWindow(HWND window);
// No keys down, nothing in front, nothing captured.
void ResetInput();

// Kept by the focus code for the input code: the window the stylus goes to whatever lies under
// it, and forgetting the front and captured windows.
HWND InputCapture();
void ResetFocus();

#endif
