#include "face_context.h"
#include "layodex_internal.h"

// Releases a layout's keys and, once each, those of every layout its keys lead to.
static void ReleaseLayoutTree(KeyboardLayout *layout) {
    if (layout->keys == NULL || WasVisited(layout->keys) || !MarkVisited(layout->keys))
        return;
    for (Element *node = layout->keys; node != NULL; node = node->next) {
        KeyDef *key = (KeyDef *)node->data;
        if (key == NULL)
            continue;
        if (KeyHasLayoutTarget(key)) {
            ReleaseLayoutTree((KeyboardLayout *)key->target);
            key->target = NULL;
        }
    }
    ReleaseKeyList(&layout->keys);
}

int UnLoadKeyBoard(KeyboardLayout *layout) {
    if (layout == NULL || layout->keys == NULL)
        return 0;
    ClearVisited();
    ReleaseLayoutTree(layout);
    ClearVisited();
    return 1;
}

static BOOL IsCachedLayout(const KeyboardLayout *layout) {
    for (Element *node = LayoutCache; node != NULL; node = node->next) {
        if (node->data == layout)
            return TRUE;
    }
    return FALSE;
}

int UnLoadKeyBoardsNames(Element *catalogue) {
    if (catalogue == NULL)
        return 0;

    for (Element *node = LayoutCache; node != NULL; node = node->next) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout == NULL || layout->keys == NULL)
            continue;
        for (Element *keyNode = layout->keys; keyNode != NULL; keyNode = keyNode->next) {
            KeyDef *key = (KeyDef *)keyNode->data;
            if (key != NULL && KeyHasLayoutTarget(key))
                key->target = NULL;
        }
        ReleaseKeyList(&layout->keys);
    }
    // A host that passes cached layouts as its catalogue must not get them freed twice.
    Element *entries = catalogue;
    while (entries != NULL)
        ExtractElement(&entries, entries, !IsCachedLayout((KeyboardLayout *)entries->data));
    ReleaseAll(&LayoutCache, 1);
    ReleaseFaceContext();
    return 1;
}
