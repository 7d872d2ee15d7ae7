// The key an ISO keyboard has left of Z, which the English template lacks: placed at the left end
// of the row, taken from its Shift key.
#ifndef TOOLS_XKB_IMPORT_ISO_KEYS_H
#define TOOLS_XKB_IMPORT_ISO_KEYS_H

#include "layout_import.h"

// The evdev keycode of the key left of Z.
const xkb_keycode_t keyLeftOfZ = 94;
const int isoKeyWidth = 16;

// When the key left of Z types, plain or with Shift, a character no other key types so (as "<"
// and ">" on German; not on the US keymap, which has them elsewhere), shortens the left Shift key
// of each of the template's keyboards and puts the key beside it; its place joins places. False
// when it is not placed.
bool AddKeyLeftOfZ(KeyboardLayout *layout, const CompiledKeymap &keymap,
                   std::vector<TemplateKey> &places);

#endif
