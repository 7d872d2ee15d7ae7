// A layout file mapped for reading.
#ifndef LAYODEX_LAYOUT_FILE_H
#define LAYODEX_LAYOUT_FILE_H

#include "layout_reader.h"

typedef struct MappedLayoutFile {
    HANDLE file;
    HANDLE mapping;
    const void *view;
    LayoutText text;
} MappedLayoutFile;

// Opens (others may read too) and maps the whole file; FALSE when it cannot.
BOOL OpenLayoutFile(const PATHCHAR *path, MappedLayoutFile *mapped);
void CloseLayoutFile(MappedLayoutFile *mapped);

#endif
