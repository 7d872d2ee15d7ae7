#include <stdio.h>

#include "kbi.h"

void PrintWideRange(const WCHAR *text, int length) {
    if (length <= 0)
        return;
    int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, NULL, 0, NULL, NULL);
    if (bytes <= 0)
        return;
    char *utf8 = (char *)LocalAlloc(LPTR, bytes + 1);
    if (utf8 == NULL)
        return;
    WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, bytes, NULL, NULL);
    fputs(utf8, stdout);
    LocalFree(utf8);
}

void PrintWide(const WCHAR *text) {
    PrintWideRange(text, lstrlenW(text));
}

BOOL UseDirectory(const char *directory) {
    if (!SetSearchDirectory(directory)) {
        fprintf(stderr, "kbi: directory name too long: %s\n", directory);
        return FALSE;
    }
    return TRUE;
}
