#include "layodex_internal.h"

BOOL WasVisited(const void *item) {
    for (Element *node = VisitedList; node != NULL; node = node->next) {
        if (node->data == item)
            return TRUE;
    }
    return FALSE;
}

BOOL MarkVisited(const void *item) {
    return AddElement(&VisitedList, (void *)item);
}

void ClearVisited(void) {
    ReleaseAll(&VisitedList, 0);
}
