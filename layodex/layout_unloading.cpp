#include "face_context.h"
#include "layodex_internal.h"
#include "pointer_table.h"
#include "work_stack.h"

// Releases a layout's keys and, once each, those of every layout its keys lead to. Lists are
// marked rather than layouts, so that two records sharing one list release it once.
static void ReleaseLayoutTree(KeyboardLayout *root) {
    WorkStack stack;
    StartWorkStack(&stack, sizeof(KeyboardLayout *));
    PointerTable released = {};
    PushWork(&stack, &root);
    while (stack.count > 0) {
        KeyboardLayout *layout = *(KeyboardLayout **)TopWork(&stack);
        PopWork(&stack);
        if (layout->keys == NULL || FindInPointerTable(&released, layout->keys) != NULL ||
            !AddToPointerTable(&released, layout->keys, NULL))
            continue;
        for (Element *node = layout->keys; node != NULL; node = node->next) {
            KeyDef *key = (KeyDef *)node->data;
            if (key == NULL || !KeyHasLayoutTarget(key))
                continue;
            // A target that cannot be put aside keeps its keys rather than losing track of them.
            KeyboardLayout *target = (KeyboardLayout *)key->target;
            key->target = NULL;
            PushWork(&stack, &target);
        }
        ReleaseKeyList(&layout->keys);
    }
    ReleaseWorkStack(&stack);
    ReleasePointerTable(&released);
}

int UnLoadKeyBoard(KeyboardLayout *layout) {
    if (layout == NULL || layout->keys == NULL)
        return 0;
    ReleaseLayoutTree(layout);
    return 1;
}

static BOOL IsInList(const Element *list, const void *data) {
    for (; list != NULL; list = list->next) {
        if (list->data == data)
            return TRUE;
    }
    return FALSE;
}

// The keys of every layout the library holds, their targets cleared first so that no key is
// followed into a freed layout; each layout is noted in cached when one is given. FALSE when one
// could not be noted.
static BOOL ReleaseCachedKeys(PointerTable *cached) {
    BOOL allIndexed = TRUE;
    for (Element *node = LayoutCache; node != NULL; node = node->next) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout == NULL)
            continue;
        if (cached != NULL && !AddToPointerTable(cached, layout, NULL))
            allIndexed = FALSE;
        if (layout->keys == NULL)
            continue;
        for (Element *keyNode = layout->keys; keyNode != NULL; keyNode = keyNode->next) {
            KeyDef *key = (KeyDef *)keyNode->data;
            if (key != NULL && KeyHasLayoutTarget(key))
                key->target = NULL;
        }
        ReleaseKeyList(&layout->keys);
    }
    return allIndexed;
}

void ReleaseLoadedLayouts(void) {
    ReleaseCachedKeys(NULL);
    ReleaseAll(&LayoutCache, 1);
    ReleaseFaceContext();
}

int UnLoadKeyBoardsNames(Element *catalogue) {
    if (catalogue == NULL)
        return 0;

    PointerTable cached = {};
    BOOL allIndexed = ReleaseCachedKeys(&cached);
    // A host that passes cached layouts as its catalogue must not get them freed twice.
    Element *entries = catalogue;
    while (entries != NULL) {
        BOOL isCached = allIndexed ? FindInPointerTable(&cached, entries->data) != NULL
                                   : IsInList(LayoutCache, entries->data);
        ExtractElement(&entries, entries, !isCached);
    }
    ReleasePointerTable(&cached);
    ReleaseAll(&LayoutCache, 1);
    ReleaseFaceContext();
    return 1;
}
