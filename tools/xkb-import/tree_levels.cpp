#include "tree_levels.h"

#include <algorithm>
#include <vector>

namespace {

const int mainTreeLevel = 0;
const int capsTreeLevel = 2;

} // namespace

const TreeLevel treeLevels[treeLevelCount] = {
    {u"Main", plainLevel, mainTreeLevel},
    {u"Shift", shiftLevel, mainTreeLevel},
    {u"Caps", capsLevel, capsTreeLevel},
    {u"ShiftedCaps", shiftCapsLevel, capsTreeLevel},
    {u"AltGr", altGrLevel, mainTreeLevel},
    {u"ShiftAltGr", shiftAltGrLevel, mainTreeLevel},
    {u"CapsAltGr", altGrLevel, capsTreeLevel},
    {u"ShiftedCapsAltGr", shiftAltGrLevel, capsTreeLevel},
};

KeyboardLayout *FindLevelNamed(KeyboardLayout *tree, const std::u16string &subName) {
    std::vector<KeyboardLayout *> seen = {tree};
    for (size_t i = 0; i < seen.size(); i++) {
        if (std::u16string(seen[i]->subName) == subName) {
            return seen[i];
        }
        for (Element *node = seen[i]->keys; node != nullptr; node = node->next) {
            const KeyDef *key = static_cast<const KeyDef *>(node->data);
            auto *target = static_cast<KeyboardLayout *>(key->target);
            if ((key->flags & KEY_NEWKEYBD) != 0 && target != nullptr &&
                std::find(seen.begin(), seen.end(), target) == seen.end()) {
                seen.push_back(target);
            }
        }
    }
    return nullptr;
}

KeyDef *KeyAtPlace(KeyboardLayout *level, int left, int top) {
    for (Element *node = level != nullptr ? level->keys : nullptr; node != nullptr;
         node = node->next) {
        KeyDef *key = static_cast<KeyDef *>(node->data);
        if (key != nullptr && key->left == left && key->top == top) {
            return key;
        }
    }
    return nullptr;
}
