// Where the keys of the English template sit on a PC keyboard: each character key of its main
// level found on the US keymap, so that another keymap's characters can go onto the same keys.
#ifndef TOOLS_XKB_IMPORT_TEMPLATE_KEYS_H
#define TOOLS_XKB_IMPORT_TEMPLATE_KEYS_H

#include <layodex.h>

#include <vector>

#include "keymap_levels.h"

struct TemplateKey {
    int left;
    int top;
    xkb_keycode_t keycode;
};

// The template's character keys (and its comma, a named key) with their keycodes on the US
// keymap; where two keys of the keymap type the character, the lower keycode (the main block
// rather than the keypad) wins.
std::vector<TemplateKey> PlaceTemplateKeys(const KeyboardLayout *englishMain,
                                           const CompiledKeymap &us);
// The keycode of the template key at that place, or 0.
xkb_keycode_t KeycodeAt(const std::vector<TemplateKey> &keys, int left, int top);

#endif
