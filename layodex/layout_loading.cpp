#include <string.h>

#include "face_context.h"
#include "layodex_internal.h"
#include "layout_scan.h"
#include "work_stack.h"

static BOOL IsMainSection(const WCHAR *subName) {
    return SameName(subName, WTEXT("Main"));
}

// Catalogue mode: one entry per "Main" layout name, holding its highest-numbered section.
static void AddCatalogueEntries(Element **catalogue, NameIndex *entriesByName,
                                const ScannedFile *file) {
    for (int i = 0; i < file->sectionCount; i++) {
        const FileSection *section = &file->sections[i];
        if (!IsMainSection(section->subName))
            continue;
        DWORD hash = HashName(section->name, NAME_HASH_START);
        KeyboardLayout *entry = NULL;
        for (int e = FirstNamed(entriesByName, hash); e >= 0 && entry == NULL;
             e = NextNamed(entriesByName, e)) {
            KeyboardLayout *candidate = (KeyboardLayout *)entriesByName->entries[e].item;
            if (SameName(candidate->name, section->name))
                entry = candidate;
        }
        if (section->number <= (entry != NULL ? entry->number : -1))
            continue;
        if (entry == NULL) {
            entry =
                NewLayoutRecord(section->name, section->subName, section->label, section->number);
            if (entry == NULL)
                continue;
            if (!AddElement(catalogue, entry)) {
                LocalFree(entry);
                continue;
            }
            // An entry the index cannot hold would come back as a second entry of the name.
            if (!AddToNameIndex(entriesByName, hash, entry)) {
                ExtractElement(catalogue, *catalogue, 1);
                continue;
            }
        }
        entry->number = section->number;
        CopyBoundedText(entry->label, section->label, LAYOUT_LABEL_SIZE);
        lstrcpyn(entry->path, file->path, LAYOUT_PATH_SIZE);
    }
}

static Element *LoadCatalogue(void) {
    Element *catalogue = NULL;
    NameIndex entriesByName = {};
    for (ScannedFile **file = ScanLayoutFiles(); *file != NULL; file++)
        AddCatalogueEntries(&catalogue, &entriesByName, *file);
    ReleaseNameIndex(&entriesByName);
    return catalogue;
}

// What one load needs to find quickly: the layouts already loaded (newest first, as the cache
// list is searched) and the catalogue's entries by name. An index that could not be built is
// replaced by a search of its list.
typedef struct LoadContext {
    Element *catalogue;
    NameIndex cache;
    BOOL cacheIndexed;
    NameIndex catalogueByName;
    BOOL catalogueIndexed;
} LoadContext;

static void StartLoadContext(LoadContext *context, Element *catalogue) {
    memset(context, 0, sizeof *context);
    context->catalogue = catalogue;
    context->cacheIndexed = TRUE;
    FOR_EACH_IN_LIST_ORDER(node, LayoutCache) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (!AddToNameIndex(&context->cache, HashSectionName(layout->name, layout->subName),
                            layout)) {
            context->cacheIndexed = FALSE;
            break;
        }
    }
}

static void EndLoadContext(LoadContext *context) {
    ReleaseNameIndex(&context->cache);
    ReleaseNameIndex(&context->catalogueByName);
}

static BOOL IsRequestedLayout(const KeyboardLayout *layout, const KeyboardLayout *request) {
    return layout != NULL && SameName(layout->name, request->name) &&
           SameName(layout->subName, request->subName) &&
           (request->number == -1 || layout->number == request->number);
}

static KeyboardLayout *FindCachedLayout(const LoadContext *context, const KeyboardLayout *request) {
    if (!context->cacheIndexed) {
        for (Element *node = LayoutCache; node != NULL; node = node->next) {
            if (IsRequestedLayout((KeyboardLayout *)node->data, request))
                return (KeyboardLayout *)node->data;
        }
        return NULL;
    }
    const NameIndex *cache = &context->cache;
    for (int e = FirstNamed(cache, HashSectionName(request->name, request->subName)); e >= 0;
         e = NextNamed(cache, e)) {
        KeyboardLayout *layout = (KeyboardLayout *)cache->entries[e].item;
        if (IsRequestedLayout(layout, request))
            return layout;
    }
    return NULL;
}

static BOOL AddToCache(LoadContext *context, KeyboardLayout *layout) {
    if (!AddElement(&LayoutCache, layout))
        return FALSE;
    if (context->cacheIndexed &&
        !AddToNameIndex(&context->cache, HashSectionName(layout->name, layout->subName), layout))
        context->cacheIndexed = FALSE;
    return TRUE;
}

// The catalogue node nearest the head with the name.
static Element *FindCatalogueNode(LoadContext *context, const WCHAR *name) {
    if (!context->catalogueIndexed) {
        context->catalogueIndexed = TRUE;
        for (Element *node = FindLastElement(context->catalogue); node != NULL; node = node->prev) {
            KeyboardLayout *entry = (KeyboardLayout *)node->data;
            if (entry != NULL && !AddToNameIndex(&context->catalogueByName,
                                                 HashName(entry->name, NAME_HASH_START), node)) {
                ReleaseNameIndex(&context->catalogueByName);
                break;
            }
        }
    }
    const NameIndex *byName = &context->catalogueByName;
    if (byName->count == 0) {
        for (Element *node = context->catalogue; node != NULL; node = node->next) {
            if (node->data != NULL && SameName(((KeyboardLayout *)node->data)->name, name))
                return node;
        }
        return NULL;
    }
    for (int e = FirstNamed(byName, HashName(name, NAME_HASH_START)); e >= 0;
         e = NextNamed(byName, e)) {
        Element *node = (Element *)byName->entries[e].item;
        if (SameName(((KeyboardLayout *)node->data)->name, name))
            return node;
    }
    return NULL;
}

static void GiveSwitchKeyItsFace(LoadContext *context, const KeyboardLayout *request, KeyDef *key) {
    Element *current = FindCatalogueNode(context, request->name);
    if (current == NULL)
        return;
    // The next layout in scan order, wrapping around to the first.
    Element *nextNode = current->prev != NULL ? current->prev : FindLastElement(context->catalogue);
    const KeyboardLayout *next = (const KeyboardLayout *)nextNode->data;
    if (next == NULL)
        return;
    key->image = RenderKeyFace(next->label, FACE_STYLE_TEXT, key->width, key->height);
    if (key->image != NULL)
        key->flags |= KEY_IMAGE_OWNED;
    if (key->target == NULL)
        key->target = NewLayoutRecord(next->name, next->subName, next->label, next->number);
}

// Exact and any-number modes: the best section found so far, with its keys still unresolved.
typedef struct SectionSearch {
    const KeyboardLayout *request;
    DWORD hash;
    FileSection best;
    PATHCHAR bestPath[MAX_PATH];
    Element *bestKeys;
} SectionSearch;

// FALSE once the search is over: an exact number was found.
static BOOL FindRequestedSection(SectionSearch *search, ScannedFile *file) {
    const KeyboardLayout *request = search->request;
    BOOL anyNumber = request->number == -1;
    DWORD hash = search->hash;
    if (FirstSectionNamed(file, hash) < 0)
        return TRUE;
    if (ReadScannedText(file) == NULL)
        return TRUE;
    for (int e = FirstSectionNamed(file, hash); e >= 0; e = NextSectionNamed(file, e)) {
        FileSection *section = (FileSection *)file->sectionsByName.entries[e].item;
        if (!SameName(section->name, request->name) ||
            !SameName(section->subName, request->subName))
            continue;
        if (anyNumber ? section->number <= (search->bestKeys != NULL ? search->best.number : -1)
                      : section->number != request->number)
            continue;
        Element *keys = ReadKeysOfSection(file, section);
        if (keys == NULL)
            continue;
        ReleaseUnresolvedKeyList(&search->bestKeys);
        search->best = *section;
        search->bestKeys = keys;
        lstrcpyn(search->bestPath, file->path, MAX_PATH);
        if (!anyNumber)
            return FALSE;
    }
    return TRUE;
}

// The requested section read into a new cached layout whose sub-keyboards are still requests.
static KeyboardLayout *ReadRequestedLayout(LoadContext *context, const KeyboardLayout *request) {
    SectionSearch search = {};
    search.request = request;
    search.hash = HashSectionName(request->name, request->subName);
    for (ScannedFile **file = ScanLayoutFiles(); *file != NULL; file++) {
        if (!FindRequestedSection(&search, *file))
            break;
    }
    if (search.bestKeys == NULL)
        return NULL;

    KeyboardLayout *layout = NewLayoutRecord(search.best.name, search.best.subName,
                                             search.best.label, search.best.number);
    if (layout == NULL || !AddToCache(context, layout)) {
        LocalFree(layout);
        ReleaseUnresolvedKeyList(&search.bestKeys);
        return NULL;
    }
    lstrcpyn(layout->path, search.bestPath, LAYOUT_PATH_SIZE);
    layout->keys = search.bestKeys;
    return layout;
}

// A layout whose keys are being resolved, in list order. While the sub-keyboard of one key is
// loaded above it, that key waits with the request it held.
typedef struct LoadFrame {
    KeyboardLayout *layout;
    const KeyboardLayout *request; // its name gives switch keys their face
    Element *next;
    KeyDef *waiting;
    KeyboardLayout *waitingRequest;
} LoadFrame;

// Numbers are given as a recursive load would: a key's number comes after every number of the
// tree it leads to.
static void ResolveTarget(KeyDef *key, KeyboardLayout *request, KeyboardLayout *loaded) {
    key->target = loaded;
    if (loaded != NULL)
        key->identity = ++IdentityCounter;
    LocalFree(request);
}

// Resolves the keys of a layout and, depth first, of every layout they newly lead to.
static void ResolveTree(LoadContext *context, WorkStack *stack) {
    while (stack->count > 0) {
        LoadFrame *frame = (LoadFrame *)TopWork(stack);
        if (frame->next == NULL) {
            KeyboardLayout *loaded = frame->layout;
            PopWork(stack);
            LoadFrame *below = (LoadFrame *)TopWork(stack);
            if (below != NULL) {
                ResolveTarget(below->waiting, below->waitingRequest, loaded);
                below->waiting = NULL;
            }
            continue;
        }
        KeyDef *key = (KeyDef *)frame->next->data;
        frame->next = frame->next->prev;
        if (key == NULL)
            continue;
        if (context->catalogue != NULL && (key->flags & KEY_SWITCH) != 0 && key->image == NULL &&
            key->imageIndex == 0)
            GiveSwitchKeyItsFace(context, frame->request, key);
        if (!KeyHasLayoutTarget(key))
            continue;
        KeyboardLayout *subRequest = (KeyboardLayout *)key->target;
        KeyboardLayout *loaded = FindCachedLayout(context, subRequest);
        if (loaded == NULL && ReserveWork(stack, stack->count + 1)) {
            frame = (LoadFrame *)TopWork(stack); // the reserve may have moved the frames
            loaded = ReadRequestedLayout(context, subRequest);
            if (loaded != NULL) {
                frame->waiting = key;
                frame->waitingRequest = subRequest;
                LoadFrame above = {loaded, subRequest, FindLastElement(loaded->keys), NULL, NULL};
                PushWork(stack, &above);
                continue;
            }
        }
        ResolveTarget(key, subRequest, loaded);
    }
}

static KeyboardLayout *LoadLayoutTree(LoadContext *context, const KeyboardLayout *request) {
    KeyboardLayout *cached = FindCachedLayout(context, request);
    if (cached != NULL)
        return cached;
    WorkStack stack;
    StartWorkStack(&stack, sizeof(LoadFrame));
    KeyboardLayout *layout = NULL;
    if (ReserveWork(&stack, 1))
        layout = ReadRequestedLayout(context, request);
    if (layout != NULL) {
        LoadFrame first = {layout, request, FindLastElement(layout->keys), NULL, NULL};
        PushWork(&stack, &first);
        ResolveTree(context, &stack);
    }
    ReleaseWorkStack(&stack);
    return layout;
}

void *LoadKeyBoard(Element *catalogue, KeyboardLayout *request, HDC dc) {
    CreateFaceContext(dc);
    void *result;
    if (request == NULL) {
        result = LoadCatalogue();
    } else {
        LoadContext context;
        StartLoadContext(&context, catalogue);
        result = LoadLayoutTree(&context, request);
        EndLoadContext(&context);
    }
    EndLayoutScan();
    return result;
}

Element *LoadKeyBoardsNames(void) {
    return (Element *)LoadKeyBoard(NULL, NULL, NULL);
}
