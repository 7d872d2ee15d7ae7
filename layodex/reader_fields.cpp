#include <string.h>

#include "layout_reader.h"

// Four characters at a time: a layout file is scanned whole for its end and its headers.
const WCHAR *FindUnit(const WCHAR *p, const WCHAR *end, WCHAR c) {
    const unsigned long long ones = 0x0001000100010001ULL;
    const unsigned long long highs = 0x8000800080008000ULL;
    const unsigned long long pattern = ones * c;
    while (end - p >= 4) {
        unsigned long long units;
        memcpy(&units, p, sizeof units);
        unsigned long long x = units ^ pattern;
        if (((x - ones) & ~x & highs) != 0)
            break;
        p += 4;
    }
    while (p < end && *p != c)
        p++;
    return p;
}

static const WCHAR *FindLast(const WCHAR *start, const WCHAR *end, WCHAR c) {
    while (end > start) {
        if (*--end == c)
            return end;
    }
    return NULL;
}

void InitLayoutText(LayoutText *text, const WCHAR *start, size_t length) {
    text->start = start;
    text->end = FindUnit(start, start + length, 0);
    text->lastComma = FindLast(start, text->end, ',');
    text->lastQuote = FindLast(start, text->end, '"');
}

void SkipBlankAndComments(const LayoutText *text, const WCHAR **cursor) {
    const WCHAR *p = *cursor;
    const WCHAR *end = text->end;
    for (;;) {
        while (p < end && IsLayoutSpace(*p))
            p++;
        if (end - p < 2 || p[0] != '/' || p[1] != '/')
            break;
        while (p < end && !IsLineEnd(*p))
            p++;
        while (p < end && IsLineEnd(*p))
            p++;
    }
    *cursor = p;
}

const WCHAR *TrimTrailingBlanks(const WCHAR *start, const WCHAR *end) {
    while (end > start && (end[-1] == ' ' || end[-1] == '\t'))
        end--;
    return end;
}

// The comma or line end that closes a field; NULL for a field that needs a comma when none
// follows anywhere in the text.
static const WCHAR *FindSeparator(const LayoutText *text, const WCHAR *from, int kind) {
    if (kind == FIELD_NEEDS_COMMA && (text->lastComma == NULL || text->lastComma < from))
        return NULL;
    const WCHAR *p = from;
    while (p < text->end && *p != ',' && !IsLineEnd(*p))
        p++;
    return p;
}

BOOL ReadField(const LayoutText *text, const WCHAR **cursor, int kind, FieldValue *value) {
    const WCHAR *p = *cursor;
    SkipBlankAndComments(text, &p);
    *cursor = p;

    const WCHAR *separator;
    if (p < text->end && *p == '"' && text->lastQuote != NULL && text->lastQuote > p) {
        const WCHAR *closing = p + 1;
        while (*closing != '"')
            closing++;
        separator = FindSeparator(text, closing + 1, kind);
        value->start = p + 1;
        value->length = (int)(closing - (p + 1));
    } else {
        separator = FindSeparator(text, p, kind);
        if (separator != NULL) {
            value->start = p;
            value->length = (int)(TrimTrailingBlanks(p, separator) - p);
        }
    }
    if (separator == NULL)
        return FALSE;
    *cursor = separator < text->end ? separator + 1 : separator;
    return TRUE;
}

// As the C library's atol reads the text in the 8-bit code page; out-of-range values saturate,
// as they do on Windows. Characters outside ASCII never become digits or spaces there.
INT ReadNumber(const WCHAR *start, int length) {
    const WCHAR *p = start;
    const WCHAR *end = start + length;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        p++;
    BOOL negative = FALSE;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        p++;
    }
    long long magnitude = 0;
    const long long limit = negative ? 2147483648LL : 2147483647LL;
    while (p < end && *p >= '0' && *p <= '9') {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > limit)
            magnitude = limit;
        p++;
    }
    return (INT)(negative ? -magnitude : magnitude);
}

BOOL CopyFieldValue(const FieldValue *value, WCHAR *to, int size) {
    if (value->length >= size)
        return FALSE;
    for (int i = 0; i < value->length; i++)
        to[i] = value->start[i];
    to[value->length] = 0;
    return TRUE;
}
