// Reading layout file text: section headers, key lines and their fields.
#ifndef LAYODEX_LAYOUT_READER_H
#define LAYODEX_LAYOUT_READER_H

#include "layodex.h"

// A layout file's text: from the start to the end of the file or its first NUL.
typedef struct LayoutText {
    const WCHAR *start;
    const WCHAR *end;
    const WCHAR *lastComma; // NULL when the text holds none
    const WCHAR *lastQuote;
} LayoutText;

typedef struct SectionHeader {
    WCHAR name[LAYOUT_NAME_SIZE];
    WCHAR label[LAYOUT_LABEL_SIZE];
    WCHAR subName[LAYOUT_NAME_SIZE];
    INT number;
    const WCHAR *bracket;   // the "[" the header begins with
    const WCHAR *keysStart; // the first key line
} SectionHeader;

typedef struct FieldValue {
    const WCHAR *start;
    int length;
} FieldValue;

// Field limits in characters of the value; a longer value drops its line or header.
#define NUMBER_FIELD_LIMIT 19
#define FLAGS_FIELD_LIMIT 199
#define CODE_FIELD_LIMIT 49
#define TEXT_FIELD_LIMIT 299
#define PICTURE_PATH_LIMIT 259
#define HEADER_TEXT_LIMIT 299

void InitLayoutText(LayoutText *text, const WCHAR *start, size_t length);
// The first c at or after p, or end.
const WCHAR *FindUnit(const WCHAR *p, const WCHAR *end, WCHAR c);

static inline BOOL IsLineEnd(WCHAR c) {
    return c == '\r' || c == '\n';
}

// The same answer as iswspace, without a call for the common printable characters.
static inline BOOL IsLayoutSpace(WCHAR c) {
    if (c > ' ')
        return c >= 0x80 && iswspace(c);
    return c == ' ' || (c >= '\t' && c <= '\r') || iswspace(c);
}

void SkipBlankAndComments(const LayoutText *text, const WCHAR **cursor);
// Fields 1 to 7 need a comma later in the text; the last field may end at a line end or the end.
#define FIELD_NEEDS_COMMA 0
#define FIELD_MAY_END_LINE 1
BOOL ReadField(const LayoutText *text, const WCHAR **cursor, int kind, FieldValue *value);
BOOL CopyFieldValue(const FieldValue *value, WCHAR *to, int size);

// What follows serves every field of every key, and is kept here so that the key reader has it
// inline.

static inline const WCHAR *TrimTrailingBlanks(const WCHAR *start, const WCHAR *end) {
    while (end > start && (end[-1] == ' ' || end[-1] == '\t'))
        end--;
    return end;
}

// An optional sign and digits from p, read as the C library's atol reads them in the 8-bit code
// page: out-of-range values saturate, as they do on Windows, and characters outside ASCII never
// become digits. Where they end.
static inline const WCHAR *ReadSignedDigits(const WCHAR *p, const WCHAR *end, INT *number) {
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
    *number = (INT)(negative ? -magnitude : magnitude);
    return p;
}

// A number as atol reads it, after blanks it skips too.
static inline INT ReadNumber(const WCHAR *start, int length) {
    const WCHAR *p = start;
    const WCHAR *end = start + length;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        p++;
    INT number;
    ReadSignedDigits(p, end, &number);
    return number;
}

// Digits, letters and most signs are above ',', so one comparison passes them.
static inline BOOL IsFieldEnd(WCHAR c) {
    return c <= ',' && (c == ',' || c == '\r' || c == '\n');
}

// From a position, the next valid header; FALSE when the text holds no further header.
BOOL FindNextHeader(const LayoutText *text, const WCHAR *from, SectionHeader *header);
// A key line as read and checked, before any key is made of it; its texts still lie in the
// layout text.
typedef struct KeyLine {
    INT left;
    INT top;
    INT width;
    INT height;
    DWORD flags;
    WORD code;
    DWORD imageIndex;
    FieldValue target;        // MACRO or LAUNCH text, or NEWKEYBD layout name
    FieldValue targetSubName; // NEWKEYBD
    FieldValue picture;       // IMAGE path
} KeyLine;

// Reads one key line from the cursor, which ends where reading stopped; the reason the line
// cannot be a key, or NULL.
const char *ReadKeyLine(const LayoutText *text, const WCHAR **cursor, KeyLine *line);
// Almost every key line is plain: its fields on the one line, without quotes or comments, its
// numbers bare digits. Such a line is read in one pass, with the result ReadKeyLine gives; FALSE
// leaves any other line, and a line with a problem, to ReadKeyLine.
BOOL ReadPlainKeyLine(const LayoutText *text, const WCHAR **cursor, KeyLine *line);
// The key lines of the section that begins at keysStart, in file order, their count, and where
// reading ended; a line that cannot be a key is reported and left out.
KeyLine *ReadSectionLines(const LayoutText *text, const WCHAR *keysStart, const WCHAR **sectionEnd,
                          int *count);
// Keys made from key lines, each with its own texts, request records and pictures.
Element *MakeSectionKeys(const KeyLine *lines, int count);
// The keys of the section that begins at keysStart, in file order, and where reading ended.
Element *ReadSectionKeys(const LayoutText *text, const WCHAR *keysStart, const WCHAR **sectionEnd);

#endif
