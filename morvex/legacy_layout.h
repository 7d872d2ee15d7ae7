// Legacy keyboard descriptions: an 8-bit text file of character maps that turn the English
// keyboard into a national one.
#ifndef MORVEX_LEGACY_LAYOUT_H
#define MORVEX_LEGACY_LAYOUT_H

#include <windows.h>

#define CHAR_MAP_SIZE 223
#define MAX_DEAD_KEYS 100
#define LEGACY_TITLE_SIZE 100

// Main and caps maps: entry S - 33 for the source code S, 33 to 255.
#define CHAR_MAP_BASE 33
#define CHAR_MAP_LAST 255
// Dead-key maps: entry S - 32 for S from the space on; entry 0 is the dead key's own face.
// Sources up to "z" name the key by its code; the national letters above it, which the main map
// has put on the keys, are found by their character in the file's code page.
#define DEAD_KEY_MAP_BASE 32
#define DEAD_KEY_MAP_LAST_PLAIN 122
#define DEAD_KEY_MAP_LAST 254

typedef BYTE CharMap[CHAR_MAP_SIZE];

typedef struct LegacyLayout {
    char title[LEGACY_TITLE_SIZE];
    WCHAR label[6];
    UINT codePage;
    CharMap mainMap;
    CharMap capsMap;
    WORD deadKeyCount;
    BYTE deadKeyChars[MAX_DEAD_KEYS];
    CharMap *deadKeyMaps; // one per dead key, from the local heap
} LegacyLayout;

// Reads a legacy file; the code page applies when the file's locale gives none. FALSE when the
// file cannot be opened or mapped.
BOOL ReadLegacyLayout(const char *fileName, UINT codePage, LegacyLayout *layout);
void FreeLegacyLayout(LegacyLayout *layout);

// The file's content alone, without the locale of its name, into a record without dead keys
// (zero-filled or freed).
void ParseLegacyText(const BYTE *text, DWORD size, LegacyLayout *layout);
BOOL ReadMapSection(const BYTE *text, DWORD size, const char *openingTag, const char *closingTag,
                    BYTE *table, int tableSize, int indexBase, int lowestCode, int highestCode);
BOOL ReadDeadKeyList(const BYTE *text, DWORD size, const char *openingTag, const char *closingTag,
                     BYTE *characters, WORD *count);

LCID LocaleFromExtension(const char *extension);

void RemoveChars(char *text, const char *set);
void TrimBlanks(char *text);

#endif
