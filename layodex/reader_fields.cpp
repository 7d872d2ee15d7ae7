#include <string.h>

#include "layout_reader.h"

#ifdef __SSE2__
#include <emmintrin.h>

// Eight characters at a time: a layout file is scanned whole for its end and its headers.
const WCHAR *FindUnit(const WCHAR *p, const WCHAR *end, WCHAR c) {
    const __m128i pattern = _mm_set1_epi16((short)c);
    while (end - p >= 8) {
        __m128i units = _mm_loadu_si128((const __m128i *)p);
        int matches = _mm_movemask_epi8(_mm_cmpeq_epi16(units, pattern));
        if (matches != 0)
            return p + __builtin_ctz((unsigned)matches) / 2;
        p += 8;
    }
    while (p < end && *p != c)
        p++;
    return p;
}
#else
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
#endif

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

// The comma or line end that closes a field; NULL for a field that needs a comma when none
// follows anywhere in the text.
static const WCHAR *FindSeparator(const LayoutText *text, const WCHAR *from, int kind) {
    if (kind == FIELD_NEEDS_COMMA && (text->lastComma == NULL || text->lastComma < from))
        return NULL;
    const WCHAR *p = from;
    while (p < text->end && !IsFieldEnd(*p))
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

BOOL CopyFieldValue(const FieldValue *value, WCHAR *to, int size) {
    if (value->length >= size)
        return FALSE;
    for (int i = 0; i < value->length; i++)
        to[i] = value->start[i];
    to[value->length] = 0;
    return TRUE;
}
