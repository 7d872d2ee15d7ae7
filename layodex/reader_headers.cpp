#include "layout_reader.h"
#include "reader_report.h"

static BOOL CopyHeaderField(const WCHAR *start, const WCHAR *end, WCHAR *to, int size) {
    while (start < end && IsLayoutSpace(*start))
        start++;
    FieldValue value = {start, (int)(TrimTrailingBlanks(start, end) - start)};
    return CopyFieldValue(&value, to, size);
}

// Checks the text between "[" and "]" and fills the header's four fields.
static const char *ParseHeaderText(const WCHAR *start, const WCHAR *end, SectionHeader *header) {
    if (start == end)
        return "empty header";
    const WCHAR *commas[4];
    int commaCount = 0;
    for (const WCHAR *p = start; p < end; p++) {
        if (*p == ',') {
            if (commaCount == 3)
                return "header has more than four fields";
            commas[commaCount++] = p;
        }
    }
    if (commaCount != 3)
        return "header has fewer than four fields";

    WCHAR number[NUMBER_FIELD_LIMIT + 1];
    if (!CopyHeaderField(start, commas[0], header->name, LAYOUT_NAME_SIZE))
        return "layout name longer than 99 characters";
    if (!CopyHeaderField(commas[0] + 1, commas[1], header->label, LAYOUT_LABEL_SIZE))
        return "label longer than 5 characters";
    if (!CopyHeaderField(commas[1] + 1, commas[2], header->subName, LAYOUT_NAME_SIZE))
        return "sub-keyboard name longer than 99 characters";
    if (!CopyHeaderField(commas[2] + 1, end, number, NUMBER_FIELD_LIMIT + 1))
        return "number longer than 19 characters";
    header->number = ReadNumber(number, lstrlenW(number));
    return NULL;
}

BOOL FindNextHeader(const LayoutText *text, const WCHAR *from, SectionHeader *header) {
    const WCHAR *end = text->end;
    const WCHAR *p = from;
    for (;;) {
        const WCHAR *bracket = FindUnit(p, end, '[');
        if (bracket == end)
            return FALSE;
        p = bracket + 1;

        const WCHAR *textStart = p;
        while (textStart < end && IsLayoutSpace(*textStart))
            textStart++;
        const WCHAR *close = textStart;
        while (close < end && *close != ']' && !IsLineEnd(*close) &&
               close - textStart <= HEADER_TEXT_LIMIT)
            close++;
        if (close == end)
            return FALSE; // no "]" follows at all
        const char *problem = NULL;
        if (IsLineEnd(*close))
            problem = "line break in header";
        else if (close - textStart > HEADER_TEXT_LIMIT)
            problem = "header text too long";
        else
            problem = ParseHeaderText(textStart, close, header);
        if (problem != NULL) {
            ReportDropped(bracket, problem);
            continue;
        }

        const WCHAR *keys = close + 1;
        while (keys < end && IsLayoutSpace(*keys))
            keys++;
        header->bracket = bracket;
        header->keysStart = keys;
        return TRUE;
    }
}
