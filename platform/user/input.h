// Input from outside the programs: the stylus on the screen and keys of the device's keyboard.
#ifndef PLATFORM_USER_INPUT_H
#define PLATFORM_USER_INPUT_H

#include <windows.h>

#include "kernel/machine.h"

// The machine's input: keys held, the stylus, the one foreground window and the window holding
// the stylus whatever lies under it.
struct InputState : MachinePart {
    bool keysDown[256] = {};
    bool capsLock = false;
    bool stylusDown = false;
    HWND foreground = nullptr;
    HWND inputCapture = nullptr;
};

inline InputState &Input() {
    return MachineState<InputState>();
}

void StylusDown(int x, int y);
void StylusMove(int x, int y);
void StylusUp(int x, int y);
// The character a key gives on a US keyboard with that state of Shift, Caps Lock and Control,
// or 0; and the key (with or without Shift) that gives a character, for typing text.
WCHAR CharacterOf(UINT key, bool shift, bool capsLocked, bool control);
bool KeyForCharacter(char16_t character, BYTE &key, bool &shift);
// A window is going: nothing may still point at it for focus, activation or capture.
void ForgetInputWindow(HWND window);

#endif
