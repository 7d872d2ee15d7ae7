#include <string.h>

#include "conversion.h"

void FindLevels(KeyboardLayout *layout, LayoutLevels *levels) {
    levels->main = layout;
    levels->shift = FindKeyBoardByUnicode(layout, 16);
    levels->caps = FindKeyBoardByUnicode(layout, 20);
    levels->shiftedCaps = levels->caps != NULL ? FindKeyBoardByUnicode(levels->caps, 16) : NULL;
}

KeyDef *FindKeyInLevel(KeyboardLayout *level, WCHAR code) {
    if (level == NULL)
        return NULL;
    return GettingKeyByUnicode(level->keys, code, 0, KEY_TEMP_MARK | KEY_VIRTUAL);
}

WCHAR DecodeByte(BYTE c, UINT codePage) {
    WCHAR wide = 0;
    MultiByteToWideChar(codePage, MB_PRECOMPOSED, (const char *)&c, 1, &wide, 1);
    return wide;
}

void SetKeyCode(KeyDef *key, WCHAR oldCode, WCHAR newCode, DWORD bits) {
    if (key == NULL)
        return;
    if (oldCode == 0 || oldCode == ' ')
        key->flags &= ~KEY_VIRTUAL;
    key->code = newCode;
    if (newCode == 0 || newCode == ' ')
        key->flags |= KEY_VIRTUAL;
    key->flags |= bits;
}

const MapRange CharMapRange = {CHAR_MAP_BASE, CHAR_MAP_LAST, CHAR_MAP_LAST};
const MapRange DeadKeyMapRange = {DEAD_KEY_MAP_BASE, DEAD_KEY_MAP_LAST, DEAD_KEY_MAP_LAST_PLAIN};

// Gives each code of the map its new character on the first of the two levels that has it. The
// temporary mark keeps a changed key from being found again for a later code, so maps that swap
// characters work in one pass.
static void ApplyMap(KeyboardLayout *first, KeyboardLayout *second, const WCHAR *map,
                     const MapRange *range, UINT codePage, DWORD bits) {
    for (int code = range->firstCode; code <= range->lastCode; code++) {
        WCHAR replacement = map[code - range->firstCode];
        // ASCII past the plain sources ("{" and on) names no key; bytes from 128 on do.
        if (replacement == 0 || (code > range->lastPlainCode && code < 0x80))
            continue;
        WCHAR source =
            code <= range->lastPlainCode ? (WCHAR)code : DecodeByte((BYTE)code, codePage);
        KeyDef *key = FindKeyInLevel(first, source);
        if (key == NULL)
            key = FindKeyInLevel(second, source);
        SetKeyCode(key, source, replacement, bits);
    }
}

void ApplyCharMaps(KeyboardLayout *layout, const LegacyLayout *legacy, const WCHAR *subNamePrefix,
                   const BYTE *levelMap, const BYTE *capsLevelMap, const MapRange *range,
                   BOOL rename, BOOL mapBit) {
    LayoutLevels levels;
    FindLevels(layout, &levels);
    DWORD bits = KEY_TEMP_MARK | (mapBit ? KEY_MAP : 0);
    WCHAR map[CHAR_MAP_SIZE] = {0};

    // One string of 223 bytes, so that every entry keeps its position and 0 stays 0.
    MultiByteToWideChar(legacy->codePage, MB_PRECOMPOSED, (const char *)levelMap, CHAR_MAP_SIZE,
                        map, CHAR_MAP_SIZE);
    ApplyMap(levels.main, levels.shift, map, range, legacy->codePage, bits);
    ClearTempFlag(layout);
    memset(map, 0, sizeof map);
    MultiByteToWideChar(legacy->codePage, MB_PRECOMPOSED, (const char *)capsLevelMap, CHAR_MAP_SIZE,
                        map, CHAR_MAP_SIZE);
    ApplyMap(levels.caps, levels.shiftedCaps, map, range, legacy->codePage, bits);
    ClearTempFlag(layout);

    if (rename) {
        WCHAR title[LEGACY_TITLE_SIZE];
        wsprintfW(title, WTEXT("%S"), legacy->title);
        ReplaceKbdNames(layout, title, subNamePrefix, legacy->label);
    }
}
