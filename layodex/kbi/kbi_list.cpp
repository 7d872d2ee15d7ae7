#include <stdio.h>

#include "kbi.h"

int ListCommand(const char *directory) {
    if (!UseDirectory(directory))
        return 2;
    Element *catalogue = LoadKeyBoardsNames();
    if (catalogue == NULL) {
        printf("no layouts in %s\n", directory);
        return 1;
    }
    for (Element *node = FindLastElement(catalogue); node != NULL; node = node->prev) {
        KeyboardLayout *entry = (KeyboardLayout *)node->data;
        PrintWide(entry->name);
        printf("\tlabel ");
        PrintWide(entry->label);
        printf("\tnumber %d\t%s\n", entry->number, entry->path);
    }
    UnLoadKeyBoardsNames(catalogue);
    return 0;
}
