// HeldKeys and its operations.
#include "held_keys.h"

#include "pennakbd_state.h"
#include "program_lists.h"

namespace {

BOOL HeldKeysMatch(const KeyDef *held, const KeyDef *key) {
    return held->code == key->code && (held->flags & KEY_KIND_BITS) == (key->flags & KEY_KIND_BITS);
}

// A key whose target is a text (a macro or a program) never leads to a layout, whatever other
// bits it has: the text is not a layout request.
BOOL TargetIsText(const KeyDef *key) {
    return (key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0;
}

// The layout a held copy leads to from the current one, or the current one.
Element *FollowHeldKey(Element *current, const KeyDef *held, DWORD mask) {
    const DWORD wanted = held->flags & mask;
    KeyDef *found = Layodex.FindKeyByUnicode(current, held->code, wanted, 0);
    if (found == NULL || (found->flags & mask) != wanted || wanted == 0)
        return current;
    if ((found->flags & KEY_NEWKEYBD) != 0) {
        KeyboardLayout *target = (KeyboardLayout *)found->target;
        return target != NULL ? target->keys : current;
    }
    if (found->target != NULL) {
        Element *resolved = ResolveKeyTarget(found);
        if (resolved != NULL)
            return resolved;
    }
    return current;
}

} // namespace

int ToggleHeldKey(const KeyDef *key) {
    if (key == NULL)
        return 1;
    for (Element *node = HeldKeys; node != NULL; node = node->next) {
        if (node->data != NULL && HeldKeysMatch((const KeyDef *)node->data, key)) {
            RemoveListNode(&HeldKeys, node, TRUE);
            return 0;
        }
    }
    KeyDef *copy = CopyKeyRecord(key);
    if (copy != NULL && !PushListNode(&HeldKeys, copy))
        LocalFree(copy);
    return 1;
}

WCHAR *ReleaseHeldKeys(DWORD mask) {
    WCHAR *codes = NULL;
    if ((mask & KEY_STICK) != 0) {
        int count = 0;
        for (Element *node = HeldKeys; node != NULL; node = node->next) {
            if (node->data != NULL && (((KeyDef *)node->data)->flags & KEY_STICK) != 0)
                count++;
        }
        if (count > 0)
            codes = (WCHAR *)LocalAlloc(LPTR, (count + 1) * sizeof(WCHAR));
        if (codes != NULL) {
            int at = 0;
            for (Element *node = HeldKeys; node != NULL; node = node->next) {
                const KeyDef *held = (const KeyDef *)node->data;
                if (held != NULL && (held->flags & KEY_STICK) != 0)
                    codes[at++] = held->code;
            }
        }
    }
    const DWORD released = mask & KEY_KIND_BITS;
    for (Element *node = HeldKeys; node != NULL;) {
        Element *next = node->next;
        const KeyDef *held = (const KeyDef *)node->data;
        if (held == NULL || (held->flags & released) != 0)
            RemoveListNode(&HeldKeys, node, TRUE);
        node = next;
    }
    return codes;
}

Element *ResolveKeyTarget(KeyDef *key) {
    if (key == NULL || TargetIsText(key))
        return NULL;
    if ((key->flags & KEY_NEWKEYBD) != 0) {
        KeyboardLayout *target = (KeyboardLayout *)key->target;
        return target != NULL ? target->keys : NULL;
    }
    if (key->target == NULL)
        return NULL;
    HCURSOR previous = SetCursor(LoadCursor(NULL, IDC_WAIT));
    KeyboardLayout *layout = (KeyboardLayout *)Layodex.LoadKeyBoard(
        LayoutCatalogue, (KeyboardLayout *)key->target, imageDc);
    SetCursor(previous);
    if (layout == NULL || layout->keys == NULL)
        return NULL;
    key->flags |= KEY_NEWKEYBD;
    LocalFree(key->target);
    key->target = layout;
    return layout->keys;
}

Element *ApplyHeldKeys(Element *start, DWORD mask, int direction) {
    Element *current = start;
    if (direction == HELD_OLDEST_FIRST) {
        for (Element *node = OldestListNode(HeldKeys); node != NULL; node = node->prev) {
            if (node->data != NULL)
                current = FollowHeldKey(current, (const KeyDef *)node->data, mask);
        }
    } else {
        for (Element *node = HeldKeys; node != NULL; node = node->next) {
            if (node->data != NULL)
                current = FollowHeldKey(current, (const KeyDef *)node->data, mask);
        }
    }
    return current;
}
