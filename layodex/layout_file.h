// A layout file's text, read whole into the library's own memory.
#ifndef LAYODEX_LAYOUT_FILE_H
#define LAYODEX_LAYOUT_FILE_H

#include "layout_reader.h"

typedef struct LayoutFile {
    WCHAR *buffer;
    DWORD size; // in bytes, as read
    LayoutText text;
} LayoutFile;

// Opens the file (others may read it too) and reads all of it; FALSE when it cannot, or when it
// is empty.
BOOL OpenLayoutFile(const PATHCHAR *path, LayoutFile *file);
void CloseLayoutFile(LayoutFile *file);

#endif
