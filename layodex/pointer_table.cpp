#include "pointer_table.h"

#include <stdint.h>

static int SlotOf(const void *key, int capacity) {
    uint64_t bits = (uint64_t)(uintptr_t)key;
    bits ^= bits >> 33;
    bits *= 0xFF51AFD7ED558CCDull;
    bits ^= bits >> 33;
    return (int)(bits & (uint64_t)(capacity - 1));
}

static BOOL Grow(PointerTable *table) {
    int capacity = table->capacity == 0 ? 16 : table->capacity * 2;
    PointerSlot *slots = (PointerSlot *)LocalAlloc(LPTR, capacity * sizeof(PointerSlot));
    if (slots == NULL)
        return FALSE;
    for (int i = 0; i < table->capacity; i++) {
        const PointerSlot *old = &table->slots[i];
        if (old->key == NULL)
            continue;
        int slot = SlotOf(old->key, capacity);
        while (slots[slot].key != NULL)
            slot = (slot + 1) & (capacity - 1);
        slots[slot] = *old;
    }
    if (table->slots != NULL)
        LocalFree(table->slots);
    table->slots = slots;
    table->capacity = capacity;
    return TRUE;
}

PointerSlot *FindInPointerTable(const PointerTable *table, const void *key) {
    if (table->count == 0 || key == NULL)
        return NULL;
    for (int slot = SlotOf(key, table->capacity);; slot = (slot + 1) & (table->capacity - 1)) {
        PointerSlot *candidate = &table->slots[slot];
        if (candidate->key == key)
            return candidate;
        if (candidate->key == NULL)
            return NULL;
    }
}

BOOL AddToPointerTable(PointerTable *table, const void *key, void *value) {
    if (key == NULL)
        return FALSE;
    PointerSlot *held = FindInPointerTable(table, key);
    if (held != NULL) {
        held->value = value;
        return TRUE;
    }
    // Kept at most half full, so that a search meets a free slot soon.
    if ((table->count + 1) * 2 > table->capacity && !Grow(table))
        return FALSE;
    int slot = SlotOf(key, table->capacity);
    while (table->slots[slot].key != NULL)
        slot = (slot + 1) & (table->capacity - 1);
    table->slots[slot].key = key;
    table->slots[slot].value = value;
    table->count++;
    return TRUE;
}

// The entries after the hole that were placed past it move back, so that no search stops short.
void RemoveFromPointerTable(PointerTable *table, const void *key) {
    PointerSlot *held = FindInPointerTable(table, key);
    if (held == NULL)
        return;
    int mask = table->capacity - 1;
    int hole = (int)(held - table->slots);
    for (int slot = (hole + 1) & mask; table->slots[slot].key != NULL; slot = (slot + 1) & mask) {
        int home = SlotOf(table->slots[slot].key, table->capacity);
        BOOL homeBeyondHole = ((slot - home) & mask) < ((slot - hole) & mask);
        if (homeBeyondHole)
            continue;
        table->slots[hole] = table->slots[slot];
        hole = slot;
    }
    table->slots[hole].key = NULL;
    table->slots[hole].value = NULL;
    table->count--;
}

void ReleasePointerTable(PointerTable *table) {
    if (table->slots != NULL)
        LocalFree(table->slots);
    table->slots = NULL;
    table->capacity = 0;
    table->count = 0;
}
