#include <stdlib.h>

#include "layodex_internal.h"

BOOL KeyHasText(const KeyDef *key) {
    return key->target != NULL && (key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0;
}

BOOL KeyHasLayoutTarget(const KeyDef *key) {
    return key->target != NULL && !KeyHasText(key) && (key->flags & KEY_NEWKEYBD) != 0;
}

BOOL KeyHasSwitchRequest(const KeyDef *key) {
    return key->target != NULL && (key->flags & (KEY_MACRO | KEY_LAUNCH | KEY_NEWKEYBD)) == 0 &&
           (key->flags & KEY_SWITCH) != 0;
}

// Frees what the key alone refers to: its own picture, its text or its switch request record.
// A layout target belongs to the cache and is left alone.
void ReleaseKeyResources(KeyDef *key) {
    if (key->image != NULL && (key->flags & KEY_IMAGE_OWNED) != 0 &&
        (key->flags & KEY_IMAGE_BORROWED) == 0 && DropSharedRef(key->image))
        DeleteObject(key->image);
    key->image = NULL;

    if (KeyHasText(key)) {
        if (DropSharedRef(key->target))
            free(key->target);
        key->target = NULL;
    } else if (KeyHasSwitchRequest(key)) {
        if (DropSharedRef(key->target))
            LocalFree(key->target);
        key->target = NULL;
    }
}

void ReleaseKeyList(Element **keys) {
    for (Element *node = *keys; node != NULL; node = node->next) {
        if (node->data != NULL)
            ReleaseKeyResources((KeyDef *)node->data);
    }
    ReleaseAll(keys, 1);
}

// A key of a section that never reached the cache: its NEWKEYBD target is still the reader's
// request record.
void ReleaseUnresolvedKey(KeyDef *key) {
    if (KeyHasLayoutTarget(key)) {
        LocalFree(key->target);
        key->target = NULL;
    }
    ReleaseKeyResources(key);
}

void ReleaseUnresolvedKeyList(Element **keys) {
    for (Element *node = *keys; node != NULL; node = node->next) {
        if (node->data != NULL)
            ReleaseUnresolvedKey((KeyDef *)node->data);
    }
    ReleaseAll(keys, 1);
}

KeyboardLayout *NewLayoutRecord(const WCHAR *name, const WCHAR *subName, const WCHAR *label,
                                INT number) {
    KeyboardLayout *layout = (KeyboardLayout *)LocalAlloc(LPTR, sizeof(KeyboardLayout));
    if (layout == NULL)
        return NULL;
    CopyBoundedText(layout->name, name, LAYOUT_NAME_SIZE);
    CopyBoundedText(layout->subName, subName, LAYOUT_NAME_SIZE);
    CopyBoundedText(layout->label, label, LAYOUT_LABEL_SIZE);
    layout->number = number;
    return layout;
}

void CopyBoundedText(WCHAR *to, const WCHAR *from, int size) {
    lstrcpynW(to, from != NULL ? from : WTEXT(""), size);
}
