#include "layodex_internal.h"

// Extra holders of an object shared by copied keys; an object missing here has one holder.
typedef struct SharedRef {
    const void *object;
    int extraHolders;
} SharedRef;

static Element *SharedRefs;

static Element *FindSharedRef(const void *object) {
    for (Element *node = SharedRefs; node != NULL; node = node->next) {
        if (((SharedRef *)node->data)->object == object)
            return node;
    }
    return NULL;
}

BOOL AddSharedRef(const void *object) {
    Element *node = FindSharedRef(object);
    if (node != NULL) {
        ((SharedRef *)node->data)->extraHolders++;
        return TRUE;
    }
    SharedRef *ref = (SharedRef *)LocalAlloc(LPTR, sizeof(SharedRef));
    if (ref == NULL)
        return FALSE;
    ref->object = object;
    ref->extraHolders = 1;
    if (!AddElement(&SharedRefs, ref)) {
        LocalFree(ref);
        return FALSE;
    }
    return TRUE;
}

// TRUE when the caller held the last reference and must free the object.
BOOL DropSharedRef(const void *object) {
    Element *node = FindSharedRef(object);
    if (node == NULL)
        return TRUE;
    SharedRef *ref = (SharedRef *)node->data;
    if (--ref->extraHolders == 0)
        ExtractElement(&SharedRefs, node, 1);
    return FALSE;
}
