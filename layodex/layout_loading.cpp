#include "face_context.h"
#include "layodex_internal.h"
#include "layout_scan.h"

static BOOL SameText(const WCHAR *a, const WCHAR *b) {
    return _wcsicmp(a, b) == 0;
}

static BOOL IsMainSection(const WCHAR *subName) {
    return SameText(subName, u"Main");
}

// Catalogue mode: one entry per "Main" layout name, holding its highest-numbered section.
static void AddCatalogueEntries(Element **catalogue, const ScannedFile *file) {
    for (int i = 0; i < file->headerCount; i++) {
        const SectionHeader *header = &file->headers[i];
        if (!IsMainSection(header->subName))
            continue;
        KeyboardLayout *entry = NULL;
        for (Element *node = *catalogue; node != NULL; node = node->next) {
            KeyboardLayout *candidate = (KeyboardLayout *)node->data;
            if (SameText(candidate->name, header->name) &&
                SameText(candidate->subName, header->subName)) {
                entry = candidate;
                break;
            }
        }
        if (header->number <= (entry != NULL ? entry->number : -1))
            continue;
        if (entry == NULL) {
            entry = NewLayoutRecord(header->name, header->subName, header->label, header->number);
            if (entry == NULL)
                continue;
            if (!AddElement(catalogue, entry)) {
                LocalFree(entry);
                continue;
            }
        }
        entry->number = header->number;
        CopyBoundedText(entry->label, header->label, LAYOUT_LABEL_SIZE);
        lstrcpyn(entry->path, file->path, LAYOUT_PATH_SIZE);
    }
}

// Exact and any-number modes: the best section found so far, with its keys still unresolved.
typedef struct SectionSearch {
    const KeyboardLayout *request;
    SectionHeader best;
    PATHCHAR bestPath[MAX_PATH];
    Element *bestKeys;
} SectionSearch;

// FALSE once the search is over: an exact number was found.
static BOOL FindRequestedSection(SectionSearch *search, const ScannedFile *file) {
    const KeyboardLayout *request = search->request;
    BOOL anyNumber = request->number == -1;
    for (int i = 0; i < file->headerCount; i++) {
        const SectionHeader *header = &file->headers[i];
        if (!SameText(header->name, request->name) || !SameText(header->subName, request->subName))
            continue;
        if (anyNumber ? header->number <= (search->bestKeys != NULL ? search->best.number : -1)
                      : header->number != request->number)
            continue;
        Element *keys = ReadSectionKeys(&file->file.text, header->keysStart, NULL);
        if (keys == NULL)
            continue;
        ReleaseUnresolvedKeyList(&search->bestKeys);
        search->best = *header;
        search->bestKeys = keys;
        lstrcpyn(search->bestPath, file->path, MAX_PATH);
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
    key->image = RenderKeyFace(next->label, FACE_STYLE_TEXT, key->width, key->height);
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
    for (ScannedFile **file = ScanLayoutFiles(); *file != NULL; file++) {
        if (!FindRequestedSection(&search, *file))
            break;
    }
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
    CreateFaceContext(dc);
    void *result;
    if (request == NULL) {
        Element *newCatalogue = NULL;
        for (ScannedFile **file = ScanLayoutFiles(); *file != NULL; file++)
            AddCatalogueEntries(&newCatalogue, *file);
        result = newCatalogue;
    } else {
        result = LoadLayoutTree(catalogue, request);
    }
    EndLayoutScan();
    return result;
}

Element *LoadKeyBoardsNames(void) {
    return (Element *)LoadKeyBoard(NULL, NULL, NULL);
}
