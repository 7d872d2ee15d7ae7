#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "legacy_layout.h"

static BOOL IsLineEnd(BYTE c) {
    return c == '\r' || c == '\n';
}

// Offset of the first occurrence of the tag at or after from, or -1.
static long FindText(const BYTE *text, DWORD size, DWORD from, const char *tag) {
    size_t length = strlen(tag);
    for (DWORD i = from; length <= size && i <= size - length; i++) {
        if (memcmp(text + i, tag, length) == 0)
            return (long)i;
    }
    return -1;
}

// Offset of the first line break at or after from, or -1.
static long FindLineEnd(const BYTE *text, DWORD size, DWORD from) {
    for (DWORD i = from; i < size; i++) {
        if (IsLineEnd(text[i]))
            return (long)i;
    }
    return -1;
}

static DWORD SkipLineEnds(const BYTE *text, DWORD size, DWORD from) {
    while (from < size && IsLineEnd(text[from]))
        from++;
    return from;
}

// A section's content runs from the line after its opening tag up to the first occurrence of
// its closing tag in the whole text. FALSE when the section has no content there.
static BOOL FindSection(const BYTE *text, DWORD size, const char *openingTag,
                        const char *closingTag, DWORD *start, DWORD *end) {
    long opening = FindText(text, size, 0, openingTag);
    if (opening < 0)
        return FALSE;
    long lineEnd = FindLineEnd(text, size, (DWORD)opening + (DWORD)strlen(openingTag));
    if (lineEnd < 0)
        return FALSE;
    long closing = FindText(text, size, 0, closingTag);
    if (closing < 0)
        return FALSE;
    *start = SkipLineEnds(text, size, (DWORD)lineEnd);
    *end = (DWORD)closing;
    return TRUE;
}

BOOL ReadMapSection(const BYTE *text, DWORD size, const char *openingTag, const char *closingTag,
                    BYTE *table, int tableSize, int indexBase, int lowestCode, int highestCode) {
    memset(table, 0, tableSize);
    DWORD line, end;
    if (!FindSection(text, size, openingTag, closingTag, &line, &end))
        return FALSE;
    BOOL stored = FALSE;
    while (line < end) {
        if (line + 2 >= size || text[line + 1] != ' ')
            break;
        int source = text[line];
        if (source >= lowestCode && source <= highestCode && source - indexBase < tableSize) {
            table[source - indexBase] = text[line + 2];
            stored = TRUE;
        }
        long lineEnd = FindLineEnd(text, size, line);
        if (lineEnd < 0)
            break;
        line = SkipLineEnds(text, size, (DWORD)lineEnd);
    }
    return stored;
}

BOOL ReadDeadKeyList(const BYTE *text, DWORD size, const char *openingTag, const char *closingTag,
                     BYTE *characters, WORD *count) {
    *count = 0;
    DWORD position, end;
    if (!FindSection(text, size, openingTag, closingTag, &position, &end))
        return FALSE;
    // A list longer than the layout can hold keeps its first dead keys.
    while (position < end && *count < MAX_DEAD_KEYS) {
        characters[(*count)++] = text[position];
        position = SkipLineEnds(text, size, position + 1);
    }
    return *count > 0;
}

// The first line without the characters a layout name cannot hold and without blanks at its
// ends; a longer line keeps its first 99 bytes.
static void ReadTitle(const BYTE *text, DWORD size, char *title) {
    long lineEnd = FindLineEnd(text, size, 0);
    DWORD length = lineEnd < 0 ? 0 : (DWORD)lineEnd;
    int kept = 0;
    for (DWORD i = 0; i < length && kept < LEGACY_TITLE_SIZE - 1; i++) {
        char c = (char)text[i];
        if (c == 0)
            break; // the title is a string: it ends at a NUL byte
        if (strchr("\\[],", c) != NULL || (kept == 0 && (c == ' ' || c == '\t')))
            continue;
        title[kept++] = c;
    }
    title[kept] = 0;
    TrimBlanks(title);
}

void ParseLegacyText(const BYTE *text, DWORD size, LegacyLayout *layout) {
    ReadTitle(text, size, layout->title);
    ReadMapSection(text, size, "<map>", "</map>", layout->mainMap, CHAR_MAP_SIZE, CHAR_MAP_BASE,
                   CHAR_MAP_BASE, CHAR_MAP_LAST);
    ReadMapSection(text, size, "<capsmap>", "</capsmap>", layout->capsMap, CHAR_MAP_SIZE,
                   CHAR_MAP_BASE, CHAR_MAP_BASE, CHAR_MAP_LAST);
    if (!ReadDeadKeyList(text, size, "<Dead Keys>", "</Dead Keys>", layout->deadKeyChars,
                         &layout->deadKeyCount))
        return;
    layout->deadKeyMaps = (CharMap *)LocalAlloc(LPTR, layout->deadKeyCount * sizeof(CharMap));
    if (layout->deadKeyMaps == NULL) {
        layout->deadKeyCount = 0;
        return;
    }
    for (int n = 1; n <= layout->deadKeyCount; n++) {
        char openingTag[32], closingTag[32];
        snprintf(openingTag, sizeof openingTag, "<deadkey%i map>", n);
        snprintf(closingTag, sizeof closingTag, "</deadkey%i map>", n);
        ReadMapSection(text, size, openingTag, closingTag, layout->deadKeyMaps[n - 1],
                       CHAR_MAP_SIZE, DEAD_KEY_MAP_BASE, DEAD_KEY_MAP_BASE, DEAD_KEY_MAP_LAST);
    }
}

// The label is the language abbreviation's first letter and its second in lower case: En, Ru.
static void SetLanguage(LCID locale, LegacyLayout *layout) {
    char language[5] = "";
    char codePage[7] = "";
    GetLocaleInfoA(locale, LOCALE_SABBREVLANGNAME, language, sizeof language);
    if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, codePage, sizeof codePage) != 0 &&
        atoi(codePage) != 0)
        layout->codePage = (UINT)atoi(codePage);
    char label[3] = "";
    if (strlen(language) >= 2) {
        label[0] = language[0];
        label[1] = language[1] >= 'A' && language[1] <= 'Z' ? language[1] - 'A' + 'a' : language[1];
    }
    wsprintfW(layout->label, WTEXT("%S"), label);
}

BOOL ReadLegacyLayout(const char *fileName, UINT codePage, LegacyLayout *layout) {
    memset(layout, 0, sizeof *layout);
    layout->codePage = codePage;
    HANDLE file =
        CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return FALSE;
    DWORD size = GetFileSize(file, NULL);
    HANDLE mapping = NULL;
    const BYTE *text = NULL;
    if (size != INVALID_FILE_SIZE && size > 0)
        mapping = CreateFileMappingA(file, NULL, PAGE_READONLY, 0, size, NULL);
    if (mapping != NULL)
        text = (const BYTE *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (text != NULL) {
        const char *name = fileName;
        for (const char *p = fileName; *p != 0; p++) {
            if (*p == '\\' || *p == '/')
                name = p + 1;
        }
        const char *dot = strrchr(name, '.');
        SetLanguage(LocaleFromExtension(dot != NULL ? dot + 1 : NULL), layout);
        ParseLegacyText(text, size, layout);
        UnmapViewOfFile(text);
    }
    if (mapping != NULL)
        CloseHandle(mapping);
    CloseHandle(file);
    return text != NULL;
}

void FreeLegacyLayout(LegacyLayout *layout) {
    if (layout->deadKeyMaps != NULL)
        LocalFree(layout->deadKeyMaps);
    layout->deadKeyMaps = NULL;
    layout->deadKeyCount = 0;
}
