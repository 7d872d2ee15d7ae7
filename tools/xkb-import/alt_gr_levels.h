// The third and fourth levels of a keymap behind an AltGr key: a sticky key right of a shortened
// space bar leading from each of the template's keyboards to its AltGr copy and back.
#ifndef TOOLS_XKB_IMPORT_ALT_GR_LEVELS_H
#define TOOLS_XKB_IMPORT_ALT_GR_LEVELS_H

#include "layout_import.h"

// The face of the AltGr key: a character past the virtual keys, so that holding it sends no
// key to the program in front.
const WCHAR altGrFace = 0x2387; // ALTERNATIVE KEY SYMBOL
const int altGrKeyWidth = 24;

// Whether any key of the template has a character on the keymap's third or fourth level.
bool HasAltGrLevels(const std::vector<TemplateKey> &places, const CompiledKeymap &keymap);
// Adds the AltGr keyboards ("AltGr", "ShiftAltGr", "CapsAltGr", "ShiftedCapsAltGr") and the keys
// that lead there. False when the tree could not be copied or a key made.
bool AddAltGrLevels(KeyboardLayout *layout, const std::vector<TemplateKey> &places,
                    const CompiledKeymap &keymap, ImportReport &report);

#endif
