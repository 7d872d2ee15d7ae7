#include "key_tables.h"

const KeywordEntry KeywordTable[KEYWORD_COUNT] = {
    {WTEXT("VIRTUAL"), KEY_VIRTUAL},   {WTEXT("MAP"), KEY_MAP},
    {WTEXT("STICK"), KEY_STICK},       {WTEXT("DEADKEY"), KEY_DEADKEY},
    {WTEXT("DISABLE"), KEY_DISABLE},   {WTEXT("TOGGLE"), KEY_TOGGLE},
    {WTEXT("HIDDEN"), KEY_HIDDEN},     {WTEXT("SWITCH"), KEY_SWITCH},
    {WTEXT("IMAGE"), KEY_IMAGE},       {WTEXT("IMAGEINTERNAL"), KEY_IMAGEINTERNAL},
    {WTEXT("MACRO"), KEY_MACRO},       {WTEXT("LAUNCH"), KEY_LAUNCH},
    {WTEXT("NEWKEYBD"), KEY_NEWKEYBD}, {WTEXT("NORELEASESTICK"), KEY_NORELEASESTICK},
};

// Codes are Windows virtual-key codes, except DOUBLEQUOTA, COMMA and 0, which stand for the
// characters that cannot be written bare in a comma-separated line.
const VirtualKeyName VirtualKeyNameTable[VIRTUAL_KEY_NAME_COUNT] = {
    {WTEXT("DOUBLEQUOTA"), 34}, {WTEXT("0"), 0},         {WTEXT("NULL"), 0},
    {WTEXT("BACK"), 8},         {WTEXT("ESCAPE"), 27},   {WTEXT("RETURN"), 13},
    {WTEXT("SHIFT"), 16},       {WTEXT("CAPITAL"), 20},  {WTEXT("CONTROL"), 17},
    {WTEXT("TAB"), 9},          {WTEXT("DELETE"), 46},   {WTEXT("UP"), 38},
    {WTEXT("DOWN"), 40},        {WTEXT("LEFT"), 37},     {WTEXT("RIGHT"), 39},
    {WTEXT("END"), 35},         {WTEXT("HOME"), 36},     {WTEXT("PRIOR"), 33},
    {WTEXT("NEXT"), 34},        {WTEXT("SPACE"), 32},    {WTEXT("LWIN"), 91},
    {WTEXT("MENU"), 18},        {WTEXT("LBUTTON"), 1},   {WTEXT("RBUTTON"), 2},
    {WTEXT("MBUTTON"), 4},      {WTEXT("CANCEL"), 3},    {WTEXT("COMMA"), 44},
    {WTEXT("CONTEXTMENU"), 93}, {WTEXT("INSERT"), 45},   {WTEXT("PRINT"), 42},
    {WTEXT("SELECT"), 41},      {WTEXT("HELP"), 47},     {WTEXT("PAUSE"), 19},
    {WTEXT("CLEAR"), 12},       {WTEXT("SNAPSHOT"), 44},
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
