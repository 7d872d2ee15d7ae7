#include "name_index.h"

#include <string.h>

static WCHAR FoldCase(WCHAR c) {
    return towupper(c);
}

BOOL SameName(const WCHAR *a, const WCHAR *b) {
    for (;; a++, b++) {
        WCHAR left = FoldCase(*a);
        if (left != FoldCase(*b))
            return FALSE;
        if (left == 0)
            return TRUE;
    }
}

DWORD HashName(const WCHAR *name, DWORD hash) {
    for (; *name != 0; name++)
        hash = (hash ^ FoldCase(*name)) * 16777619u;
    // The end of a name counts, so that "ab" then "c" and "a" then "bc" differ.
    return (hash ^ 0xFFFFu) * 16777619u;
}

static void Chain(NameIndex *index, int entry) {
    int *chain = &index->chains[index->entries[entry].hash & (DWORD)(index->chainCount - 1)];
    index->entries[entry].next = *chain;
    *chain = entry;
}

static BOOL GrowChains(NameIndex *index) {
    int chainCount = index->chainCount == 0 ? 16 : index->chainCount * 2;
    int *chains = (int *)LocalAlloc(LMEM_FIXED, chainCount * sizeof(int));
    if (chains == NULL)
        return FALSE;
    memset(chains, 0xFF, chainCount * sizeof(int));
    if (index->chains != NULL)
        LocalFree(index->chains);
    index->chains = chains;
    index->chainCount = chainCount;
    // Oldest first, so that every chain keeps its newest entries in front.
    for (int entry = 0; entry < index->count; entry++)
        Chain(index, entry);
    return TRUE;
}

static BOOL GrowEntries(NameIndex *index) {
    int capacity = index->capacity == 0 ? 16 : index->capacity * 2;
    NameIndexEntry *entries =
        (NameIndexEntry *)LocalAlloc(LMEM_FIXED, capacity * sizeof(NameIndexEntry));
    if (entries == NULL)
        return FALSE;
    if (index->entries != NULL) {
        memcpy(entries, index->entries, index->count * sizeof(NameIndexEntry));
        LocalFree(index->entries);
    }
    index->entries = entries;
    index->capacity = capacity;
    return TRUE;
}

BOOL AddToNameIndex(NameIndex *index, DWORD hash, void *item) {
    if (index->count == index->capacity && !GrowEntries(index))
        return FALSE;
    if (index->count >= index->chainCount && !GrowChains(index))
        return FALSE;
    NameIndexEntry *entry = &index->entries[index->count];
    entry->hash = hash;
    entry->item = item;
    Chain(index, index->count++);
    return TRUE;
}

static int SameHashFrom(const NameIndex *index, int entry, DWORD hash) {
    while (entry >= 0 && index->entries[entry].hash != hash)
        entry = index->entries[entry].next;
    return entry;
}

int FirstNamed(const NameIndex *index, DWORD hash) {
    if (index->count == 0)
        return -1;
    return SameHashFrom(index, index->chains[hash & (DWORD)(index->chainCount - 1)], hash);
}

int NextNamed(const NameIndex *index, int entry) {
    return SameHashFrom(index, index->entries[entry].next, index->entries[entry].hash);
}

void ReleaseNameIndex(NameIndex *index) {
    if (index->chains != NULL)
        LocalFree(index->chains);
    if (index->entries != NULL)
        LocalFree(index->entries);
    memset(index, 0, sizeof *index);
}
