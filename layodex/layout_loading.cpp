#include "layodex_internal.h"
#include "layout_file.h"

static BOOL SameText(const WCHAR *a, const WCHAR *b) {
    return _wcsicmp(a, b) == 0;
}

static BOOL IsMainSection(const WCHAR *subName) {
    return SameText(subName, u"Main");
}

// Walks the layout files of the search directory in listing order; the visitor answers FALSE
// to stop the scan.
typedef BOOL (*LayoutFileVisitor)(void *context, const PATHCHAR *path, MappedLayoutFile *file);

static void ScanLayoutFiles(LayoutFileVisitor visit, void *context) {
    PATHCHAR path[MAX_PATH];
    int directoryLength = lstrlen(SearchDirectory);
    if (directoryLength + 5 >= MAX_PATH)
        return;
    lstrcpy(path, SearchDirectory);
    lstrcat(path, TEXT("*.kbi"));

    WIN32_FIND_DATA found;
    HANDLE search = FindFirstFile(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    BOOL goOn = TRUE;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        if (directoryLength + lstrlen(found.cFileName) >= MAX_PATH)
            continue;
        lstrcpy(path + directoryLength, found.cFileName);
        MappedLayoutFile file;
        if (!OpenLayoutFile(path, &file))
            continue;
        goOn = visit(context, path, &file);
        CloseLayoutFile(&file);
    } while (goOn && FindNextFile(search, &found));
    FindClose(search);
}

// Catalogue mode: one entry per "Main" layout name, holding its highest-numbered section.
static BOOL AddCatalogueEntries(void *context, const PATHCHAR *path, MappedLayoutFile *file) {
    Element **catalogue = (Element **)context;
    SectionHeader header;
    const WCHAR *cursor = file->text.start;
    while (FindNextHeader(&file->text, cursor, &header)) {
        cursor = header.keysStart;
        if (!IsMainSection(header.subName))
            continue;
        KeyboardLayout *entry = NULL;
        for (Element *node = *catalogue; node != NULL; node = node->next) {
            KeyboardLayout *candidate = (KeyboardLayout *)node->data;
            if (SameText(candidate->name, header.name) &&
                SameText(candidate->subName, header.subName)) {
                entry = candidate;
                break;
            }
        }
        if (header.number <= (entry != NULL ? entry->number : -1))
            continue;
        if (entry == NULL) {
            entry = NewLayoutRecord(header.name, header.subName, header.label, header.number);
            if (entry == NULL)
                continue;
            if (!AddElement(catalogue, entry)) {
                LocalFree(entry);
                continue;
            }
        }
        entry->number = header.number;
        CopyBoundedText(entry->label, header.label, LAYOUT_LABEL_SIZE);
        lstrcpyn(entry->path, path, LAYOUT_PATH_SIZE);
    }
    return TRUE;
}

// Exact and any-number modes: the best section found so far, with its keys still unresolved.
typedef struct SectionSearch {
    const KeyboardLayout *request;
    SectionHeader best;
    PATHCHAR bestPath[MAX_PATH];
    Element *bestKeys;
} SectionSearch;

static BOOL FindRequestedSection(void *context, const PATHCHAR *path, MappedLayoutFile *file) {
    SectionSearch *search = (SectionSearch *)context;
    const KeyboardLayout *request = search->request;
    BOOL anyNumber = request->number == -1;
    SectionHeader header;
    const WCHAR *cursor = file->text.start;
    while (FindNextHeader(&file->text, cursor, &header)) {
        cursor = header.keysStart;
        if (!SameText(header.name, request->name) || !SameText(header.subName, request->subName))
            continue;
        if (anyNumber ? header.number <= (search->bestKeys != NULL ? search->best.number : -1)
                      : header.number != request->number)
            continue;
        Element *keys = ReadSectionKeys(&file->text, header.keysStart, NULL);
        if (keys == NULL)
            continue;
        ReleaseUnresolvedKeyList(&search->bestKeys);
        search->best = header;
        search->bestKeys = keys;
        lstrcpyn(search->bestPath, path, MAX_PATH);
        if (!anyNumber)
            return FALSE;
    }
    return TRUE;
}

static void GiveSwitchKeyItsFace(Element *catalogue, const KeyboardLayout *request, KeyDef *key) {
    Element *current = NULL;
    for (Element *node = catalogue; node != NULL; node = node->next) {
        if (node->data != NULL && SameText(((KeyboardLayout *)node->data)->name, request->name)) {
            current = node;
            break;
        }
    }
    if (current == NULL)
        return;
    // The next layout in scan order, wrapping around to the first.
    Element *nextNode = current->prev != NULL ? current->prev : FindLastElement(catalogue);
    const KeyboardLayout *next = (const KeyboardLayout *)nextNode->data;
    if (next == NULL)
        return;
    key->image = RenderKeyFace(next->label, FACE_STYLE_TEXT, key->width - 4, key->height - 4);
    if (key->image != NULL)
        key->flags |= KEY_IMAGE_OWNED;
    if (key->target == NULL)
        key->target = NewLayoutRecord(next->name, next->subName, next->label, next->number);
}

static KeyboardLayout *FindCachedLayout(const KeyboardLayout *request) {
    for (Element *node = LayoutCache; node != NULL; node = node->next) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (layout != NULL && SameText(layout->name, request->name) &&
            SameText(layout->subName, request->subName) &&
            (request->number == -1 || layout->number == request->number))
            return layout;
    }
    return NULL;
}

static KeyboardLayout *LoadLayoutTree(Element *catalogue, const KeyboardLayout *request);

// Resolves what the keys of a freshly read layout lead to: switch faces and sub-keyboards.
static void ResolveKeys(Element *catalogue, const KeyboardLayout *request, Element *keys) {
    FOR_EACH_IN_LIST_ORDER(node, keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (catalogue != NULL && (key->flags & KEY_SWITCH) != 0 && key->image == NULL &&
            key->imageIndex == 0)
            GiveSwitchKeyItsFace(catalogue, request, key);
        if (KeyHasLayoutTarget(key)) {
            KeyboardLayout *subRequest = (KeyboardLayout *)key->target;
            KeyboardLayout *loaded = LoadLayoutTree(catalogue, subRequest);
            key->target = loaded;
            if (loaded != NULL)
                key->identity = ++IdentityCounter;
            LocalFree(subRequest);
        }
    }
}

static KeyboardLayout *LoadLayoutTree(Element *catalogue, const KeyboardLayout *request) {
    KeyboardLayout *cached = FindCachedLayout(request);
    if (cached != NULL)
        return cached;

    SectionSearch search = {};
    search.request = request;
    ScanLayoutFiles(FindRequestedSection, &search);
    if (search.bestKeys == NULL)
        return NULL;

    KeyboardLayout *layout = NewLayoutRecord(search.best.name, search.best.subName,
                                             search.best.label, search.best.number);
    if (layout == NULL || !AddElement(&LayoutCache, layout)) {
        LocalFree(layout);
        ReleaseUnresolvedKeyList(&search.bestKeys);
        return NULL;
    }
    lstrcpyn(layout->path, search.bestPath, LAYOUT_PATH_SIZE);
    layout->keys = search.bestKeys;
    ResolveKeys(catalogue, request, layout->keys);
    return layout;
}

void *LoadKeyBoard(Element *catalogue, KeyboardLayout *request, HDC dc) {
    (void)dc; // faces are drawn in the library's own context once drawing is available
    if (request == NULL) {
        Element *newCatalogue = NULL;
        ScanLayoutFiles(AddCatalogueEntries, &newCatalogue);
        return newCatalogue;
    }
    return LoadLayoutTree(catalogue, request);
}

Element *LoadKeyBoardsNames(void) {
    return (Element *)LoadKeyBoard(NULL, NULL, NULL);
}
