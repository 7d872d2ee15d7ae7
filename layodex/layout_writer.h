// Writing layouts as layout file text, into a buffer of fixed capacity.
#ifndef LAYODEX_LAYOUT_WRITER_H
#define LAYODEX_LAYOUT_WRITER_H

#include "layodex.h"

// What a layout file or a caller's buffer can hold: 2,500,000 bytes.
#define LAYOUT_TEXT_CAPACITY 1250000

typedef struct TextWriter {
    WCHAR *position;
    WCHAR *limit; // first unit that may not be written
    BOOL overflow;
} TextWriter;

void WriteLayoutSection(TextWriter *writer, const KeyboardLayout *layout);
void WriteLineEnd(TextWriter *writer);

#endif
