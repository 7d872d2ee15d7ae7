#include "layout_import.h"

#include "alt_gr_levels.h"
#include "conversion.h"
#include "dead_keys.h"
#include "kernel/code_pages.h"
#include "iso_keys.h"

namespace {

// A character key now types the level's character. A keysym that types none, or a character
// the format cannot hold, leaves the key typing nothing, and counts; a level without a keysym
// simply has nothing there.
void SetCharacter(KeyDef *key, const LevelSymbol *symbol, ImportReport &report) {
    key->flags &= ~KEY_VIRTUAL;
    const char32_t c = symbol != nullptr ? symbol->character : 0;
    if (c == 0 || c > 0xFFFF) {
        key->code = 0;
        if (symbol != nullptr && symbol->keysym != XKB_KEY_NoSymbol) {
            report.inertKeys++;
        }
        return;
    }
    key->code = static_cast<WORD>(c);
}

} // namespace

void FillLevel(KeyboardLayout *level, KeyLevel which, const std::vector<TemplateKey> &places,
               const CompiledKeymap &keymap, ImportReport &report) {
    if (level == nullptr) {
        return;
    }
    for (Element *node = level->keys; node != nullptr; node = node->next) {
        KeyDef *key = static_cast<KeyDef *>(node->data);
        const xkb_keycode_t keycode = key != nullptr ? KeycodeAt(places, key->left, key->top) : 0;
        if (keycode == 0) {
            continue;
        }
        const auto found = keymap.keys.find(keycode);
        SetCharacter(key, found != keymap.keys.end() ? &found->second.levels[which] : nullptr,
                     report);
    }
}

std::u16string LayoutNameOf(const std::string &description) {
    std::u16string name;
    const std::u16string wide = WideFromUtf8(description);
    for (size_t i = 0; i < wide.size(); i++) {
        const char16_t c = wide[i];
        // "Afghanistan, OLPC" reads as "Afghanistan OLPC", not with two blanks.
        if (c == u',' && i + 1 < wide.size() && wide[i + 1] == u' ') {
            continue;
        }
        const bool held =
            c != u',' && c != u']' && c != u'[' && c != u'"' && c != u'\r' && c != u'\n';
        name += held ? c : u' ';
    }
    const size_t room = LAYOUT_NAME_SIZE - 1;
    if (name.size() > room) {
        const size_t variant = name.find(u" (");
        if (variant != std::u16string::npos) {
            name.resize(variant);
        }
    }
    if (name.size() > room) {
        name.resize(room);
    }
    return name;
}

std::u16string LayoutLabelOf(const std::string &layout) {
    std::u16string label = WideFromUtf8(layout);
    if (label.size() > LAYOUT_LABEL_SIZE - 1) {
        label.resize(LAYOUT_LABEL_SIZE - 1);
    }
    return label;
}

KeyboardLayout *ImportLayout(KeyboardLayout *englishTemplate,
                             const std::vector<TemplateKey> &places, const CompiledKeymap &keymap,
                             xkb_compose_table *compose, const std::u16string &name,
                             const std::u16string &label, ImportReport &report) {
    KeyboardLayout *layout = CopyKeyBoard(englishTemplate);
    if (layout == nullptr) {
        return nullptr;
    }
    ReplaceKbdNames(layout, name.c_str(), nullptr, label.c_str());
    // The key left of Z goes in first, so that every level, copy and dead key has it.
    std::vector<TemplateKey> keys = places;
    AddKeyLeftOfZ(layout, keymap, keys);
    LayoutLevels levels;
    FindLevels(layout, &levels);
    FillLevel(levels.main, plainLevel, keys, keymap, report);
    FillLevel(levels.shift, shiftLevel, keys, keymap, report);
    FillLevel(levels.caps, capsLevel, keys, keymap, report);
    FillLevel(levels.shiftedCaps, shiftCapsLevel, keys, keymap, report);
    if (HasAltGrLevels(keys, keymap)) {
        AddAltGrLevels(layout, keys, keymap, report);
    }
    if (compose != nullptr) {
        AddDeadKeys(layout, keys, keymap, compose, report);
    }
    return layout;
}
