#include "layodex_internal.h"
#include "pointer_table.h"

// Extra holders of each object shared by copied keys, as the value of its entry; an object
// missing here has one holder.
static PointerTable SharedRefs;

BOOL AddSharedRef(const void *object) {
    PointerSlot *held = FindInPointerTable(&SharedRefs, object);
    if (held != NULL) {
        held->value = (void *)((INT_PTR)held->value + 1);
        return TRUE;
    }
    return AddToPointerTable(&SharedRefs, object, (void *)(INT_PTR)1);
}

// TRUE when the caller held the last reference and must free the object.
BOOL DropSharedRef(const void *object) {
    PointerSlot *held = FindInPointerTable(&SharedRefs, object);
    if (held == NULL)
        return TRUE;
    INT_PTR extraHolders = (INT_PTR)held->value - 1;
    if (extraHolders == 0)
        RemoveFromPointerTable(&SharedRefs, object);
    else
        held->value = (void *)extraHolders;
    if (SharedRefs.count == 0)
        ReleasePointerTable(&SharedRefs);
    return FALSE;
}
