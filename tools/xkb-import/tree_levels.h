// The keyboards of an imported tree by sub-name, with the keymap level each one shows.
#ifndef TOOLS_XKB_IMPORT_TREE_LEVELS_H
#define TOOLS_XKB_IMPORT_TREE_LEVELS_H

#include <layodex.h>

#include <string>

#include "keymap_levels.h"

struct TreeLevel {
    const char16_t *subName;
    KeyLevel kind;
    // The keyboard, as an index of treeLevels, that tapping a dead key here leaves showing: the
    // tap releases Shift and AltGr but not Caps Lock.
    int afterDeadKey;
};

// The template's four keyboards, then the four behind AltGr, which Caps Lock does not change.
const int treeLevelCount = 8;
extern const TreeLevel treeLevels[treeLevelCount];

// The keyboard of the tree with that sub-name, found through the keys that lead on; null when
// none has it.
KeyboardLayout *FindLevelNamed(KeyboardLayout *tree, const std::u16string &subName);
// The key of the keyboard at that place, or null.
KeyDef *KeyAtPlace(KeyboardLayout *level, int left, int top);

#endif
