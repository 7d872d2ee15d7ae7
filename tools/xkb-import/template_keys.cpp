#include "template_keys.h"

namespace {

// The character a template key types, or 0 for the keys that are no character (Shift, Return,
// the space bar, which stay as they are).
char32_t CharacterOf(const KeyDef *key) {
    if ((key->flags & KEY_VIRTUAL) == 0) {
        return key->code;
    }
    return key->code == ',' ? U',' : 0;
}

xkb_keycode_t KeycodeTyping(const CompiledKeymap &us, char32_t character) {
    for (const auto &[keycode, levels] : us.keys) {
        if (levels.levels[plainLevel].character == character) {
            return keycode; // the map is in keycode order: the lowest
        }
    }
    return 0;
}

} // namespace

std::vector<TemplateKey> PlaceTemplateKeys(const KeyboardLayout *englishMain,
                                           const CompiledKeymap &us) {
    std::vector<TemplateKey> places;
    for (const Element *node = englishMain->keys; node != nullptr; node = node->next) {
        const KeyDef *key = static_cast<const KeyDef *>(node->data);
        const char32_t character = key != nullptr ? CharacterOf(key) : 0;
        const xkb_keycode_t keycode = character != 0 ? KeycodeTyping(us, character) : 0;
        if (keycode != 0) {
            places.push_back({key->left, key->top, keycode});
        }
    }
    return places;
}

xkb_keycode_t KeycodeAt(const std::vector<TemplateKey> &keys, int left, int top) {
    for (const TemplateKey &key : keys) {
        if (key.left == left && key.top == top) {
            return key.keycode;
        }
    }
    return 0;
}
