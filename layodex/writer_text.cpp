#include <stdio.h>

#include "key_tables.h"
#include "layout_reader.h"
#include "layout_writer.h"

static void WriteChar(TextWriter *writer, WCHAR c) {
    if (writer->position >= writer->limit) {
        writer->overflow = TRUE;
        return;
    }
    *writer->position++ = c;
}

static void WriteText(TextWriter *writer, const WCHAR *text) {
    while (*text != 0)
        WriteChar(writer, *text++);
}

static void WriteAscii(TextWriter *writer, const char *text) {
    while (*text != 0)
        WriteChar(writer, (WCHAR)(unsigned char)*text++);
}

static void WriteSigned(TextWriter *writer, INT value) {
    char digits[16];
    snprintf(digits, sizeof digits, "%i", value);
    WriteAscii(writer, digits);
}

void WriteLineEnd(TextWriter *writer) {
    WriteChar(writer, '\r');
    WriteChar(writer, '\n');
}

// Layout names are matched between headers and targets, so a character that either cannot
// hold becomes "_" in both places alike.
static void WriteName(TextWriter *writer, const WCHAR *name) {
    for (; *name != 0; name++) {
        BOOL unwritable = *name == ',' || *name == ']' || *name == '"' || IsLineEnd(*name);
        WriteChar(writer, unwritable ? '_' : *name);
    }
}

static void WriteHeader(TextWriter *writer, const KeyboardLayout *layout) {
    WriteChar(writer, '[');
    WriteName(writer, layout->name);
    WriteChar(writer, ',');
    WriteName(writer, layout->label);
    WriteChar(writer, ',');
    WriteName(writer, layout->subName);
    WriteChar(writer, ',');
    WriteSigned(writer, layout->number);
    WriteChar(writer, ']');
    WriteLineEnd(writer);
}

static void WriteSeparator(TextWriter *writer) {
    WriteChar(writer, ',');
    WriteChar(writer, ' ');
}

static void WriteFlags(TextWriter *writer, DWORD flags) {
    BOOL any = FALSE;
    for (int i = 0; i < KEYWORD_COUNT; i++) {
        if ((flags & KeywordTable[i].bit) == 0)
            continue;
        if (any)
            WriteChar(writer, '|');
        WriteText(writer, KeywordTable[i].keyword);
        any = TRUE;
    }
    if (!any)
        WriteChar(writer, '0');
}

// A character the reader would skip or split at goes in double quotes; NUL is an empty field.
static void WriteCodeCharacter(TextWriter *writer, WCHAR code) {
    if (code == 0)
        return;
    if (IsLayoutSpace(code)) {
        WriteChar(writer, '"');
        WriteChar(writer, code);
        WriteChar(writer, '"');
        return;
    }
    WriteChar(writer, code);
}

// The text as far as the reader can take it back: up to a double quote, at most 299 characters.
static void WriteQuotedText(TextWriter *writer, const WCHAR *text) {
    WriteChar(writer, '"');
    for (int i = 0; i < TEXT_FIELD_LIMIT && text[i] != 0 && text[i] != '"'; i++)
        WriteChar(writer, text[i]);
    WriteChar(writer, '"');
}

static void WriteTarget(TextWriter *writer, const KeyDef *key) {
    if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) != 0 && key->target != NULL) {
        WriteQuotedText(writer, (const WCHAR *)key->target);
    } else if ((key->flags & (KEY_MACRO | KEY_LAUNCH)) == 0 && (key->flags & KEY_NEWKEYBD) != 0 &&
               key->target != NULL) {
        const KeyboardLayout *target = (const KeyboardLayout *)key->target;
        WriteChar(writer, '"');
        WriteName(writer, target->name);
        WriteChar(writer, ',');
        WriteName(writer, target->subName);
        WriteChar(writer, '"');
    } else {
        WriteChar(writer, '0');
    }
}

static void WritePicture(TextWriter *writer, const KeyDef *key) {
    if ((key->flags & KEY_IMAGE) != 0)
        WriteAscii(writer, "\"path:\""); // the bitmap's path is not kept once it is loaded
    else if ((key->flags & KEY_IMAGEINTERNAL) != 0)
        WriteSigned(writer, (INT)key->imageIndex); // read back as a signed number: -1 stays -1
    else
        WriteChar(writer, '0');
}

static void WriteKeyLine(TextWriter *writer, const KeyDef *key) {
    DWORD flags = key->flags & KEYWORD_BITS;
    if (key->code == ' ' || key->code == '"' || key->code == ',')
        flags |= KEY_VIRTUAL;
    const WCHAR *virtualName = NULL;
    if ((flags & KEY_VIRTUAL) != 0) {
        virtualName = FindVirtualKeyName(key->code);
        if (virtualName == NULL)
            return; // no name reads back as this code: the line would only be dropped
    }

    const INT geometry[4] = {key->left, key->top, key->width, key->height};
    for (int i = 0; i < 4; i++) {
        WriteSigned(writer, geometry[i]);
        WriteSeparator(writer);
    }
    WriteFlags(writer, flags);
    WriteSeparator(writer);
    if (virtualName != NULL)
        WriteText(writer, virtualName);
    else
        WriteCodeCharacter(writer, key->code);
    WriteSeparator(writer);
    WriteTarget(writer, key);
    WriteSeparator(writer);
    WritePicture(writer, key);
    WriteLineEnd(writer);
}

void WriteLayoutSection(TextWriter *writer, const KeyboardLayout *layout) {
    WriteHeader(writer, layout);
    for (Element *node = FindLastElement(layout->keys); node != NULL; node = node->prev) {
        if (node->data != NULL)
            WriteKeyLine(writer, (const KeyDef *)node->data);
    }
}
