#include <string.h>

#include "layodex_internal.h"
#include "layout_scan.h"

static ScannedFile **ScannedFiles;
static ScannedFile *NoFiles[1];

static BOOL AddHeader(ScannedFile *scanned, const SectionHeader *header, int *capacity) {
    if (scanned->headerCount == *capacity) {
        int grown = *capacity == 0 ? 8 : *capacity * 2;
        SectionHeader *headers = (SectionHeader *)LocalAlloc(LPTR, grown * sizeof(SectionHeader));
        if (headers == NULL)
            return FALSE;
        if (scanned->headers != NULL) {
            memcpy(headers, scanned->headers, scanned->headerCount * sizeof(SectionHeader));
            LocalFree(scanned->headers);
        }
        scanned->headers = headers;
        *capacity = grown;
    }
    scanned->headers[scanned->headerCount++] = *header;
    return TRUE;
}

static ScannedFile *ScanFile(const PATHCHAR *path) {
    ScannedFile *scanned = (ScannedFile *)LocalAlloc(LPTR, sizeof(ScannedFile));
    if (scanned == NULL)
        return NULL;
    if (!OpenLayoutFile(path, &scanned->file)) {
        LocalFree(scanned);
        return NULL;
    }
    lstrcpy(scanned->path, path);
    int capacity = 0;
    SectionHeader header;
    const WCHAR *cursor = scanned->file.text.start;
    while (FindNextHeader(&scanned->file.text, cursor, &header) &&
           AddHeader(scanned, &header, &capacity))
        cursor = header.keysStart;
    return scanned;
}

static void CloseScannedFile(ScannedFile *scanned) {
    CloseLayoutFile(&scanned->file);
    if (scanned->headers != NULL)
        LocalFree(scanned->headers);
    LocalFree(scanned);
}

static Element *ListLayoutFiles(void) {
    Element *files = NULL;
    PATHCHAR path[MAX_PATH];
    int directoryLength = lstrlen(SearchDirectory);
    if (directoryLength + 5 >= MAX_PATH)
        return NULL;
    lstrcpy(path, SearchDirectory);
    lstrcat(path, TEXT("*.kbi"));

    WIN32_FIND_DATA found;
    HANDLE search = FindFirstFile(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return NULL;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            directoryLength + lstrlen(found.cFileName) >= MAX_PATH)
            continue;
        lstrcpy(path + directoryLength, found.cFileName);
        ScannedFile *scanned = ScanFile(path);
        if (scanned != NULL && !AddElement(&files, scanned))
            CloseScannedFile(scanned);
    } while (FindNextFile(search, &found));
    FindClose(search);
    return files;
}

ScannedFile **ScanLayoutFiles(void) {
    if (ScannedFiles != NULL)
        return ScannedFiles;
    Element *files = ListLayoutFiles();
    int count = 0;
    for (Element *node = files; node != NULL; node = node->next)
        count++;
    ScannedFiles = (ScannedFile **)LocalAlloc(LPTR, (count + 1) * sizeof(ScannedFile *));
    if (ScannedFiles == NULL) {
        for (Element *node = files; node != NULL; node = node->next)
            CloseScannedFile((ScannedFile *)node->data);
        ReleaseAll(&files, 0);
        return NoFiles;
    }
    int index = 0;
    FOR_EACH_IN_LIST_ORDER(node, files) {
        ScannedFiles[index++] = (ScannedFile *)node->data;
    }
    ReleaseAll(&files, 0);
    return ScannedFiles;
}

void EndLayoutScan(void) {
    if (ScannedFiles == NULL)
        return;
    for (ScannedFile **scanned = ScannedFiles; *scanned != NULL; scanned++)
        CloseScannedFile(*scanned);
    LocalFree(ScannedFiles);
    ScannedFiles = NULL;
}
