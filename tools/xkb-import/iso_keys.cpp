#include "iso_keys.h"

#include "tree_levels.h"

namespace {

KeyDef *LeftShift(KeyboardLayout *level) {
    KeyDef *found = nullptr;
    for (Element *node = level->keys; node != nullptr; node = node->next) {
        KeyDef *key = static_cast<KeyDef *>(node->data);
        if (key != nullptr && (key->flags & KEY_VIRTUAL) != 0 && key->code == VK_SHIFT &&
            (found == nullptr || key->left < found->left)) {
            found = key;
        }
    }
    return found;
}

// Whether the key types, plain or with Shift, a character no other key of the template types so.
bool AddsACharacter(const KeyLevels &key, const CompiledKeymap &keymap,
                    const std::vector<TemplateKey> &places) {
    for (KeyLevel level : {plainLevel, shiftLevel}) {
        const char32_t wanted = key.levels[level].character;
        bool elsewhere = wanted == 0;
        for (const TemplateKey &place : places) {
            const auto other = keymap.keys.find(place.keycode);
            elsewhere |= other != keymap.keys.end() &&
                         (other->second.levels[plainLevel].character == wanted ||
                          other->second.levels[shiftLevel].character == wanted);
        }
        if (!elsewhere) {
            return true;
        }
    }
    return false;
}

} // namespace

bool AddKeyLeftOfZ(KeyboardLayout *layout, const CompiledKeymap &keymap,
                   std::vector<TemplateKey> &places) {
    const auto found = keymap.keys.find(keyLeftOfZ);
    if (found == keymap.keys.end() || found->second.levels[plainLevel].keysym == XKB_KEY_NoSymbol ||
        !AddsACharacter(found->second, keymap, places)) {
        return false;
    }
    bool placed = false;
    TemplateKey place = {0, 0, keyLeftOfZ};
    for (int l = 0; l < treeLevelCount / 2; l++) {
        KeyboardLayout *level = FindLevelNamed(layout, treeLevels[l].subName);
        KeyDef *shift = level != nullptr ? LeftShift(level) : nullptr;
        if (shift == nullptr || shift->width < 2 * isoKeyWidth) {
            continue;
        }
        KeyDef *key = static_cast<KeyDef *>(LocalAlloc(LPTR, sizeof(KeyDef)));
        if (key == nullptr) {
            continue;
        }
        shift->width -= isoKeyWidth;
        *key = KeyDef{shift->left + shift->width,
                      shift->top,
                      isoKeyWidth,
                      shift->height,
                      0,
                      0,
                      nullptr,
                      nullptr,
                      0,
                      0};
        if (!AddElement(&level->keys, key)) {
            LocalFree(key);
            shift->width += isoKeyWidth;
            continue;
        }
        place.left = key->left;
        place.top = key->top;
        placed = true;
    }
    if (placed) {
        places.push_back(place);
    }
    return placed;
}
