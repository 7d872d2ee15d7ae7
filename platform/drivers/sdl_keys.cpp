// The keys a device keyboard has; the rest of the host's keyboard stays with the host.
#include "drivers/sdl_keys.h"

#include <SDL.h>

namespace {

struct KeyPair {
    SDL_Keycode sdl;
    uint8_t key;
};

// Windows names these VK_OEM_1 and so on; their codes are the same on every US keyboard.
const KeyPair keys[] = {
    {SDLK_SPACE, 0x20},        {SDLK_RETURN, 0x0D},      {SDLK_KP_ENTER, 0x0D},
    {SDLK_BACKSPACE, 0x08},    {SDLK_TAB, 0x09},         {SDLK_ESCAPE, 0x1B},
    {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},          {SDLK_RIGHT, 0x27},
    {SDLK_DOWN, 0x28},         {SDLK_DELETE, 0x2E},      {SDLK_LSHIFT, 0x10},
    {SDLK_RSHIFT, 0x10},       {SDLK_LCTRL, 0x11},       {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},         {SDLK_RALT, 0x12},        {SDLK_CAPSLOCK, 0x14},
    {SDLK_SEMICOLON, 0xBA},    {SDLK_EQUALS, 0xBB},      {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},        {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB}, {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

} // namespace

uint8_t VirtualKeyFromSdl(int32_t keycode) {
    if (keycode >= SDLK_a && keycode <= SDLK_z) {
        return static_cast<uint8_t>('A' + (keycode - SDLK_a));
    }
    if (keycode >= SDLK_0 && keycode <= SDLK_9) {
        return static_cast<uint8_t>('0' + (keycode - SDLK_0));
    }
    for (const KeyPair &pair : keys) {
        if (pair.sdl == keycode) {
            return pair.key;
        }
    }
    return 0;
}
