// Runs of text: UTF-16 decoded into characters, laid out with a scaled font and drawn as 1-bit
// glyphs in one colour.
#ifndef PLATFORM_ENGINE_TEXT_H
#define PLATFORM_ENGINE_TEXT_H

#include "engine/scaled_fonts.h"
#include "engine/surface.h"

#include <cstddef>
#include <vector>

// One character of a UTF-16 string: a surrogate pair is one character of two units, and an
// unpaired surrogate stands for U+FFFD.
struct TextCharacter {
    char32_t code = 0;
    size_t firstUnit = 0;
    size_t units = 1;
};

std::vector<TextCharacter> DecodeUtf16(const char16_t *text, size_t count);

// A glyph placed at x pixels along the baseline from the start of the run.
struct PlacedGlyph {
    const Glyph *glyph = nullptr;
    int x = 0;
};

// The glyphs of characters one after the other at their own advances; width receives where the
// run ends.
std::vector<PlacedGlyph> LayOut(ScaledFont &font, const std::vector<TextCharacter> &characters,
                                int &width);

// Draws the ink of glyphs with the run starting at x and its baseline at y, touching only pixels
// inside clip and the surface.
void DrawGlyphs(Surface &surface, const Box &clip, const std::vector<PlacedGlyph> &glyphs, int x,
                int y, uint32_t color);

#endif
