#include <stdio.h>
#include <string.h>

#include "layout_output.h"

// A new file beside the output, one that is not there already while a free name remains. When
// every name is taken, they are left by conversions that never finished, and the first is taken
// over, so that what a crash left never blocks a conversion.
static HANDLE CreateTemporaryFile(const char *name, char *temporaryName, int size) {
    const int names = 8;
    for (int attempt = 0; attempt <= names; attempt++) {
        const BOOL takeOver = attempt == names;
        snprintf(temporaryName, size, attempt % names == 0 ? "%s~" : "%s~%d", name, attempt);
        HANDLE file =
            CreateFileA(temporaryName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL,
                        takeOver ? CREATE_ALWAYS : CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

// The text goes straight into a mapped view of a temporary file, which is cut to length and then
// renamed over the output, so that a failed write never costs the file it would have replaced.
BOOL WriteLayoutFile(KeyboardLayout *layout, const char *name) {
    char temporaryName[MAX_PATH + 8];
    HANDLE file = CreateTemporaryFile(name, temporaryName, sizeof temporaryName);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    long written = 0;
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READWRITE, 0, OUTPUT_CAPACITY, NULL);
    if (mapping != NULL) {
        WCHAR *view = (WCHAR *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
        if (view != NULL) {
            WCHAR *cursor = view;
            SaveKeyBoard(layout, &cursor);
            written = (long)((cursor - view) * sizeof(WCHAR));
            UnmapViewOfFile(view);
        }
        CloseHandle(mapping);
    }
    // Nothing written means the conversion failed or its text would not fit.
    BOOL saved =
        written > 0 &&
        SetFilePointer(file, written & ~1L, NULL, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
        SetEndOfFile(file);
    CloseHandle(file);
    if (saved)
        saved = MoveFileExA(temporaryName, name, MOVEFILE_REPLACE_EXISTING);
    if (!saved)
        DeleteFileA(temporaryName);
    return saved;
}
