// The layout files of the search directory, read once per library call: each stays in memory, with
// its section headers found, until the call ends.
#ifndef LAYODEX_LAYOUT_SCAN_H
#define LAYODEX_LAYOUT_SCAN_H

#include "layout_file.h"

typedef struct ScannedFile {
    PATHCHAR path[MAX_PATH];
    LayoutFile file;
    SectionHeader *headers; // in file order
    int headerCount;
} ScannedFile;

// The files in directory listing order; directories and files that cannot be read are left
// out. Ends with a NULL entry.
ScannedFile **ScanLayoutFiles(void);
void EndLayoutScan(void);

#endif
