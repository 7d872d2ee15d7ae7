#include "layout_file.h"

BOOL OpenLayoutFile(const PATHCHAR *path, MappedLayoutFile *mapped) {
    mapped->mapping = NULL;
    mapped->view = NULL;
    mapped->file = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (mapped->file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD size = GetFileSize(mapped->file, NULL);
    if (size != INVALID_FILE_SIZE && size >= sizeof(WCHAR))
        mapped->mapping = CreateFileMapping(mapped->file, NULL, PAGE_READONLY, 0, size, NULL);
    if (mapped->mapping != NULL)
        mapped->view = MapViewOfFile(mapped->mapping, FILE_MAP_READ, 0, 0, 0);
    if (mapped->view == NULL) {
        CloseLayoutFile(mapped);
        return FALSE;
    }
    InitLayoutText(&mapped->text, (const WCHAR *)mapped->view, size / sizeof(WCHAR));
    return TRUE;
}

void CloseLayoutFile(MappedLayoutFile *mapped) {
    if (mapped->view != NULL)
        UnmapViewOfFile(mapped->view);
    if (mapped->mapping != NULL)
        CloseHandle(mapped->mapping);
    if (mapped->file != INVALID_HANDLE_VALUE)
        CloseHandle(mapped->file);
    mapped->view = NULL;
    mapped->mapping = NULL;
    mapped->file = INVALID_HANDLE_VALUE;
}
