#include "key_tables.h"

// A table word with its length, which rules out most words before a letter is compared.
#define WORD_ENTRY(word) WTEXT(word), (int)(sizeof(WTEXT(word)) / sizeof(WCHAR)) - 1

const KeywordEntry KeywordTable[KEYWORD_COUNT] = {
    {WORD_ENTRY("VIRTUAL"), KEY_VIRTUAL},   {WORD_ENTRY("MAP"), KEY_MAP},
    {WORD_ENTRY("STICK"), KEY_STICK},       {WORD_ENTRY("DEADKEY"), KEY_DEADKEY},
    {WORD_ENTRY("DISABLE"), KEY_DISABLE},   {WORD_ENTRY("TOGGLE"), KEY_TOGGLE},
    {WORD_ENTRY("HIDDEN"), KEY_HIDDEN},     {WORD_ENTRY("SWITCH"), KEY_SWITCH},
    {WORD_ENTRY("IMAGE"), KEY_IMAGE},       {WORD_ENTRY("IMAGEINTERNAL"), KEY_IMAGEINTERNAL},
    {WORD_ENTRY("MACRO"), KEY_MACRO},       {WORD_ENTRY("LAUNCH"), KEY_LAUNCH},
    {WORD_ENTRY("NEWKEYBD"), KEY_NEWKEYBD}, {WORD_ENTRY("NORELEASESTICK"), KEY_NORELEASESTICK},
};

// Codes are Windows virtual-key codes, except DOUBLEQUOTA, COMMA and 0, which stand for the
// characters that cannot be written bare in a comma-separated line.
const VirtualKeyName VirtualKeyNameTable[VIRTUAL_KEY_NAME_COUNT] = {
    {WORD_ENTRY("DOUBLEQUOTA"), 34}, {WORD_ENTRY("0"), 0},         {WORD_ENTRY("NULL"), 0},
    {WORD_ENTRY("BACK"), 8},         {WORD_ENTRY("ESCAPE"), 27},   {WORD_ENTRY("RETURN"), 13},
    {WORD_ENTRY("SHIFT"), 16},       {WORD_ENTRY("CAPITAL"), 20},  {WORD_ENTRY("CONTROL"), 17},
    {WORD_ENTRY("TAB"), 9},          {WORD_ENTRY("DELETE"), 46},   {WORD_ENTRY("UP"), 38},
    {WORD_ENTRY("DOWN"), 40},        {WORD_ENTRY("LEFT"), 37},     {WORD_ENTRY("RIGHT"), 39},
    {WORD_ENTRY("END"), 35},         {WORD_ENTRY("HOME"), 36},     {WORD_ENTRY("PRIOR"), 33},
    {WORD_ENTRY("NEXT"), 34},        {WORD_ENTRY("SPACE"), 32},    {WORD_ENTRY("LWIN"), 91},
    {WORD_ENTRY("MENU"), 18},        {WORD_ENTRY("LBUTTON"), 1},   {WORD_ENTRY("RBUTTON"), 2},
    {WORD_ENTRY("MBUTTON"), 4},      {WORD_ENTRY("CANCEL"), 3},    {WORD_ENTRY("COMMA"), 44},
    {WORD_ENTRY("CONTEXTMENU"), 93}, {WORD_ENTRY("INSERT"), 45},   {WORD_ENTRY("PRINT"), 42},
    {WORD_ENTRY("SELECT"), 41},      {WORD_ENTRY("HELP"), 47},     {WORD_ENTRY("PAUSE"), 19},
    {WORD_ENTRY("CLEAR"), 12},       {WORD_ENTRY("SNAPSHOT"), 44},
};

static WCHAR FoldCase(WCHAR c) {
    if (c < 0x80)
        return c >= 'a' && c <= 'z' ? (WCHAR)(c - 'a' + 'A') : c;
    return towupper(c);
}

// The table words are upper-case ASCII, which folding leaves as they are, and folding keeps a
// text's length, so most words are ruled out by their length or by the first letter, folded once
// by the caller.
static inline BOOL EqualsIgnoringCase(const WCHAR *text, int length, WCHAR first, const WCHAR *word,
                                      int wordLength) {
    if (length != wordLength || first != word[0])
        return FALSE;
    for (int i = 1; i < length; i++) {
        if (FoldCase(text[i]) != word[i])
            return FALSE;
    }
    return TRUE;
}

DWORD FindKeywordBit(const WCHAR *text, int length) {
    if (length == 0)
        return 0;
    WCHAR first = FoldCase(text[0]);
    for (const KeywordEntry *entry = KeywordTable; entry < KeywordTable + KEYWORD_COUNT; entry++) {
        if (EqualsIgnoringCase(text, length, first, entry->keyword, entry->length))
            return entry->bit;
    }
    return 0;
}

BOOL FindVirtualKeyCode(const WCHAR *text, int length, WORD *code) {
    if (length == 0)
        return FALSE;
    WCHAR first = FoldCase(text[0]);
    for (const VirtualKeyName *entry = VirtualKeyNameTable;
         entry < VirtualKeyNameTable + VIRTUAL_KEY_NAME_COUNT; entry++) {
        if (EqualsIgnoringCase(text, length, first, entry->name, entry->length)) {
            *code = entry->code;
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
