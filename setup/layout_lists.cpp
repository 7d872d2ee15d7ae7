// The two lists of layout files: what the user may choose from and what goes onto the device.
#include "setup_state.h"

BOOL PushLayoutEntry(LayoutNode **list, LayoutFileEntry *entry) {
    LayoutNode *node = (LayoutNode *)LocalAlloc(LPTR, sizeof(LayoutNode));
    if (node == NULL)
        return FALSE;
    node->data = entry;
    node->next = *list;
    if (*list != NULL)
        (*list)->previous = node;
    *list = node;
    return TRUE;
}

void UnlinkLayoutEntry(LayoutNode **list, LayoutFileEntry *entry) {
    for (LayoutNode *node = *list; node != NULL; node = node->next) {
        if (node->data != entry)
            continue;
        if (node->previous != NULL)
            node->previous->next = node->next;
        else
            *list = node->next;
        if (node->next != NULL)
            node->next->previous = node->previous;
        LocalFree(node);
        return;
    }
}

void FreeLayoutList(LayoutNode **list) {
    LayoutNode *node = *list;
    while (node != NULL) {
        LayoutNode *next = node->next;
        if (node->data != NULL)
            LocalFree(node->data);
        LocalFree(node);
        node = next;
    }
    *list = NULL;
}

int CountLayoutEntries(const LayoutNode *list) {
    int count = 0;
    for (; list != NULL; list = list->next)
        count++;
    return count;
}
