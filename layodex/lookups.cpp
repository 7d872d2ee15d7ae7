#include "layodex_internal.h"

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
static KeyDef *FindInTree(Element *keys, KeyMatcher matches, const KeyQuery *query) {
    if (WasVisited(keys) || !MarkVisited(keys))
        return NULL;
    KeyDef *found = FindInList(keys, matches, query);
    if (found != NULL)
        return found;
    FOR_EACH_IN_LIST_ORDER(node, keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (!KeyHasLayoutTarget(key))
            continue;
        found = FindInTree(((KeyboardLayout *)key->target)->keys, matches, query);
        if (found != NULL)
            return found;
    }
    return NULL;
}

static KeyDef *SearchTree(Element *keys, KeyMatcher matches, const KeyQuery *query) {
    ClearVisited();
    KeyDef *found = FindInTree(keys, matches, query);
    ClearVisited();
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

static KeyboardLayout *FindAtDepth(KeyboardLayout *layout, int depth) {
    if (WasVisited(layout) || !MarkVisited(layout))
        return NULL;
    if (depth == 0)
        return layout;
    FOR_EACH_IN_LIST_ORDER(node, layout->keys) {
        KeyDef *key = (KeyDef *)node->data;
        if (!KeyHasLayoutTarget(key))
            continue;
        KeyboardLayout *found = FindAtDepth((KeyboardLayout *)key->target, depth - 1);
        if (found != NULL)
            return found;
    }
    return NULL;
}

KeyboardLayout *FindKeyBoardByNumber(KeyboardLayout *layout, int depth) {
    if (layout == NULL)
        return NULL;
    ClearVisited();
    KeyboardLayout *found = FindAtDepth(layout, depth);
    ClearVisited();
    return found;
}

KeyboardLayout *FindKeyBoardByName(Element *layouts, const WCHAR *name, int depth) {
    if (name == NULL)
        return layouts != NULL ? FindKeyBoardByNumber((KeyboardLayout *)layouts->data, depth)
                               : NULL;
    FOR_EACH_IN_LIST_ORDER(node, layouts) {
        KeyboardLayout *layout = (KeyboardLayout *)node->data;
        if (_wcsicmp(layout->name, name) == 0)
            return FindKeyBoardByNumber(layout, depth);
    }
    return NULL;
}
