#include <stdlib.h>
#include <string.h>

#include "key_tables.h"
#include "layodex_internal.h"
#include "layout_reader.h"
#include "reader_report.h"

static const char *ParseNumber(const FieldValue *value, INT *number) {
    if (value->length > NUMBER_FIELD_LIMIT)
        return "number longer than 19 characters";
    *number = ReadNumber(value->start, value->length);
    return NULL;
}

static const char *ParseFlags(const FieldValue *value, DWORD *flags) {
    if (value->length > FLAGS_FIELD_LIMIT)
        return "flags longer than 199 characters";
    *flags = 0;
    const WCHAR *p = value->start;
    const WCHAR *end = p + value->length;
    while (p < end) {
        const WCHAR *bar = p;
        while (bar < end && *bar != '|')
            bar++;
        int length = (int)(bar - p);
        if (length == 0 && p > value->start && bar < end)
            return "empty flag between two '|'";
        // Keywords begin with a letter (which case folding may reach from outside ASCII).
        BOOL letter =
            length > 0 && ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || *p >= 0x80);
        DWORD bit = letter ? FindKeywordBit(p, length) : 0;
        *flags |= bit != 0 ? bit : (DWORD)ReadNumber(p, length);
        p = bar < end ? bar + 1 : end;
    }
    return NULL;
}

static const char *ParseCode(const FieldValue *value, DWORD flags, WORD *code) {
    if (value->length > CODE_FIELD_LIMIT)
        return "code longer than 49 characters";
    if ((flags & KEY_VIRTUAL) != 0) {
        if (!FindVirtualKeyCode(value->start, value->length, code))
            return "unknown virtual-key name";
        return NULL;
    }
    // An empty code is the NUL character: a key with a picture and nothing to type.
    if (value->length > 1)
        return "code is more than one character";
    *code = value->length == 1 ? value->start[0] : 0;
    return NULL;
}

static const char *CheckLayoutTarget(const FieldValue *value, KeyLine *line) {
    if (value->length > TEXT_FIELD_LIMIT)
        return "target longer than 299 characters";
    LayoutText inner;
    InitLayoutText(&inner, value->start, value->length);
    const WCHAR *cursor = inner.start;
    if (!ReadField(&inner, &cursor, FIELD_NEEDS_COMMA, &line->target))
        return "target needs a layout and a sub-keyboard name";
    ReadField(&inner, &cursor, FIELD_MAY_END_LINE, &line->targetSubName);
    if (line->target.length >= LAYOUT_NAME_SIZE || line->targetSubName.length >= LAYOUT_NAME_SIZE)
        return "target name longer than 99 characters";
    return NULL;
}

static const char *CheckTarget(const FieldValue *value, KeyLine *line) {
    if ((line->flags & (KEY_MACRO | KEY_LAUNCH)) != 0) {
        if (value->length > TEXT_FIELD_LIMIT)
            return "text longer than 299 characters";
        line->target = *value;
        return NULL;
    }
    if ((line->flags & KEY_NEWKEYBD) != 0)
        return CheckLayoutTarget(value, line);
    return NULL;
}

static const char *CheckPicture(const FieldValue *value, KeyLine *line) {
    if ((line->flags & KEY_IMAGE) != 0) {
        if (value->length > PICTURE_PATH_LIMIT)
            return "picture path longer than 259 characters";
        line->picture = *value;
    } else if ((line->flags & KEY_IMAGEINTERNAL) != 0) {
        if (value->length > NUMBER_FIELD_LIMIT)
            return "picture number longer than 19 characters";
        line->imageIndex = (DWORD)ReadNumber(value->start, value->length);
    }
    return NULL;
}

static const char *ReadNumberField(const LayoutText *text, const WCHAR **cursor, INT *number) {
    FieldValue value;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    return ParseNumber(&value, number);
}

static void FinishKeyLine(KeyLine *line) {
    if ((line->flags & KEY_VIRTUAL) != 0 && (line->code == ',' || line->code == '"'))
        line->flags &= ~KEY_VIRTUAL;
}

const char *ReadKeyLine(const LayoutText *text, const WCHAR **cursor, KeyLine *line) {
    const char *problem;
    if ((problem = ReadNumberField(text, cursor, &line->left)) != NULL ||
        (problem = ReadNumberField(text, cursor, &line->top)) != NULL ||
        (problem = ReadNumberField(text, cursor, &line->width)) != NULL ||
        (problem = ReadNumberField(text, cursor, &line->height)) != NULL)
        return problem;

    FieldValue value;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = ParseFlags(&value, &line->flags)) != NULL)
        return problem;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = ParseCode(&value, line->flags, &line->code)) != NULL)
        return problem;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = CheckTarget(&value, line)) != NULL)
        return problem;
    ReadField(text, cursor, FIELD_MAY_END_LINE, &value);
    if ((problem = CheckPicture(&value, line)) != NULL)
        return problem;
    FinishKeyLine(line);
    return NULL;
}

static inline const WCHAR *SkipSpacesAndTabs(const WCHAR *p, const WCHAR *end) {
    while (p < end && (*p == ' ' || *p == '\t'))
        p++;
    return p;
}

// An optional sign and digits, between spaces or tabs, then a comma.
static inline BOOL ReadPlainNumber(const WCHAR **cursor, const WCHAR *end, INT *number) {
    const WCHAR *start = SkipSpacesAndTabs(*cursor, end);
    const WCHAR *p = ReadSignedDigits(start, end, number);
    int length = (int)(p - start);
    p = SkipSpacesAndTabs(p, end);
    if (length > NUMBER_FIELD_LIMIT || p == end || *p != ',')
        return FALSE;
    *cursor = p + 1;
    return TRUE;
}

// A field that starts on the line with neither a quote nor a comment and, unless it is the
// last, ends with a comma on the line.
static inline BOOL ReadPlainField(const WCHAR **cursor, const WCHAR *end, BOOL last,
                                  FieldValue *value) {
    const WCHAR *p = SkipSpacesAndTabs(*cursor, end);
    if (p == end || *p == '"' || IsLayoutSpace(*p) || (*p == '/' && end - p >= 2 && p[1] == '/'))
        return FALSE;
    const WCHAR *start = p;
    while (p < end && !IsFieldEnd(*p))
        p++;
    if (!last && (p == end || *p != ','))
        return FALSE;
    value->start = start;
    value->length = (int)(TrimTrailingBlanks(start, p) - start);
    *cursor = p < end ? p + 1 : p;
    return TRUE;
}

BOOL ReadPlainKeyLine(const LayoutText *text, const WCHAR **cursor, KeyLine *line) {
    const WCHAR *p = *cursor;
    const WCHAR *end = text->end;
    FieldValue value;
    if (!ReadPlainNumber(&p, end, &line->left) || !ReadPlainNumber(&p, end, &line->top) ||
        !ReadPlainNumber(&p, end, &line->width) || !ReadPlainNumber(&p, end, &line->height) ||
        !ReadPlainField(&p, end, FALSE, &value) || ParseFlags(&value, &line->flags) != NULL ||
        !ReadPlainField(&p, end, FALSE, &value) ||
        ParseCode(&value, line->flags, &line->code) != NULL ||
        !ReadPlainField(&p, end, FALSE, &value) || CheckTarget(&value, line) != NULL ||
        !ReadPlainField(&p, end, TRUE, &value) || CheckPicture(&value, line) != NULL)
        return FALSE;
    FinishKeyLine(line);
    *cursor = p;
    return TRUE;
}

static BOOL AddLine(KeyLine **lines, int *count, int *capacity, const KeyLine *line) {
    if (*count == *capacity) {
        int grown = *capacity == 0 ? 32 : *capacity * 2;
        KeyLine *larger = (KeyLine *)LocalAlloc(LMEM_FIXED, grown * sizeof(KeyLine));
        if (larger == NULL)
            return FALSE;
        if (*lines != NULL) {
            memcpy(larger, *lines, *count * sizeof(KeyLine));
            LocalFree(*lines);
        }
        *lines = larger;
        *capacity = grown;
    }
    (*lines)[(*count)++] = *line;
    return TRUE;
}

KeyLine *ReadSectionLines(const LayoutText *text, const WCHAR *keysStart, const WCHAR **sectionEnd,
                          int *count) {
    KeyLine *lines = NULL;
    int capacity = 0;
    *count = 0;
    const WCHAR *end = text->end;
    const WCHAR *cursor = keysStart;
    for (;;) {
        SkipBlankAndComments(text, &cursor);
        if (cursor == end || *cursor == '[')
            break;
        const WCHAR *lineStart = cursor;
        KeyLine line = {};
        const char *problem = NULL;
        if (!ReadPlainKeyLine(text, &cursor, &line)) {
            memset(&line, 0, sizeof line);
            problem = ReadKeyLine(text, &cursor, &line);
        }
        if (problem == NULL) {
            while (cursor < end && IsLayoutSpace(*cursor))
                cursor++;
            if (AddLine(&lines, count, &capacity, &line))
                continue;
            problem = "out of memory";
        }
        ReportDropped(lineStart, problem);
        while (cursor < end && !IsLineEnd(*cursor))
            cursor++;
        if (cursor == end)
            break;
        while (cursor < end && IsLineEnd(*cursor))
            cursor++;
    }
    if (sectionEnd != NULL)
        *sectionEnd = cursor;
    return lines;
}

static BOOL MakeTarget(const KeyLine *line, KeyDef *key) {
    if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0) {
        WCHAR text[TEXT_FIELD_LIMIT + 1];
        CopyFieldValue(&line->target, text, TEXT_FIELD_LIMIT + 1);
        key->target = _wcsdup(text);
        return key->target != NULL;
    }
    if ((key->flags & KEY_NEWKEYBD) != 0) {
        WCHAR name[LAYOUT_NAME_SIZE];
        WCHAR subName[LAYOUT_NAME_SIZE];
        CopyFieldValue(&line->target, name, LAYOUT_NAME_SIZE);
        CopyFieldValue(&line->targetSubName, subName, LAYOUT_NAME_SIZE);
        key->target = NewLayoutRecord(name, subName, WTEXT(""), -1);
        return key->target != NULL;
    }
    return TRUE;
}

static HBITMAP LoadKeyPicture(const WCHAR *path) {
#ifdef UNDER_CE
    WCHAR fullPath[MAX_PATH];
    if (lstrlenW(SearchDirectory) + lstrlenW(path) >= MAX_PATH)
        return NULL;
    lstrcpyW(fullPath, SearchDirectory);
    lstrcatW(fullPath, path);
    return (HBITMAP)LoadImageW(NULL, fullPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
#else
    char hostPath[MAX_PATH * 2];
    if (WideCharToMultiByte(CP_ACP, 0, path, -1, hostPath, sizeof hostPath, NULL, NULL) == 0)
        return NULL;
    return (HBITMAP)LoadImageA(NULL, hostPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
#endif
}

static void MakePicture(const KeyLine *line, KeyDef *key) {
    if ((key->flags & KEY_IMAGE) != 0) {
        WCHAR path[PICTURE_PATH_LIMIT + 1];
        CopyFieldValue(&line->picture, path, PICTURE_PATH_LIMIT + 1);
        key->image = LoadKeyPicture(path);
    } else if ((key->flags & KEY_IMAGEINTERNAL) == 0 && KeyHasText(key)) {
        int style = (key->flags & KEY_MACRO) != 0 ? FACE_STYLE_TEXT : FACE_STYLE_PROGRAM;
        key->image = RenderKeyFace((const WCHAR *)key->target, style, key->width, key->height);
    }
    if (key->image != NULL)
        key->flags |= KEY_IMAGE_OWNED;
}

static KeyDef *MakeKey(const KeyLine *line) {
    KeyDef *key = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
    if (key == NULL)
        return NULL;
    key->left = line->left;
    key->top = line->top;
    key->width = line->width;
    key->height = line->height;
    key->flags = line->flags;
    key->code = line->code;
    key->imageIndex = line->imageIndex;
    if (!MakeTarget(line, key)) {
        LocalFree(key);
        return NULL;
    }
    MakePicture(line, key);
    return key;
}

Element *MakeSectionKeys(const KeyLine *lines, int count) {
    Element *keys = NULL;
    for (int i = 0; i < count; i++) {
        KeyDef *key = MakeKey(&lines[i]);
        if (key == NULL)
            continue;
        if (!AddElement(&keys, key)) {
            ReleaseUnresolvedKey(key);
            LocalFree(key);
        }
    }
    return keys;
}

Element *ReadSectionKeys(const LayoutText *text, const WCHAR *keysStart, const WCHAR **sectionEnd) {
    int count;
    KeyLine *lines = ReadSectionLines(text, keysStart, sectionEnd, &count);
    Element *keys = MakeSectionKeys(lines, count);
    if (lines != NULL)
        LocalFree(lines);
    return keys;
}
