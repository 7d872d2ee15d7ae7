#include "layodex_internal.h"

KeyboardLayout *GetKeyBoardByName(Element *layouts, const WCHAR *name) {
    if (name == NULL)
        return NULL;
    for (Element *node = layouts; node != NULL; node = node->next) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout != NULL && _wcsicmp(layout->name, name) == 0)
            return layout;
    }
    return NULL;
}

static void ClearMarksInTree(KeyboardLayout *layout) {
    if (WasVisited(layout) || !MarkVisited(layout))
        return;
    FOR_EACH_IN_LIST_ORDER(node, layout->keys) {
        ((KeyDef *)node->data)->flags &= ~KEY_TEMP_MARK;
    }
    FOR_EACH_IN_LIST_ORDER(node, layout->keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (KeyHasLayoutTarget(key))
            ClearMarksInTree((KeyboardLayout *)key->target);
    }
}

int ClearTempFlag(KeyboardLayout *layout) {
    if (layout == NULL)
        return 0;
    ClearVisited();
    ClearMarksInTree(layout);
    ClearVisited();
    return 1;
}

// While a tree is copied, VisitedList pairs each source layout with its copy. Pairs go by the
// layout record: layouts without keys would otherwise all pair with the first of them.
typedef struct CopyPair {
    const KeyboardLayout *source;
    KeyboardLayout *copy;
} CopyPair;

static CopyPair *FindCopyPair(const KeyboardLayout *source) {
    for (Element *node = VisitedList; node != NULL; node = node->next) {
        CopyPair *pair = (CopyPair *)node->data;
        if (pair->source == source)
            return pair;
    }
    return NULL;
}

// A copied key shares its picture, text or switch request with the source key.
static KeyDef *CopyKey(const KeyDef *source) {
    KeyDef *copy = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
    if (copy == NULL)
        return NULL;
    *copy = *source;
    BOOL sharesImage = copy->image != NULL && (copy->flags & KEY_IMAGE_OWNED) != 0 &&
                       (copy->flags & KEY_IMAGE_BORROWED) == 0;
    BOOL sharesTarget = KeyHasText(copy) || KeyHasSwitchRequest(copy);
    if (sharesImage && !AddSharedRef(copy->image)) {
        LocalFree(copy);
        return NULL;
    }
    if (sharesTarget && !AddSharedRef(copy->target)) {
        if (sharesImage)
            DropSharedRef(copy->image);
        LocalFree(copy);
        return NULL;
    }
    return copy;
}

static KeyboardLayout *CopyLayoutTree(const KeyboardLayout *source) {
    CopyPair *known = FindCopyPair(source);
    if (known != NULL)
        return known->copy;
    CopyPair *pair = (CopyPair *)LocalAlloc(LPTR, sizeof(CopyPair));
    if (pair == NULL)
        return NULL;
    pair->source = source;
    if (!AddElement(&VisitedList, pair)) {
        LocalFree(pair);
        return NULL;
    }

    KeyboardLayout *copy =
        NewLayoutRecord(source->name, source->subName, source->label, source->number);
    if (copy == NULL || !AddElement(&LayoutCache, copy)) {
        LocalFree(copy);
        return NULL;
    }
    FOR_EACH_IN_LIST_ORDER(node, source->keys) {
        KeyDef *key = CopyKey((const KeyDef *)node->data);
        if (key != NULL && !AddElement(&copy->keys, key)) {
            ReleaseKeyResources(key);
            LocalFree(key);
        }
    }
    pair->copy = copy;

    FOR_EACH_IN_LIST_ORDER(node, copy->keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (KeyHasLayoutTarget(key))
            key->target = CopyLayoutTree((const KeyboardLayout *)key->target);
    }
    return copy;
}

KeyboardLayout *CopyKeyBoard(KeyboardLayout *layout) {
    if (layout == NULL)
        return NULL;
    ClearVisited();
    KeyboardLayout *copy = CopyLayoutTree(layout);
    ReleaseAll(&VisitedList, 1);
    return copy;
}

Element *CopyKeyBoardsNames(Element *layouts) {
    Element *copies = NULL;
    FOR_EACH_IN_LIST_ORDER(node, layouts) {
        KeyboardLayout *copy = CopyKeyBoard((KeyboardLayout *)node->data);
        if (copy != NULL)
            AddElement(&copies, copy);
    }
    return copies;
}

// Names that do not fit their arrays are cut to fit.
static void RenameTree(KeyboardLayout *layout, const WCHAR *name, const WCHAR *prefix,
                       const WCHAR *label) {
    if (WasVisited(layout) || !MarkVisited(layout))
        return;
    if (name != NULL)
        CopyBoundedText(layout->name, name, LAYOUT_NAME_SIZE);
    if (prefix != NULL) {
        WCHAR subName[LAYOUT_NAME_SIZE];
        CopyBoundedText(subName, prefix, LAYOUT_NAME_SIZE);
        int used = lstrlenW(subName);
        lstrcpynW(subName + used, layout->subName, LAYOUT_NAME_SIZE - used);
        lstrcpyW(layout->subName, subName);
    }
    if (label != NULL)
        CopyBoundedText(layout->label, label, LAYOUT_LABEL_SIZE);
    FOR_EACH_IN_LIST_ORDER(node, layout->keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (KeyHasLayoutTarget(key))
            RenameTree((KeyboardLayout *)key->target, name, prefix, label);
    }
}

int ReplaceKbdNames(KeyboardLayout *layout, const WCHAR *name, const WCHAR *subNamePrefix,
                    const WCHAR *label) {
    if (layout == NULL)
        return 0;
    ClearVisited();
    RenameTree(layout, name, subNamePrefix, label);
    ClearVisited();
    return layout->keys != NULL ? 1 : 0;
}
