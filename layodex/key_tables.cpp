#include "key_tables.h"

const KeywordEntry KeywordTable[KEYWORD_COUNT] = {
    {u"VIRTUAL", KEY_VIRTUAL},   {u"MAP", KEY_MAP},
    {u"STICK", KEY_STICK},       {u"DEADKEY", KEY_DEADKEY},
    {u"DISABLE", KEY_DISABLE},   {u"TOGGLE", KEY_TOGGLE},
    {u"HIDDEN", KEY_HIDDEN},     {u"SWITCH", KEY_SWITCH},
    {u"IMAGE", KEY_IMAGE},       {u"IMAGEINTERNAL", KEY_IMAGEINTERNAL},
    {u"MACRO", KEY_MACRO},       {u"LAUNCH", KEY_LAUNCH},
    {u"NEWKEYBD", KEY_NEWKEYBD}, {u"NORELEASESTICK", KEY_NORELEASESTICK},
};

// Codes are Windows virtual-key codes, except DOUBLEQUOTA, COMMA and 0, which stand for the
// characters that cannot be written bare in a comma-separated line.
const VirtualKeyName VirtualKeyNameTable[VIRTUAL_KEY_NAME_COUNT] = {
    {u"DOUBLEQUOTA", 34}, {u"0", 0},      {u"NULL", 0},         {u"BACK", 8},     {u"ESCAPE", 27},
    {u"RETURN", 13},      {u"SHIFT", 16}, {u"CAPITAL", 20},     {u"CONTROL", 17}, {u"TAB", 9},
    {u"DELETE", 46},      {u"UP", 38},    {u"DOWN", 40},        {u"LEFT", 37},    {u"RIGHT", 39},
    {u"END", 35},         {u"HOME", 36},  {u"PRIOR", 33},       {u"NEXT", 34},    {u"SPACE", 32},
    {u"LWIN", 91},        {u"MENU", 18},  {u"LBUTTON", 1},      {u"RBUTTON", 2},  {u"MBUTTON", 4},
    {u"CANCEL", 3},       {u"COMMA", 44}, {u"CONTEXTMENU", 93}, {u"INSERT", 45},  {u"PRINT", 42},
    {u"SELECT", 41},      {u"HELP", 47},  {u"PAUSE", 19},       {u"CLEAR", 12},   {u"SNAPSHOT", 44},
};

static WCHAR FoldCase(WCHAR c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? (WCHAR)(c - 'a' + 'A') : c;
    return towupper(c);
}

// The table words are upper-case ASCII, so most of them are ruled out by the first letter,
// folded once by the caller.
static BOOL EqualsIgnoringCase(const WCHAR *text, int length, WCHAR first, const WCHAR *word) {
    if (first != word[0])
        return FALSE;
    for (int i = 1; i < length; i++) {
        if (word[i] == 0 || FoldCase(text[i]) != FoldCase(word[i]))
            return FALSE;
    }
    return word[length] == 0;
}

DWORD FindKeywordBit(const WCHAR *text, int length) {
    if (length == 0)
        return 0;
    WCHAR first = FoldCase(text[0]);
    for (int i = 0; i < KEYWORD_COUNT; i++) {
        if (EqualsIgnoringCase(text, length, first, KeywordTable[i].keyword))
            return KeywordTable[i].bit;
    }
    return 0;
}

BOOL FindVirtualKeyCode(const WCHAR *text, int length, WORD *code) {
    if (length == 0)
        return FALSE;
    WCHAR first = FoldCase(text[0]);
    for (int i = 0; i < VIRTUAL_KEY_NAME_COUNT; i++) {
        if (EqualsIgnoringCase(text, length, first, VirtualKeyNameTable[i].name)) {
            *code = VirtualKeyNameTable[i].code;
            return TRUE;
        }
    }
    return FALSE;
}

const WCHAR *FindVirtualKeyName(WORD code) {
    for (int i = 0; i < VIRTUAL_KEY_NAME_COUNT; i++) {
        if (VirtualKeyNameTable[i].code == code)
            return VirtualKeyNameTable[i].name;
    }
    return NULL;
}
