// A face at one size, rendered as plain 1-bit glyphs (no anti-aliasing, as on a Windows CE device
// of the time), with its metrics and a cache of the glyphs drawn so far.
#ifndef PLATFORM_ENGINE_SCALED_FONTS_H
#define PLATFORM_ENGINE_SCALED_FONTS_H

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// What a font asks for. height follows LOGFONT: negative is the character (em) height in pixels,
// positive the cell height (ascent plus descent), 0 the default.
struct FontRequest {
    std::string family; // UTF-8
    int height = 0;
    bool bold = false;
    bool italic = false;

    bool operator==(const FontRequest &) const = default;
};

// The largest em height drawn, in pixels; larger requests draw at this size.
const int maxFontPixels = 512;
// The em height of a request with height 0.
const int defaultFontPixels = 11;

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0; // ascent + descent
    int internalLeading = 0;
    int averageWidth = 0;
    int maxWidth = 0;
    bool bold = false;
    bool italic = false;
};

// One rendered character: ink is width x height bytes, 1 where the glyph covers the pixel. left
// and top place the ink relative to the pen position on the baseline (top counts upwards).
struct Glyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;
};

class ScaledFont {
  public:
    explicit ScaledFont(const FontRequest &request);
    ~ScaledFont();
    ScaledFont(const ScaledFont &) = delete;
    ScaledFont &operator=(const ScaledFont &) = delete;

    const FontMetrics &Metrics() const {
        return metrics_;
    }
    // The glyph for a character, rendered on first use and kept as long as the font. Missing
    // characters get the face's default glyph; without any face every glyph is empty.
    const Glyph &GlyphFor(char32_t character);

    // The FreeType side, kept out of this header.
    struct Face;

  private:
    std::unique_ptr<Face> face_;
    FontMetrics metrics_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

// The scaled font for a request. The most recently used ones are kept, so that fonts created
// and deleted for every paint still find their glyphs drawn.
std::shared_ptr<ScaledFont> OpenScaledFont(const FontRequest &request);

#endif
