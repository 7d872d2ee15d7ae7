// Decoding, laying out and drawing runs of text.
#include "engine/text.h"

#include <algorithm>
#include <cstdint>

std::vector<TextCharacter> DecodeUtf16(const char16_t *text, size_t count) {
    std::vector<TextCharacter> characters;
    characters.reserve(count);
    for (size_t i = 0; i < count;) {
        const char16_t unit = text[i];
        TextCharacter character{unit, i, 1};
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            character.code = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            character.units = 2;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            character.code = 0xFFFD;
        }
        characters.push_back(character);
        i += character.units;
    }
    return characters;
}

std::vector<PlacedGlyph> LayOut(ScaledFont &font, const std::vector<TextCharacter> &characters,
                                int &width) {
    std::vector<PlacedGlyph> glyphs;
    glyphs.reserve(characters.size());
    int64_t x = 0;
    for (const TextCharacter &character : characters) {
        const Glyph &glyph = font.GlyphFor(character.code);
        glyphs.push_back(PlacedGlyph{&glyph, static_cast<int>(x)});
        // Kept within int however long the run is.
        x = std::min<int64_t>(x + glyph.advance, INT32_MAX / 4);
    }
    width = static_cast<int>(x);
    return glyphs;
}

void DrawGlyphs(Surface &surface, const Box &clip, const std::vector<PlacedGlyph> &glyphs, int x,
                int y, uint32_t color) {
    const Box limit = Intersect(clip, surface.Bounds());
    if (limit.Empty()) {
        return;
    }
    for (const PlacedGlyph &placed : glyphs) {
        const Glyph &glyph = *placed.glyph;
        // 64-bit until clipped, since positions near the edges of int may add up past them.
        const int64_t left = int64_t(x) + placed.x + glyph.left;
        const int64_t top = int64_t(y) - glyph.top;
        const int64_t fromX = std::max<int64_t>(limit.left, left);
        const int64_t toX = std::min<int64_t>(limit.right, left + glyph.width);
        const int64_t fromY = std::max<int64_t>(limit.top, top);
        const int64_t toY = std::min<int64_t>(limit.bottom, top + glyph.height);
        for (int64_t row = fromY; row < toY; ++row) {
            const uint8_t *ink = glyph.ink.data() + (row - top) * glyph.width;
            for (int64_t column = fromX; column < toX; ++column) {
                if (ink[column - left] != 0) {
                    surface.At(static_cast<int>(column), static_cast<int>(row)) = color;
                }
            }
        }
    }
}
