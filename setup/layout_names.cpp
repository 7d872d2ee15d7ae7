// Finding the layout files of the target folder and the names they show in the lists.
#include <string.h>

#include "setup_state.h"

// The first 200 bytes hold the first section header of any file the library writes.
#define NAME_PROBE_BYTES 200

BOOL ReadLayoutName(const char *fileName, char *name, int capacity) {
    HANDLE file = CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    WCHAR probe[NAME_PROBE_BYTES / sizeof(WCHAR) + 1];
    DWORD read = 0;
    BOOL wasRead = ReadFile(file, probe, NAME_PROBE_BYTES, &read, NULL);
    CloseHandle(file);
    if (!wasRead)
        return FALSE;
    probe[read / sizeof(WCHAR)] = 0;
    char text[NAME_PROBE_BYTES];
    wsprintfA(text, "%S", probe);

    const char *start = strchr(text, '[');
    if (start == NULL)
        return FALSE;
    start++;
    while (*start == ' ')
        start++;
    const char *end = strchr(start, ',');
    int length = end != NULL ? (int)(end - start) : 0;
    if (length == 0 || length >= capacity)
        return FALSE;
    memcpy(name, start, length);
    name[length] = 0;
    return TRUE;
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
