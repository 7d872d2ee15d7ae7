// The program's own lists: Element nodes as the library's, new nodes at the head, nodes and their
// records zero-filled blocks of the local heap.
#ifndef PENNAKBD_PROGRAM_LISTS_H
#define PENNAKBD_PROGRAM_LISTS_H

#include <windows.h>

#include <layodex.h>

// A new node at the head carrying data; FALSE when it cannot be allocated.
BOOL PushListNode(Element **head, void *data);
// Unlinks the node and frees it, and its record when freeData is TRUE.
void RemoveListNode(Element **head, Element *node, BOOL freeData);
// Empties the list, freeing every node, and every record when freeData is TRUE.
void FreeList(Element **head, BOOL freeData);
// The oldest node, where a walk in list order starts; NULL for an empty list.
Element *OldestListNode(Element *head);

// A zero-filled copy of the key record, or NULL.
KeyDef *CopyKeyRecord(const KeyDef *key);

#endif
