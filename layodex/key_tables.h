// The layout file's attribute keywords and virtual-key names.
#ifndef LAYODEX_KEY_TABLES_H
#define LAYODEX_KEY_TABLES_H

#include "layodex.h"

typedef struct KeywordEntry {
    const WCHAR *keyword;
    int length;
    DWORD bit;
} KeywordEntry;

typedef struct VirtualKeyName {
    const WCHAR *name;
    int length;
    WORD code;
} VirtualKeyName;

#define KEYWORD_COUNT 14
#define VIRTUAL_KEY_NAME_COUNT 35
extern const KeywordEntry KeywordTable[KEYWORD_COUNT];
extern const VirtualKeyName VirtualKeyNameTable[VIRTUAL_KEY_NAME_COUNT];

// Bits that a layout file can name; the rest are never written.
#define KEYWORD_BITS                                                                               \
    (KEY_VIRTUAL | KEY_MAP | KEY_STICK | KEY_DEADKEY | KEY_DISABLE | KEY_TOGGLE | KEY_HIDDEN |     \
     KEY_SWITCH | KEY_IMAGE | KEY_IMAGEINTERNAL | KEY_MACRO | KEY_LAUNCH | KEY_NEWKEYBD |          \
     KEY_NORELEASESTICK)

// The bit of a keyword (case-insensitive, exact length), or 0 when it is none.
DWORD FindKeywordBit(const WCHAR *text, int length);
// The code of a virtual-key name (case-insensitive, first row wins); FALSE when there is none.
BOOL FindVirtualKeyCode(const WCHAR *text, int length, WORD *code);
// The first name with that code, or NULL.
const WCHAR *FindVirtualKeyName(WORD code);

#endif
