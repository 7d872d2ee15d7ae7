// Chains of items under a hash of their names, so that finding a layout by name costs the same
// among ten thousand layouts as among ten. The index holds hashes only: callers compare the
// names of what a chain gives them.
#ifndef LAYODEX_NAME_INDEX_H
#define LAYODEX_NAME_INDEX_H

#include <windows.h>

typedef struct NameIndexEntry {
    DWORD hash;
    int next; // the entry added before this one in the same chain, or -1
    void *item;
} NameIndexEntry;

typedef struct NameIndex {
    int *chains;    // the newest entry of each chain, or -1
    int chainCount; // a power of two, or 0 before the first entry
    NameIndexEntry *entries;
    int count;
    int capacity;
} NameIndex;

// Layout names match whatever their case; the hash folds case the same way the match does.
BOOL SameName(const WCHAR *a, const WCHAR *b);
DWORD HashName(const WCHAR *name, DWORD hash);
#define NAME_HASH_START 2166136261u

// The item goes first in its chain: a search meets the newest entries first.
BOOL AddToNameIndex(NameIndex *index, DWORD hash, void *item);
// The newest entry under the hash, then each older one; -1 when there is none.
int FirstNamed(const NameIndex *index, DWORD hash);
int NextNamed(const NameIndex *index, int entry);
void ReleaseNameIndex(NameIndex *index);

#endif
