// A keymap of xkeyboard-config as a layout tree: a copy of the English template with the
// keymap's characters on its levels, named after the keymap.
#ifndef TOOLS_XKB_IMPORT_LAYOUT_IMPORT_H
#define TOOLS_XKB_IMPORT_LAYOUT_IMPORT_H

#include <layodex.h>
#include <xkbcommon/xkbcommon-compose.h>

#include <string>
#include <vector>

#include "keymap_levels.h"
#include "template_keys.h"

struct ImportReport {
    // Keys left typing nothing: keysyms without a character, or characters past U+FFFF.
    int inertKeys = 0;
    int deadKeys = 0;
    // Dead keys the Compose table knows nothing of: they show no face and compose nothing.
    int deadKeysWithoutCompose = 0;
};

// The name a header can hold: the characters a header cannot take become blanks, and a name too
// long for the field loses its variant part, then its end.
std::u16string LayoutNameOf(const std::string &description);
// The label: the layout's short name, as much of it as the field holds.
std::u16string LayoutLabelOf(const std::string &layout);

// Puts the keymap's characters of that level onto the keyboard's character keys.
void FillLevel(KeyboardLayout *level, KeyLevel which, const std::vector<TemplateKey> &places,
               const CompiledKeymap &keymap, ImportReport &report);

// Null when the template cannot be copied. With a Compose table, dead keys lead to dead copies
// of the layout.
KeyboardLayout *ImportLayout(KeyboardLayout *englishTemplate,
                             const std::vector<TemplateKey> &places, const CompiledKeymap &keymap,
                             xkb_compose_table *compose, const std::u16string &name,
                             const std::u16string &label, ImportReport &report);

#endif
