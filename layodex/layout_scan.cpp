#include <string.h>

#include "layodex_internal.h"
#include "layout_scan.h"
#include "pointer_table.h"

// The files of the current call's listing, or of the last call's while none is running.
static ScannedFile **ScannedFiles;
static BOOL ScanRunning;
// Signalled once anything changes in the folder listed last. While it is not, and every file
// of the listing could be read, the listing stands without the folder being listed again.
static HANDLE FolderWatch = INVALID_HANDLE_VALUE;
static PATHCHAR WatchedFolder[MAX_PATH];
static BOOL ListingDoubtful;
static NameIndex FilesByPath;
static ScannedFile *NoFiles[1];
// Layouts are a few tens of kilobytes; a text beyond this is read again rather than held.
#define KEPT_TEXT_LIMIT (256 * 1024)

DWORD HashSectionName(const WCHAR *name, const WCHAR *subName) {
    return HashName(subName, HashName(name, NAME_HASH_START));
}

static DWORD HashPath(const PATHCHAR *path) {
    DWORD hash = NAME_HASH_START;
    for (; *path != 0; path++)
        hash = (hash ^ (DWORD)*path) * 16777619u;
    return hash;
}

static BOOL SamePath(const PATHCHAR *a, const PATHCHAR *b) {
    for (; *a == *b; a++, b++) {
        if (*a == 0)
            return TRUE;
    }
    return FALSE;
}

// The key lines point into the text, and go with it.
static void ForgetKeyLines(ScannedFile *scanned) {
    for (int i = 0; i < scanned->sectionCount; i++) {
        FileSection *section = &scanned->sections[i];
        if (section->lines != NULL)
            LocalFree(section->lines);
        section->lines = NULL;
        section->lineCount = 0;
        section->linesRead = FALSE;
    }
}

// The text goes, with the key lines that point into it; the sections stay.
static void DropText(ScannedFile *scanned) {
    ForgetKeyLines(scanned);
    CloseLayoutFile(&scanned->file);
    scanned->textRead = FALSE;
    scanned->textListed = FALSE;
}

static void ForgetSections(ScannedFile *scanned) {
    ForgetKeyLines(scanned);
    if (scanned->sections != NULL)
        LocalFree(scanned->sections);
    scanned->sections = NULL;
    scanned->sectionCount = 0;
    ReleaseNameIndex(&scanned->sectionsByName);
}

static BOOL AddSection(ScannedFile *scanned, const SectionHeader *header, int *capacity) {
    if (scanned->sectionCount == *capacity) {
        int grown = *capacity == 0 ? 8 : *capacity * 2;
        FileSection *sections = (FileSection *)LocalAlloc(LMEM_FIXED, grown * sizeof(FileSection));
        if (sections == NULL)
            return FALSE;
        if (scanned->sections != NULL) {
            memcpy(sections, scanned->sections, scanned->sectionCount * sizeof(FileSection));
            LocalFree(scanned->sections);
        }
        scanned->sections = sections;
        *capacity = grown;
    }
    FileSection *section = &scanned->sections[scanned->sectionCount++];
    memcpy(section->name, header->name, sizeof section->name);
    memcpy(section->label, header->label, sizeof section->label);
    memcpy(section->subName, header->subName, sizeof section->subName);
    section->number = header->number;
    section->keysOffset = (size_t)(header->keysStart - scanned->file.text.start);
    section->lines = NULL;
    section->lineCount = 0;
    section->linesRead = FALSE;
    return TRUE;
}

static void FindSections(ScannedFile *scanned) {
    ForgetSections(scanned);
    int capacity = 0;
    SectionHeader header;
    const WCHAR *cursor = scanned->file.text.start;
    while (FindNextHeader(&scanned->file.text, cursor, &header) &&
           AddSection(scanned, &header, &capacity))
        cursor = header.keysStart;
}

static ScannedFile *ReadNewFile(const PATHCHAR *path, const WIN32_FIND_DATA *found) {
    ScannedFile *scanned = (ScannedFile *)LocalAlloc(LPTR, sizeof(ScannedFile));
    if (scanned == NULL)
        return NULL;
    if (!OpenLayoutFile(path, &scanned->file)) {
        LocalFree(scanned);
        return NULL;
    }
    lstrcpy(scanned->path, path);
    scanned->sizeHigh = found->nFileSizeHigh;
    scanned->sizeLow = found->nFileSizeLow;
    scanned->written = found->ftLastWriteTime;
    scanned->textRead = TRUE;
    scanned->textListed = TRUE;
    FindSections(scanned);
    return scanned;
}

static void CloseScannedFile(ScannedFile *scanned) {
    if (scanned->textRead)
        CloseLayoutFile(&scanned->file);
    ForgetSections(scanned);
    LocalFree(scanned);
}

// A file of the last listing, unchanged and not yet claimed by this one.
static ScannedFile *ClaimRemembered(const PATHCHAR *path, const WIN32_FIND_DATA *found,
                                    PointerTable *claimed) {
    for (int entry = FirstNamed(&FilesByPath, HashPath(path)); entry >= 0;
         entry = NextNamed(&FilesByPath, entry)) {
        ScannedFile *remembered = (ScannedFile *)FilesByPath.entries[entry].item;
        if (!SamePath(remembered->path, path) || FindInPointerTable(claimed, remembered) != NULL)
            continue;
        BOOL unchanged =
            remembered->sizeHigh == found->nFileSizeHigh &&
            remembered->sizeLow == found->nFileSizeLow &&
            remembered->written.dwLowDateTime == found->ftLastWriteTime.dwLowDateTime &&
            remembered->written.dwHighDateTime == found->ftLastWriteTime.dwHighDateTime;
        if (!unchanged || !AddToPointerTable(claimed, remembered, NULL))
            return NULL;
        return remembered;
    }
    return NULL;
}

static Element *ListLayoutFiles(PointerTable *claimed) {
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
    DWORD listedBytes = 0;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            directoryLength + lstrlen(found.cFileName) >= MAX_PATH)
            continue;
        lstrcpy(path + directoryLength, found.cFileName);
        ScannedFile *scanned = ClaimRemembered(path, &found, claimed);
        BOOL remembered = scanned != NULL;
        if (scanned == NULL) {
            scanned = ReadNewFile(path, &found);
            // Unreadable now, perhaps readable later without the folder seeing a change.
            if (scanned == NULL)
                ListingDoubtful = TRUE;
            if (scanned != NULL && !AddToPointerTable(claimed, scanned, NULL)) {
                CloseScannedFile(scanned);
                scanned = NULL;
            }
        }
        if (scanned != NULL && !remembered) {
            if (scanned->file.size <= LISTED_TEXTS_LIMIT - listedBytes) {
                listedBytes += scanned->file.size;
            } else {
                DropText(scanned);
            }
        }
        if (scanned != NULL && !AddElement(&files, scanned)) {
            RemoveFromPointerTable(claimed, scanned);
            if (!remembered)
                CloseScannedFile(scanned);
        }
    } while (FindNextFile(search, &found));
    FindClose(search);
    return files;
}

static void ForgetUnclaimed(const PointerTable *claimed) {
    if (ScannedFiles == NULL)
        return;
    for (ScannedFile **scanned = ScannedFiles; *scanned != NULL; scanned++) {
        if (FindInPointerTable(claimed, *scanned) == NULL)
            CloseScannedFile(*scanned);
    }
    LocalFree(ScannedFiles);
    ScannedFiles = NULL;
}

static void StopWatching(void) {
    if (FolderWatch != INVALID_HANDLE_VALUE)
        FindCloseChangeNotification(FolderWatch);
    FolderWatch = INVALID_HANDLE_VALUE;
}

static BOOL ListingStands(void) {
    return ScannedFiles != NULL && !ListingDoubtful && FolderWatch != INVALID_HANDLE_VALUE &&
           SamePath(WatchedFolder, SearchDirectory) &&
           WaitForSingleObject(FolderWatch, 0) == WAIT_TIMEOUT;
}

// Watched from before the listing starts, so that a change made while it runs is seen next time.
// The same folder's watch is asked for its next change: closing a watch costs far more than
// listing a folder does.
static void WatchSearchDirectory(void) {
    ListingDoubtful = FALSE;
    if (FolderWatch != INVALID_HANDLE_VALUE && SamePath(WatchedFolder, SearchDirectory) &&
        FindNextChangeNotification(FolderWatch))
        return;
    StopWatching();
    lstrcpy(WatchedFolder, SearchDirectory);
    FolderWatch = FindFirstChangeNotification(
        SearchDirectory, FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_ATTRIBUTES |
            FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
}

ScannedFile **ScanLayoutFiles(void) {
    if (ScanRunning)
        return ScannedFiles != NULL ? ScannedFiles : NoFiles;
    ScanRunning = TRUE;
    if (ListingStands())
        return ScannedFiles;
    WatchSearchDirectory();
    PointerTable claimed = {};
    Element *files = ListLayoutFiles(&claimed);
    ForgetUnclaimed(&claimed);
    ReleasePointerTable(&claimed);
    ReleaseNameIndex(&FilesByPath);

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
        ScannedFile *scanned = (ScannedFile *)node->data;
        ScannedFiles[index++] = scanned;
        // A file missing from the index is read again next time, which costs time only.
        AddToNameIndex(&FilesByPath, HashPath(scanned->path), scanned);
    }
    ReleaseAll(&files, 0);
    return ScannedFiles;
}

// A text of another size than the listing gave, or too short for the sections found before,
// was changed since: its sections are found again.
const LayoutText *ReadScannedText(ScannedFile *scanned) {
    scanned->keysRead = TRUE;
    if (scanned->textRead)
        return &scanned->file.text;
    if (!OpenLayoutFile(scanned->path, &scanned->file))
        return NULL;
    scanned->textRead = TRUE;
    size_t length = (size_t)(scanned->file.text.end - scanned->file.text.start);
    BOOL changed = scanned->sizeHigh != 0 || scanned->sizeLow != scanned->file.size;
    for (int i = 0; i < scanned->sectionCount && !changed; i++)
        changed = scanned->sections[i].keysOffset > length;
    if (changed) {
        ListingDoubtful = TRUE;
        FindSections(scanned);
        // Remembered with a size no listing gives, so that the next call reads it again.
        scanned->sizeHigh = 0xFFFFFFFF;
    }
    return &scanned->file.text;
}

// Last section first, so that each chain gives its sections in file order.
static BOOL IndexSections(ScannedFile *scanned) {
    for (int i = scanned->sectionCount - 1; i >= 0; i--) {
        const FileSection *section = &scanned->sections[i];
        if (!AddToNameIndex(&scanned->sectionsByName,
                            HashSectionName(section->name, section->subName),
                            &scanned->sections[i])) {
            ReleaseNameIndex(&scanned->sectionsByName);
            return FALSE;
        }
    }
    return TRUE;
}

int FirstSectionNamed(ScannedFile *scanned, DWORD hash) {
    if (scanned->sectionCount == 0)
        return -1;
    if (scanned->sectionsByName.count == 0 && !IndexSections(scanned))
        return -1;
    return FirstNamed(&scanned->sectionsByName, hash);
}

int NextSectionNamed(const ScannedFile *scanned, int entry) {
    return NextNamed(&scanned->sectionsByName, entry);
}

Element *ReadKeysOfSection(ScannedFile *scanned, FileSection *section) {
    const LayoutText *text = &scanned->file.text;
    if (!section->linesRead) {
        section->lines =
            ReadSectionLines(text, text->start + section->keysOffset, NULL, &section->lineCount);
        section->linesRead = TRUE;
    }
    return MakeSectionKeys(section->lines, section->lineCount);
}

void EndLayoutScan(void) {
    ScanRunning = FALSE;
    if (ScannedFiles == NULL)
        return;
    for (ScannedFile **scanned = ScannedFiles; *scanned != NULL; scanned++) {
        ScannedFile *file = *scanned;
        BOOL listedNow = file->textListed;
        file->textListed = FALSE;
        if (!file->textRead ||
            ((file->keysRead || listedNow) && file->file.size <= KEPT_TEXT_LIMIT))
            continue;
        DropText(file);
    }
}

void ForgetLayoutFiles(void) {
    StopWatching();
    PointerTable none = {};
    ForgetUnclaimed(&none);
    ReleaseNameIndex(&FilesByPath);
    ScanRunning = FALSE;
}
