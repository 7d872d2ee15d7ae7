#include "layodex_internal.h"

int AddElement(Element **head, void *data) {
    if (head == NULL)
        return 0;
    Element *node = (Element *)LocalAlloc(LPTR, sizeof(Element));
    if (node == NULL)
        return 0;
    node->data = data;
    node->next = *head;
    if (*head != NULL)
        (*head)->prev = node;
    *head = node;
    return 1;
}

int ExtractElement(Element **head, Element *node, int freeData) {
    if (head == NULL || node == NULL)
        return 0;
    if (node->prev != NULL)
        node->prev->next = node->next;
    else
        *head = node->next;
    if (node->next != NULL)
        node->next->prev = node->prev;

    int result = 1;
    if ((freeData & 0xFF) != 0 && node->data != NULL && LocalFree(node->data) != NULL)
        result = 0;
    if (LocalFree(node) != NULL)
        result = 0;
    return result;
}

Element *FindLastElement(Element *node) {
    if (node == NULL)
        return NULL;
    while (node->next != NULL)
        node = node->next;
    return node;
}

int ReleaseAll(Element **head, int freeData) {
    if (head == NULL)
        return 1;
    while (*head != NULL)
        ExtractElement(head, *head, freeData);
    return 1;
}
