// Host keys as the device's: SDL key codes to Windows virtual-key codes.
#ifndef PLATFORM_DRIVERS_SDL_KEYS_H
#define PLATFORM_DRIVERS_SDL_KEYS_H

#include <cstdint>

// The virtual-key code of the key on a US keyboard: letters, digits, space, Return, Backspace,
// Tab, Escape, the arrows, Delete, Shift, Ctrl, Alt, Caps Lock and punctuation. 0 for any other.
uint8_t VirtualKeyFromSdl(int32_t keycode);

#endif
