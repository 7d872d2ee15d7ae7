#include "layodex_internal.h"
#include "pointer_table.h"
#include "tree_walk.h"

KeyboardLayout *GetKeyBoardByName(Element *layouts, const WCHAR *name) {
    if (name == NULL)
        return NULL;
    for (Element *node = layouts; node != NULL; node = node->next) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout != NULL && SameName(layout->name, name))
            return layout;
    }
    return NULL;
}

static int ClearMarks(KeyboardLayout *layout, int, void *) {
    FOR_EACH_IN_LIST_ORDER(node, layout->keys) {
        ((KeyDef *)node->data)->flags &= ~KEY_TEMP_MARK;
    }
    return WALK_ON;
}

int ClearTempFlag(KeyboardLayout *layout) {
    if (layout == NULL)
        return 0;
    WalkLayoutTree(layout, ClearMarks, NULL);
    return 1;
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

// Each source layout paired with its copy, and the copies in the order they were made.
typedef struct TreeCopy {
    PointerTable copies;
    Element *made;
} TreeCopy;

// The copy's keys still lead to the source layouts until every copy is made.
static int CopyLayout(KeyboardLayout *source, int, void *context) {
    TreeCopy *tree = (TreeCopy *)context;
    KeyboardLayout *copy =
        NewLayoutRecord(source->name, source->subName, source->label, source->number);
    if (copy == NULL || !AddElement(&LayoutCache, copy)) {
        LocalFree(copy);
        return WALK_ON;
    }
    FOR_EACH_IN_LIST_ORDER(node, source->keys) {
        KeyDef *key = CopyKey((const KeyDef *)node->data);
        if (key != NULL && !AddElement(&copy->keys, key)) {
            ReleaseKeyResources(key);
            LocalFree(key);
        }
    }
    // A copy missing from either record leads nowhere, as a layout that could not be copied.
    if (AddElement(&tree->made, copy) && !AddToPointerTable(&tree->copies, source, copy))
        ExtractElement(&tree->made, tree->made, 0);
    return WALK_ON;
}

static void LeadToCopies(TreeCopy *tree) {
    FOR_EACH_IN_LIST_ORDER(made, tree->made) {
        FOR_EACH_IN_LIST_ORDER(node, ((KeyboardLayout *)made->data)->keys) {
            KeyDef *key = (KeyDef *)node->data;
            if (!KeyHasLayoutTarget(key))
                continue;
            PointerSlot *pair = FindInPointerTable(&tree->copies, key->target);
            key->target = pair != NULL ? pair->value : NULL;
        }
    }
}

KeyboardLayout *CopyKeyBoard(KeyboardLayout *layout) {
    if (layout == NULL)
        return NULL;
    TreeCopy tree = {};
    WalkLayoutTree(layout, CopyLayout, &tree);
    LeadToCopies(&tree);
    PointerSlot *pair = FindInPointerTable(&tree.copies, layout);
    KeyboardLayout *copy = pair != NULL ? (KeyboardLayout *)pair->value : NULL;
    ReleasePointerTable(&tree.copies);
    ReleaseAll(&tree.made, 0);
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

typedef struct NewNames {
    const WCHAR *name;
    const WCHAR *prefix;
    const WCHAR *label;
} NewNames;

// Names that do not fit their arrays are cut to fit.
static int Rename(KeyboardLayout *layout, int, void *context) {
    const NewNames *names = (const NewNames *)context;
    if (names->name != NULL)
        CopyBoundedText(layout->name, names->name, LAYOUT_NAME_SIZE);
    if (names->prefix != NULL) {
        WCHAR subName[LAYOUT_NAME_SIZE];
        CopyBoundedText(subName, names->prefix, LAYOUT_NAME_SIZE);
        int used = lstrlenW(subName);
        lstrcpynW(subName + used, layout->subName, LAYOUT_NAME_SIZE - used);
        lstrcpyW(layout->subName, subName);
    }
    if (names->label != NULL)
        CopyBoundedText(layout->label, names->label, LAYOUT_LABEL_SIZE);
    return WALK_ON;
}

int ReplaceKbdNames(KeyboardLayout *layout, const WCHAR *name, const WCHAR *subNamePrefix,
                    const WCHAR *label) {
    if (layout == NULL)
        return 0;
    NewNames names = {name, subNamePrefix, label};
    WalkLayoutTree(layout, Rename, &names);
    return layout->keys != NULL ? 1 : 0;
}
