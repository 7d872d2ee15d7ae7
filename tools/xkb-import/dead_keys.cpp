#include "dead_keys.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tree_levels.h"

namespace {

// The device program has pictures for six dead keys; the rest show their face.
const DWORD deadKeyPictureFirst = 121;
const int deadKeyPictures = 6;

// The keyboards of a tree in the order of treeLevels, their sub-names after the prefix; null
// where the tree has none.
struct TreeKeyboards {
    KeyboardLayout *levels[treeLevelCount];
};

TreeKeyboards KeyboardsOf(KeyboardLayout *tree, const std::u16string &prefix) {
    TreeKeyboards keyboards;
    for (int l = 0; l < treeLevelCount; l++) {
        keyboards.levels[l] = FindLevelNamed(tree, prefix + treeLevels[l].subName);
    }
    return keyboards;
}

const LevelSymbol *SymbolAt(const CompiledKeymap &keymap, xkb_keycode_t keycode, KeyLevel level) {
    const auto found = keymap.keys.find(keycode);
    return found != keymap.keys.end() ? &found->second.levels[level] : nullptr;
}

void MakeDeadKey(KeyDef *key, KeyboardLayout *target, int deadKey, char32_t face) {
    if (key == nullptr || target == nullptr) {
        return;
    }
    key->flags = (key->flags & ~(KEY_VIRTUAL | KEY_MAP)) | KEY_DEADKEY | KEY_NEWKEYBD;
    if (deadKey < deadKeyPictures) {
        key->flags |= KEY_IMAGEINTERNAL;
        key->imageIndex = deadKeyPictureFirst + deadKey;
    }
    key->code = static_cast<WORD>(face);
    key->target = target;
}

bool HasDeadKey(const KeyboardLayout *level, char32_t face) {
    for (const Element *node = level->keys; node != nullptr; node = node->next) {
        const KeyDef *key = static_cast<const KeyDef *>(node->data);
        if (key != nullptr && (key->flags & KEY_DEADKEY) != 0 && key->code == face) {
            return true;
        }
    }
    return false;
}

// After a key typed in the dead copy the keyboard replays the held dead key there, finding the
// first key of the tree with its face. A dead key met on Shift or AltGr has none on the keyboard
// its tap leads to, so a hidden one there leads back.
void AddWayBack(KeyboardLayout *level, KeyboardLayout *back, const KeyDef *deadKey) {
    if (level == nullptr || back == nullptr || HasDeadKey(level, deadKey->code)) {
        return;
    }
    KeyDef *key = static_cast<KeyDef *>(LocalAlloc(LPTR, sizeof(KeyDef)));
    if (key == nullptr) {
        return;
    }
    *key = *deadKey;
    key->flags = KEY_DEADKEY | KEY_NEWKEYBD | KEY_HIDDEN;
    key->imageIndex = 0;
    key->image = nullptr;
    key->target = back;
    if (!AddElement(&level->keys, key)) {
        LocalFree(key);
    }
}

// The dead copy's keys: the composition where the table has one.
void ComposeLevel(KeyboardLayout *level, KeyLevel kind, xkb_keysym_t dead,
                  const std::vector<TemplateKey> &places, const CompiledKeymap &keymap,
                  xkb_compose_table *compose) {
    for (const TemplateKey &place : places) {
        KeyDef *key = KeyAtPlace(level, place.left, place.top);
        const LevelSymbol *symbol = SymbolAt(keymap, place.keycode, kind);
        if (key == nullptr || symbol == nullptr || symbol->keysym == XKB_KEY_NoSymbol) {
            continue;
        }
        const char32_t composed = Composed(compose, dead, symbol->keysym);
        if (composed != 0 && composed <= 0xFFFF) {
            key->flags = (key->flags & ~KEY_VIRTUAL) | KEY_MAP;
            key->code = static_cast<WORD>(composed);
        }
    }
}

} // namespace

void AddDeadKeys(KeyboardLayout *layout, const std::vector<TemplateKey> &places,
                 const CompiledKeymap &keymap, xkb_compose_table *compose, ImportReport &report) {
    const TreeKeyboards tree = KeyboardsOf(layout, u"");
    // The dead keysyms in the order they are met, each with its copy made before any key of the
    // layout turns dead, so that every copy starts from the plain import.
    std::vector<xkb_keysym_t> deads;
    for (int l = 0; l < treeLevelCount; l++) {
        for (const TemplateKey &place : places) {
            const LevelSymbol *symbol = SymbolAt(keymap, place.keycode, treeLevels[l].kind);
            if (tree.levels[l] != nullptr && symbol != nullptr && IsDeadKeysym(symbol->keysym) &&
                std::find(deads.begin(), deads.end(), symbol->keysym) == deads.end()) {
                deads.push_back(symbol->keysym);
            }
        }
    }
    // A dead keysym without a face the format can hold has nothing to show or to type before a
    // key: it stays inert and gets no copy.
    std::vector<char32_t> faces;
    std::vector<KeyboardLayout *> copies;
    std::vector<std::u16string> prefixes;
    for (size_t i = 0; i < deads.size(); i++) {
        const char32_t face = DeadKeyFace(compose, deads[i]);
        faces.push_back(face == 0 || face > 0xFFFF ? 0 : face);
        const std::string number = std::to_string(i + 1);
        prefixes.push_back(u"Dead" + std::u16string(number.begin(), number.end()));
        KeyboardLayout *copy = faces[i] != 0 ? CopyKeyBoard(layout) : nullptr;
        if (copy != nullptr) {
            ReplaceKbdNames(copy, nullptr, prefixes[i].c_str(), nullptr);
        }
        copies.push_back(copy);
    }
    for (size_t i = 0; i < deads.size(); i++) {
        const char32_t face = faces[i];
        if (face == 0) {
            report.deadKeysWithoutCompose++;
            continue;
        }
        if (copies[i] == nullptr) {
            continue;
        }
        const TreeKeyboards dead = KeyboardsOf(copies[i], prefixes[i]);
        std::vector<std::pair<int, const KeyDef *>> wayBacks;
        for (int l = 0; l < treeLevelCount; l++) {
            ComposeLevel(dead.levels[l], treeLevels[l].kind, deads[i], places, keymap, compose);
        }
        for (int l = 0; l < treeLevelCount; l++) {
            for (const TemplateKey &place : places) {
                const LevelSymbol *symbol = SymbolAt(keymap, place.keycode, treeLevels[l].kind);
                if (tree.levels[l] == nullptr || symbol == nullptr || symbol->keysym != deads[i]) {
                    continue;
                }
                const int after = treeLevels[l].afterDeadKey;
                KeyDef *key = KeyAtPlace(tree.levels[l], place.left, place.top);
                MakeDeadKey(key, dead.levels[after], static_cast<int>(i), face);
                MakeDeadKey(KeyAtPlace(dead.levels[l], place.left, place.top), tree.levels[after],
                            static_cast<int>(i), face);
                if (key != nullptr) {
                    wayBacks.push_back({after, key});
                }
                report.inertKeys--; // it was counted inert, and now leads somewhere
            }
        }
        for (const auto &[after, key] : wayBacks) {
            AddWayBack(dead.levels[after], tree.levels[after], key);
        }
        report.deadKeys++;
    }
}
