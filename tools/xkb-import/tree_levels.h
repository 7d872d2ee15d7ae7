// The keyboards of an imported tree by sub-name, with the keymap level each one shows.
#ifndef TOOLS_XKB_IMPORT_TREE_LEVELS_H
#define TOOLS_XKB_IMPORT_TREE_LEVELS_H

#include <layodex.h>

#include <string>

#include "keymap_levels.h"

struct TreeLevel {
    const char16_t *subName;
    KeyLevel kind;
};

// The template's four keyboards, then the four behind AltGr, which Caps Lock does not change.
const int treeLevelCount = 8;
extern const TreeLevel treeLevels[treeLevelCount];
// Where "Main" and "Caps" are in treeLevels.
const int mainTreeLevel = 0;
const int capsTreeLevel = 2;

// The keyboard of the tree with that sub-name, found through the keys that lead on; null when
// none has it.
KeyboardLayout *FindLevelNamed(KeyboardLayout *tree, const std::u16string &subName);
// The key of the keyboard at that place, or null.
KeyDef *KeyAtPlace(KeyboardLayout *level, int left, int top);

#endif
