// The program's lists.
#include "program_lists.h"

BOOL PushListNode(Element **head, void *data) {
    Element *node = (Element *)LocalAlloc(LPTR, sizeof(Element));
    if (node == NULL)
        return FALSE;
    node->data = data;
    node->next = *head;
    if (*head != NULL)
        (*head)->prev = node;
    *head = node;
    return TRUE;
}

void RemoveListNode(Element **head, Element *node, BOOL freeData) {
    if (node->prev != NULL)
        node->prev->next = node->next;
    else
        *head = node->next;
    if (node->next != NULL)
        node->next->prev = node->prev;
    if (freeData && node->data != NULL)
        LocalFree(node->data);
    LocalFree(node);
}

void FreeList(Element **head, BOOL freeData) {
    while (*head != NULL)
        RemoveListNode(head, *head, freeData);
}

Element *OldestListNode(Element *head) {
    if (head == NULL)
        return NULL;
    while (head->next != NULL)
        head = head->next;
    return head;
}

KeyDef *CopyKeyRecord(const KeyDef *key) {
    KeyDef *copy = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
    if (copy != NULL)
        *copy = *key;
    return copy;
}
