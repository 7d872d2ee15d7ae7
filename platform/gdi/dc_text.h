// What the text calls share: the DC's font, and a run of text laid out and drawn at a DC point.
#ifndef PLATFORM_GDI_DC_TEXT_H
#define PLATFORM_GDI_DC_TEXT_H

#include "engine/text.h"
#include "gdi/device_contexts.h"

#include <vector>

// The scaled font of the DC's selected font, or of the system font when a DC has none selected.
ScaledFont &DcFont(DcObject &context);

struct TextRun {
    std::vector<TextCharacter> characters;
    std::vector<PlacedGlyph> glyphs;
    int width = 0;
};

TextRun LayOutRun(ScaledFont &font, const char16_t *text, size_t count);

// Draws run with the top left of its cell at (x, y) in logical units, inside clip (surface
// coordinates): the cell first in the background colour when the DC's background mode is
// OPAQUE, then the ink in the text colour.
void DrawRun(DcObject &context, ScaledFont &font, const TextRun &run, int x, int y,
             const Box &clip);

#endif
