#include <stdlib.h>

#include "key_tables.h"
#include "layodex_internal.h"
#include "layout_reader.h"
#include "reader_report.h"

static const char *ReadNumberField(const LayoutText *text, const WCHAR **cursor, INT *number) {
    FieldValue value;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if (value.length > NUMBER_FIELD_LIMIT)
        return "number longer than 19 characters";
    *number = ReadNumber(value.start, value.length);
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

static const char *ParseLayoutTarget(const FieldValue *value, KeyDef *key) {
    if (value->length > TEXT_FIELD_LIMIT)
        return "target longer than 299 characters";
    LayoutText inner;
    InitLayoutText(&inner, value->start, value->length);
    const WCHAR *cursor = inner.start;
    FieldValue name, subName;
    if (!ReadField(&inner, &cursor, FIELD_NEEDS_COMMA, &name))
        return "target needs a layout and a sub-keyboard name";
    ReadField(&inner, &cursor, FIELD_MAY_END_LINE, &subName);
    WCHAR nameText[LAYOUT_NAME_SIZE];
    WCHAR subNameText[LAYOUT_NAME_SIZE];
    if (!CopyFieldValue(&name, nameText, LAYOUT_NAME_SIZE) ||
        !CopyFieldValue(&subName, subNameText, LAYOUT_NAME_SIZE))
        return "target name longer than 99 characters";
    key->target = NewLayoutRecord(nameText, subNameText, WTEXT(""), -1);
    return key->target != NULL ? NULL : "out of memory";
}

static const char *ParseTarget(const FieldValue *value, KeyDef *key) {
    if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0) {
        WCHAR text[TEXT_FIELD_LIMIT + 1];
        if (!CopyFieldValue(value, text, TEXT_FIELD_LIMIT + 1))
            return "text longer than 299 characters";
        key->target = _wcsdup(text);
        return key->target != NULL ? NULL : "out of memory";
    }
    if ((key->flags & KEY_NEWKEYBD) != 0)
        return ParseLayoutTarget(value, key);
    return NULL;
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

static const char *ParsePicture(const FieldValue *value, KeyDef *key) {
    if ((key->flags & KEY_IMAGE) != 0) {
        WCHAR path[PICTURE_PATH_LIMIT + 1];
        if (!CopyFieldValue(value, path, PICTURE_PATH_LIMIT + 1))
            return "picture path longer than 259 characters";
        key->image = LoadKeyPicture(path);
    } else if ((key->flags & KEY_IMAGEINTERNAL) != 0) {
        if (value->length > NUMBER_FIELD_LIMIT)
            return "picture number longer than 19 characters";
        key->imageIndex = (DWORD)ReadNumber(value->start, value->length);
    } else if (KeyHasText(key)) {
        int style = (key->flags & KEY_MACRO) != 0 ? FACE_STYLE_TEXT : FACE_STYLE_PROGRAM;
        key->image = RenderKeyFace((const WCHAR *)key->target, style, key->width, key->height);
    }
    if (key->image != NULL)
        key->flags |= KEY_IMAGE_OWNED;
    return NULL;
}

// Reads one key line into key; the reason it was dropped, or NULL.
static const char *ReadKeyLine(const LayoutText *text, const WCHAR **cursor, KeyDef *key) {
    const char *problem;
    if ((problem = ReadNumberField(text, cursor, &key->left)) != NULL ||
        (problem = ReadNumberField(text, cursor, &key->top)) != NULL ||
        (problem = ReadNumberField(text, cursor, &key->width)) != NULL ||
        (problem = ReadNumberField(text, cursor, &key->height)) != NULL)
        return problem;

    FieldValue value;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = ParseFlags(&value, &key->flags)) != NULL)
        return problem;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = ParseCode(&value, key->flags, &key->code)) != NULL)
        return problem;
    if (!ReadField(text, cursor, FIELD_NEEDS_COMMA, &value))
        return "missing fields";
    if ((problem = ParseTarget(&value, key)) != NULL)
        return problem;
    ReadField(text, cursor, FIELD_MAY_END_LINE, &value);
    return ParsePicture(&value, key);
}

Element *ReadSectionKeys(const LayoutText *text, const WCHAR *keysStart, const WCHAR **sectionEnd) {
    Element *keys = NULL;
    const WCHAR *end = text->end;
    const WCHAR *cursor = keysStart;
    for (;;) {
        SkipBlankAndComments(text, &cursor);
        if (cursor == end || *cursor == '[')
            break;
        const WCHAR *lineStart = cursor;
        KeyDef *key = (KeyDef *)LocalAlloc(LPTR, sizeof(KeyDef));
        const char *problem = key != NULL ? ReadKeyLine(text, &cursor, key) : "out of memory";
        if (problem == NULL) {
            if ((key->flags & KEY_VIRTUAL) != 0 && (key->code == ',' || key->code == '"'))
                key->flags &= ~KEY_VIRTUAL;
            while (cursor < end && IsLayoutSpace(*cursor))
                cursor++;
            if (AddElement(&keys, key))
                continue;
            problem = "out of memory";
        }
        ReportDropped(lineStart, problem);
        if (key != NULL) {
            ReleaseUnresolvedKey(key);
            LocalFree(key);
        }
        while (cursor < end && !IsLineEnd(*cursor))
            cursor++;
        if (cursor == end)
            break;
        while (cursor < end && IsLineEnd(*cursor))
            cursor++;
    }
    if (sectionEnd != NULL)
        *sectionEnd = cursor;
    return keys;
}
