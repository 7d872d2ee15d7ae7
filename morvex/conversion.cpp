#include <stdio.h>

#include "conversion.h"

// One dead key of the legacy layout and the dead keyboard it leads to.
typedef struct DeadKeyEntry {
    INT inShiftLevel;
    const BYTE *map;
    KeyboardLayout *keyboard;
    KeyDef *key;
    KeyboardLayout *capsLevel;
    KeyDef *capsKey;
    KeyboardLayout *shiftLevel;
    KeyboardLayout *shiftedCapsLevel;
} DeadKeyEntry;

// The device program has pictures for the first six dead keys.
#define DEAD_KEY_PICTURE_FIRST 121
#define DEAD_KEY_PICTURES 6

// Makes key a dead key leading to target and showing face. A dead key with nowhere to lead stays
// an ordinary key; dead keys past the sixth show their face character instead of a picture.
static void MakeDeadKey(KeyDef *key, KeyboardLayout *target, int deadKey, WCHAR face) {
    if (key == NULL || target == NULL)
        return;
    key->flags |= KEY_DEADKEY | KEY_NEWKEYBD;
    if (deadKey < DEAD_KEY_PICTURES) {
        key->flags |= KEY_IMAGEINTERNAL;
        key->imageIndex = DEAD_KEY_PICTURE_FIRST + deadKey;
    }
    key->target = target;
    SetKeyCode(key, key->code, face, 0);
}

// A hidden copy of a dead key on the other level, so the dead key stays reachable from there.
static void AddHiddenCopy(const KeyDef *key, KeyboardLayout *level) {
    if (key == NULL || level == NULL)
        return;
    KeyDef *copy = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
    if (copy == NULL)
        return;
    *copy = *key;
    copy->flags |= KEY_HIDDEN;
    if (!AddElement(&level->keys, copy))
        LocalFree(copy);
}

// Finds each dead key on the result's main or Shift level and gives it a dead keyboard.
static void FindDeadKeys(KeyboardLayout *result, const LayoutLevels *levels,
                         KeyboardLayout *resultCaps, const LegacyLayout *legacy,
                         DeadKeyEntry *entries) {
    for (int i = 0; i < legacy->deadKeyCount; i++) {
        DeadKeyEntry *entry = &entries[i];
        entry->map = legacy->deadKeyMaps[i];
        entry->keyboard = CopyKeyBoard(result);
        if (entry->keyboard == NULL)
            continue;
        WCHAR c = DecodeByte(legacy->deadKeyChars[i], legacy->codePage);
        entry->key = FindKeyInLevel(levels->main, c);
        if (entry->key == NULL) {
            entry->key = FindKeyInLevel(levels->shift, c);
            entry->inShiftLevel = entry->key != NULL;
        }
        if (entry->key == NULL)
            continue;
        LayoutLevels dead;
        FindLevels(entry->keyboard, &dead);
        entry->capsLevel = dead.caps;
        entry->shiftLevel = dead.shift;
        entry->shiftedCapsLevel = dead.shiftedCaps;
        if (resultCaps != NULL)
            entry->capsKey =
                FindKeyInLevel(entry->inShiftLevel ? levels->shiftedCaps : resultCaps, c);
    }
}

// Fills the dead keyboard of dead key pos: the legacy maps, then the dead key's own map, and the
// dead keys inside it leading back to the result or on to the other dead keyboards.
static void BuildDeadKeyboard(KeyboardLayout *result, KeyboardLayout *resultCaps,
                              const LegacyLayout *legacy, DeadKeyEntry *entries, int pos) {
    DeadKeyEntry *own = &entries[pos];
    KeyboardLayout *dead = own->keyboard;
    KeyDef *levelKeys[MAX_DEAD_KEYS];
    KeyDef *capsKeys[MAX_DEAD_KEYS];
    for (int i = 0; i < legacy->deadKeyCount; i++) {
        WCHAR c = DecodeByte(legacy->deadKeyChars[i], legacy->codePage);
        BOOL shifted = entries[i].inShiftLevel;
        levelKeys[i] = FindKeyInLevel(shifted ? own->shiftLevel : dead, c);
        capsKeys[i] = FindKeyInLevel(shifted ? own->shiftedCapsLevel : own->capsLevel, c);
    }

    ApplyCharMaps(dead, legacy, NULL, legacy->mainMap, legacy->capsMap, &CharMapRange, FALSE,
                  FALSE);
    WCHAR prefix[16];
    wsprintfW(prefix, WTEXT("%s%i"), WTEXT("Dead"), pos + 1);
    ApplyCharMaps(dead, legacy, prefix, own->map, own->map, &DeadKeyMapRange, TRUE, TRUE);

    for (int i = 0; i < legacy->deadKeyCount; i++) {
        WCHAR face = DecodeByte(entries[i].map[0], legacy->codePage);
        MakeDeadKey(levelKeys[i], i == pos ? result : entries[i].keyboard, i, face);
        MakeDeadKey(capsKeys[i], i == pos ? resultCaps : entries[i].capsLevel, i, face);
    }
    BOOL shifted = own->inShiftLevel;
    AddHiddenCopy(levelKeys[pos], shifted ? dead : own->shiftLevel);
    AddHiddenCopy(capsKeys[pos], shifted ? own->capsLevel : own->shiftedCapsLevel);
}

KeyboardLayout *ConvertLegacyLayout(KeyboardLayout *englishTemplate, const LegacyLayout *legacy) {
    KeyboardLayout *result = CopyKeyBoard(englishTemplate);
    if (result == NULL)
        return NULL;
    DeadKeyEntry entries[MAX_DEAD_KEYS] = {};
    if (legacy->deadKeyCount > 0) {
        LayoutLevels levels;
        FindLevels(result, &levels);
        // A template whose Caps Lock leads to its Shift level has no Caps level of its own.
        KeyboardLayout *resultCaps = levels.caps != levels.shift ? levels.caps : NULL;
        FindDeadKeys(result, &levels, resultCaps, legacy, entries);
        for (int pos = 0; pos < legacy->deadKeyCount; pos++) {
            if (entries[pos].keyboard != NULL)
                BuildDeadKeyboard(result, resultCaps, legacy, entries, pos);
        }
    }

    ApplyCharMaps(result, legacy, NULL, legacy->mainMap, legacy->capsMap, &CharMapRange, TRUE,
                  FALSE);
    for (int j = 0; j < legacy->deadKeyCount; j++) {
        DeadKeyEntry *entry = &entries[j];
        if (entry->map == NULL || entry->key == NULL || entry->keyboard == NULL)
            continue;
        WCHAR face = DecodeByte(entry->map[0], legacy->codePage);
        MakeDeadKey(entry->key, entry->keyboard, j, face);
        MakeDeadKey(entry->capsKey, entry->capsLevel, j, face);
    }
    return result;
}
