// The layout files of the search directory, read once per library call: each stays mapped, with
// its section headers found, until the call ends.
#ifndef LAYODEX_LAYOUT_SCAN_H
#define LAYODEX_LAYOUT_SCAN_H

#include "layout_file.h"

typedef struct ScannedFile {
    PATHCHAR path[MAX_PATH];
    MappedLayoutFile file;
    SectionHeader *headers; // in file order
    int headerCount;
} ScannedFile;

// The files in directory listing order; directories and files that cannot be mapped are left
// out. Ends with a NULL entry.
ScannedFile **ScanLayoutFiles(void);
void EndLayoutScan(void);

#endif
