// A map from pointers to values, and with values unused a set of pointers: walks over large trees
// ask it what they have met in constant time.
#ifndef LAYODEX_POINTER_TABLE_H
#define LAYODEX_POINTER_TABLE_H

#include <windows.h>

typedef struct PointerSlot {
    const void *key; // NULL: a free slot
    void *value;
} PointerSlot;

typedef struct PointerTable {
    PointerSlot *slots;
    int capacity; // a power of two, or 0 before the first entry
    int count;
} PointerTable;

// NULL keys are never held. Adding a key already held changes its value.
BOOL AddToPointerTable(PointerTable *table, const void *key, void *value);
PointerSlot *FindInPointerTable(const PointerTable *table, const void *key);
void RemoveFromPointerTable(PointerTable *table, const void *key);
void ReleasePointerTable(PointerTable *table);

#endif
