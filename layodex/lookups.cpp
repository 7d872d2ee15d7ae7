#include "layodex_internal.h"
#include "name_index.h"
#include "pointer_table.h"
#include "tree_walk.h"
#include "work_stack.h"

typedef struct KeyQuery {
    WORD code;
    DWORD required;
    DWORD excluded;
    int identity;
} KeyQuery;

typedef BOOL (*KeyMatcher)(const KeyDef *key, const KeyQuery *query);

// With VIRTUAL excluded, a VIRTUAL key still stands for the comma, double quote or space its
// name spells.
static BOOL MatchesUnicode(const KeyDef *key, const KeyQuery *query) {
    if (key->code == 0 || key->code != query->code)
        return FALSE;
    DWORD excludedBits = key->flags & query->excluded;
    if (excludedBits != 0)
        return (excludedBits & KEY_VIRTUAL) != 0 &&
               (query->code == ',' || query->code == '"' || query->code == ' ');
    return query->required == 0 || (key->flags & query->required) != 0;
}

static BOOL MatchesIdentity(const KeyDef *key, const KeyQuery *query) {
    return key->identity == query->identity && (key->flags & KEY_TEMP_MARK) == 0;
}

static BOOL MatchesLayoutSwitch(const KeyDef *key, const KeyQuery *query) {
    return key->code != 0 && key->code == query->code && (key->flags & KEY_TEMP_MARK) == 0 &&
           KeyHasLayoutTarget(key);
}

static KeyDef *FindInList(Element *keys, KeyMatcher matches, const KeyQuery *query) {
    FOR_EACH_IN_LIST_ORDER(node, keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (matches(key, query))
            return key;
    }
    return NULL;
}

// The starting list first, then each sub-keyboard depth first; every list is looked at once.
static KeyDef *SearchTree(Element *keys, KeyMatcher matches, const KeyQuery *query) {
    WorkStack stack;
    StartWorkStack(&stack, sizeof(Element *));
    PointerTable visited = {};
    KeyDef *found = NULL;
    PushWork(&stack, &keys);
    while (found == NULL && stack.count > 0) {
        Element *list = *(Element **)TopWork(&stack);
        PopWork(&stack);
        if (list == NULL || FindInPointerTable(&visited, list) != NULL ||
            !AddToPointerTable(&visited, list, NULL))
            continue;
        found = FindInList(list, matches, query);
        // Last key first onto the stack, so that the first key's sub-keyboard comes off next.
        for (Element *node = list; found == NULL && node != NULL; node = node->next) {
            KeyDef *key = (KeyDef *)node->data;
            if (key != NULL && KeyHasLayoutTarget(key))
                PushWork(&stack, &((KeyboardLayout *)key->target)->keys);
        }
    }
    ReleaseWorkStack(&stack);
    ReleasePointerTable(&visited);
    return found;
}

KeyDef *FindKeyByUnicode(Element *keys, WCHAR code, DWORD required, DWORD excluded) {
    KeyQuery query = {(WORD)code, required, excluded, 0};
    return SearchTree(keys, MatchesUnicode, &query);
}

KeyDef *GettingKeyByUnicode(Element *keys, WCHAR code, DWORD required, DWORD excluded) {
    KeyQuery query = {(WORD)code, required, excluded, 0};
    return FindInList(keys, MatchesUnicode, &query);
}

KeyDef *FindKeyByIdentity(Element *keys, int identity) {
    KeyQuery query = {0, 0, 0, identity};
    return SearchTree(keys, MatchesIdentity, &query);
}

KeyboardLayout *FindKeyBoardByUnicode(KeyboardLayout *layout, WCHAR code) {
    if (layout == NULL)
        return NULL;
    KeyQuery query = {(WORD)code, 0, 0, 0};
    KeyDef *key = SearchTree(layout->keys, MatchesLayoutSwitch, &query);
    return key != NULL ? (KeyboardLayout *)key->target : NULL;
}

typedef struct DepthSearch {
    int depth;
    KeyboardLayout *found;
} DepthSearch;

// A layout met first on a shorter path is not looked at again at the depth asked for.
static int StopAtDepth(KeyboardLayout *layout, int depth, void *context) {
    DepthSearch *search = (DepthSearch *)context;
    if (depth != search->depth)
        return WALK_ON;
    search->found = layout;
    return WALK_STOP;
}

KeyboardLayout *FindKeyBoardByNumber(KeyboardLayout *layout, int depth) {
    if (layout == NULL)
        return NULL;
    DepthSearch search = {depth, NULL};
    WalkLayoutTree(layout, StopAtDepth, &search);
    return search.found;
}

KeyboardLayout *FindKeyBoardByName(Element *layouts, const WCHAR *name, int depth) {
    if (name == NULL)
        return layouts != NULL ? FindKeyBoardByNumber((KeyboardLayout *)layouts->data, depth)
                               : NULL;
    FOR_EACH_IN_LIST_ORDER(node, layouts) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (SameName(layout->name, name))
            return FindKeyBoardByNumber(layout, depth);
    }
    return NULL;
}
