// Finding the layout files of the target folder and the names they show in the lists.
#include <string.h>

#include "setup_state.h"

// Layout files may open with comment lines; the first section header comes after them, within
// the head of the file read here.
#define HEAD_BYTES 4096
// Of the text after those comment lines, the first 100 characters (200 bytes) hold the header's
// first field.
#define NAME_PROBE_CHARS 100

static BOOL IsBlank(WCHAR c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == 0xFEFF;
}

static const WCHAR *SkipLeadingComments(const WCHAR *at) {
    for (;;) {
        while (IsBlank(*at))
            at++;
        if (at[0] != '/' || at[1] != '/')
            return at;
        while (*at != 0 && *at != '\n')
            at++;
    }
}

BOOL LayoutNameOfHead(const WCHAR *head, char *name, int capacity) {
    const WCHAR *start = SkipLeadingComments(head);
    WCHAR probe[NAME_PROBE_CHARS + 1];
    int length = 0;
    while (length < NAME_PROBE_CHARS && start[length] != 0) {
        probe[length] = start[length];
        length++;
    }
    probe[length] = 0;
    char text[2 * NAME_PROBE_CHARS + 1];
    wsprintfA(text, "%S", probe);

    const char *open = strchr(text, '[');
    if (open == NULL)
        return FALSE;
    open++;
    while (*open == ' ')
        open++;
    const char *end = strchr(open, ',');
    int nameLength = end != NULL ? (int)(end - open) : 0;
    if (nameLength == 0 || nameLength >= capacity)
        return FALSE;
    memcpy(name, open, nameLength);
    name[nameLength] = 0;
    return TRUE;
}

BOOL ReadLayoutName(const char *fileName, char *name, int capacity) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    static WCHAR head[HEAD_BYTES / sizeof(WCHAR) + 1];
    DWORD read = 0;
    BOOL wasRead = ReadFile(file, head, HEAD_BYTES, &read, NULL);
    CloseHandle(file);
    if (!wasRead)
        return FALSE;
    head[read / sizeof(WCHAR)] = 0;
    return LayoutNameOfHead(head, name, capacity);
}

void ScanLayoutFiles(void) {
    char pattern[MAX_PATH];
    if (lstrlenA(LayoutsDirectory) + 5 >= MAX_PATH)
        return;
    lstrcpyA(pattern, LayoutsDirectory);
    lstrcatA(pattern, "*.kbi");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            lstrlenA(LayoutsDirectory) + lstrlenA(found.cFileName) >= MAX_PATH)
            continue;
        LayoutFileEntry *entry = (LayoutFileEntry *)LocalAlloc(LPTR, sizeof(LayoutFileEntry));
        if (entry == NULL)
            break;
        lstrcpyA(entry->path, LayoutsDirectory);
        lstrcatA(entry->path, found.cFileName);
        // The current directory is the layouts' own, so the file's name finds it.
        if (!ReadLayoutName(found.cFileName, entry->name, sizeof entry->name) ||
            !PushLayoutEntry(&AvailableList, entry))
            LocalFree(entry);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}
