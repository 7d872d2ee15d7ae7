#include "alt_gr_levels.h"

#include "tree_levels.h"

namespace {

KeyDef *SpaceBar(KeyboardLayout *level) {
    for (Element *node = level->keys; node != nullptr; node = node->next) {
        KeyDef *key = static_cast<KeyDef *>(node->data);
        if (key != nullptr && (key->flags & KEY_VIRTUAL) != 0 && key->code == VK_SPACE) {
            return key;
        }
    }
    return nullptr;
}

// The space bar gives the AltGr key its room at its right end.
bool AddAltGrKey(KeyboardLayout *level, KeyboardLayout *target) {
    KeyDef *space = SpaceBar(level);
    if (space == nullptr || space->width <= altGrKeyWidth) {
        return false;
    }
    KeyDef *key = static_cast<KeyDef *>(LocalAlloc(LPTR, sizeof(KeyDef)));
    if (key == nullptr) {
        return false;
    }
    space->width -= altGrKeyWidth;
    key->left = space->left + space->width;
    key->top = space->top;
    key->width = altGrKeyWidth;
    key->height = space->height;
    key->flags = KEY_STICK | KEY_NEWKEYBD;
    key->code = altGrFace;
    key->target = target;
    if (!AddElement(&level->keys, key)) {
        LocalFree(key);
        return false;
    }
    return true;
}

} // namespace

bool HasAltGrLevels(const std::vector<TemplateKey> &places, const CompiledKeymap &keymap) {
    for (const TemplateKey &place : places) {
        const auto found = keymap.keys.find(place.keycode);
        if (found != keymap.keys.end() &&
            (found->second.levels[altGrLevel].keysym != XKB_KEY_NoSymbol ||
             found->second.levels[shiftAltGrLevel].keysym != XKB_KEY_NoSymbol)) {
            return true;
        }
    }
    return false;
}

bool AddAltGrLevels(KeyboardLayout *layout, const std::vector<TemplateKey> &places,
                    const CompiledKeymap &keymap, ImportReport &report) {
    KeyboardLayout *copy = CopyKeyBoard(layout);
    if (copy == nullptr) {
        return false;
    }
    const int baseLevels = treeLevelCount / 2;
    KeyboardLayout *base[baseLevels];
    KeyboardLayout *altGr[baseLevels];
    for (int i = 0; i < baseLevels; i++) {
        base[i] = FindLevelNamed(layout, treeLevels[i].subName);
        altGr[i] = FindLevelNamed(copy, treeLevels[i].subName);
    }
    bool added = true;
    for (int i = 0; i < baseLevels; i++) {
        if (base[i] == nullptr || altGr[i] == nullptr) {
            continue;
        }
        lstrcpyW(altGr[i]->subName, treeLevels[baseLevels + i].subName);
        FillLevel(altGr[i], treeLevels[baseLevels + i].kind, places, keymap, report);
        added &= AddAltGrKey(base[i], altGr[i]);
        added &= AddAltGrKey(altGr[i], base[i]);
    }
    return added;
}
