// Turning a legacy layout into a layout tree made from a copy of the English template.
#ifndef MORVEX_CONVERSION_H
#define MORVEX_CONVERSION_H

#include "layodex.h"
#include "legacy_layout.h"

// The four levels of a layout tree; a level that cannot be found is NULL.
typedef struct LayoutLevels {
    KeyboardLayout *main;
    KeyboardLayout *shift;
    KeyboardLayout *caps;
    KeyboardLayout *shiftedCaps;
} LayoutLevels;

void FindLevels(KeyboardLayout *layout, LayoutLevels *levels);
// The first key of the level with the code that no pass has changed yet; NULL in a NULL level.
KeyDef *FindKeyInLevel(KeyboardLayout *level, WCHAR code);
WCHAR DecodeByte(BYTE c, UINT codePage);

// The sources a map covers; those above lastPlainCode are looked up by their decoded character.
typedef struct MapRange {
    int firstCode;
    int lastCode;
    int lastPlainCode;
} MapRange;
extern const MapRange CharMapRange;
extern const MapRange DeadKeyMapRange;

void SetKeyCode(KeyDef *key, WCHAR oldCode, WCHAR newCode, DWORD bits);
void ApplyCharMaps(KeyboardLayout *layout, const LegacyLayout *legacy, const WCHAR *subNamePrefix,
                   const BYTE *levelMap, const BYTE *capsLevelMap, const MapRange *range,
                   BOOL rename, BOOL mapBit);

KeyboardLayout *ConvertLegacyLayout(KeyboardLayout *englishTemplate, const LegacyLayout *legacy);

#endif
