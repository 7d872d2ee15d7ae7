#include "layout_file.h"

// Read rather than mapped: mapping and unmapping cost more than reading the few kilobytes a layout
// file holds, and a file cut short by another program while it is read cannot fault the reader.
BOOL OpenLayoutFile(const PATHCHAR *path, LayoutFile *file) {
    file->buffer = NULL;
    HANDLE handle = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD size = GetFileSize(handle, NULL);
    DWORD read = 0;
    if (size != INVALID_FILE_SIZE && size >= sizeof(WCHAR) && size < 0x7FFFFFF0)
        file->buffer = (WCHAR *)LocalAlloc(LMEM_FIXED, size + sizeof(WCHAR));
    if (file->buffer != NULL && (!ReadFile(handle, file->buffer, size, &read, NULL) || read == 0)) {
        LocalFree(file->buffer);
        file->buffer = NULL;
    }
    CloseHandle(handle);
    if (file->buffer == NULL)
        return FALSE;
    file->size = read;
    InitLayoutText(&file->text, file->buffer, read / sizeof(WCHAR));
    return TRUE;
}

void CloseLayoutFile(LayoutFile *file) {
    if (file->buffer != NULL)
        LocalFree(file->buffer);
    file->buffer = NULL;
}
