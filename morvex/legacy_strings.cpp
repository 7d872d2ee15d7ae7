#include <string.h>

#include "legacy_layout.h"

void RemoveChars(char *text, const char *set) {
    char *to = text;
    for (const char *from = text; *from != 0; from++) {
        if (strchr(set, *from) == NULL)
            *to++ = *from;
    }
    *to = 0;
}

void TrimBlanks(char *text) {
    size_t start = strspn(text, " \t");
    size_t length = strlen(text + start);
    while (length > 0 && (text[start + length - 1] == ' ' || text[start + length - 1] == '\t'))
        length--;
    memmove(text, text + start, length);
    text[length] = 0;
}
