// Scaled fonts: metrics in whole pixels and 1-bit glyphs from FreeType's monochrome renderer.
#include "engine/scaled_fonts.h"

#include "engine/font_faces.h"

#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>

struct ScaledFont::Face {
    FT_Face face = nullptr;
    FT_Size size = nullptr;
    // The face lacks the asked-for style, which is then made up: slanted or thickened outlines.
    bool slant = false;
    FT_Pos embolden = 0; // 26.6 pixels
};

namespace {

// The design ascent and descent (font units) Windows sizes TrueType fonts by: the OS/2 table's
// clipping heights, or the horizontal header's when it has none.
std::pair<long, long> DesignHeights(FT_Face face) {
    const auto *os2 = static_cast<const TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
        return {os2->usWinAscent, os2->usWinDescent};
    }
    return {face->ascender, -face->descender};
}

int Scale(long units, int pixels, long unitsPerEm) {
    return static_cast<int>(std::lround(double(units) * pixels / double(unitsPerEm)));
}

int EmPixels(const FontRequest &request, long designHeight, long unitsPerEm) {
    int64_t pixels = defaultFontPixels;
    if (request.height < 0) {
        pixels = -int64_t(request.height);
    } else if (request.height > 0) {
        pixels = std::llround(double(request.height) * double(unitsPerEm) / double(designHeight));
    }
    return static_cast<int>(std::clamp<int64_t>(pixels, 1, maxFontPixels));
}

void CopyInk(const FT_Bitmap &bitmap, Glyph &glyph) {
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.ink.assign(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height), 0);
    const int pitch = std::abs(bitmap.pitch);
    for (int y = 0; y < glyph.height; ++y) {
        const int row = bitmap.pitch >= 0 ? y : glyph.height - 1 - y;
        const unsigned char *bits = bitmap.buffer + static_cast<ptrdiff_t>(row) * pitch;
        for (int x = 0; x < glyph.width; ++x) {
            const bool set = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                 ? (bits[x / 8] & (0x80 >> (x % 8))) != 0
                                 : bits[x] >= 128;
            glyph.ink[static_cast<size_t>(y) * static_cast<size_t>(glyph.width) +
                      static_cast<size_t>(x)] = set ? 1 : 0;
        }
    }
}

// Renders one glyph of the active size; an empty glyph when FreeType fails.
Glyph Render(const ScaledFont::Face &face, char32_t character) {
    Glyph glyph;
    FT_Activate_Size(face.size);
    // About 12 degrees, as synthesized italics lean.
    FT_Matrix slant{0x10000, 0x3800, 0, 0x10000};
    FT_Set_Transform(face.face, face.slant ? &slant : nullptr, nullptr);
    const FT_UInt index = FT_Get_Char_Index(face.face, character);
    if (FT_Load_Glyph(face.face, index, FT_LOAD_TARGET_MONO) != 0) {
        return glyph;
    }
    FT_GlyphSlot slot = face.face->glyph;
    FT_Pos advance = slot->advance.x;
    if (face.embolden > 0 && slot->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline_EmboldenXY(&slot->outline, face.embolden, 0);
        advance += face.embolden;
    }
    glyph.advance = static_cast<int>((advance + 32) >> 6);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) {
        return glyph;
    }
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    CopyInk(slot->bitmap, glyph);
    return glyph;
}

} // namespace

ScaledFont::ScaledFont(const FontRequest &request) : face_(std::make_unique<Face>()) {
    metrics_.italic = request.italic;
    FT_Face face = OpenFace(ResolveFace(request.family, request.bold, request.italic));
    if (face == nullptr || !FT_IS_SCALABLE(face) || face->units_per_EM == 0 ||
        FT_New_Size(face, &face_->size) != 0) {
        // Without a font, text still measures and draws as nothing, at a plausible height.
        const int pixels = EmPixels(request, 1, 1);
        metrics_.ascent = pixels - pixels / 5;
        metrics_.descent = pixels / 5;
        metrics_.height = pixels;
        metrics_.bold = request.bold;
        return;
    }
    face_->face = face;
    const auto [ascent, descent] = DesignHeights(face);
    const long unitsPerEm = face->units_per_EM;
    const int pixels = EmPixels(request, ascent + descent, unitsPerEm);
    FT_Activate_Size(face_->size);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels));
    face_->slant = request.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
    const bool faceBold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    if (request.bold && !faceBold) {
        face_->embolden = std::max<FT_Pos>(64, pixels * 64 / 24);
    }
    metrics_.bold = request.bold;
    metrics_.ascent = Scale(ascent, pixels, unitsPerEm);
    metrics_.descent = Scale(descent, pixels, unitsPerEm);
    metrics_.height = metrics_.ascent + metrics_.descent;
    metrics_.internalLeading = std::max(0, metrics_.height - pixels);
    metrics_.maxWidth =
        static_cast<int>(std::ceil(double(face->max_advance_width) * pixels / double(unitsPerEm))) +
        static_cast<int>((face_->embolden + 63) >> 6);
    // Windows takes the width of "x" as the average for TrueType faces.
    metrics_.averageWidth = Render(*face_, U'x').advance;
}

ScaledFont::~ScaledFont() {
    if (face_->size != nullptr) {
        FT_Done_Size(face_->size);
    }
}

const Glyph &ScaledFont::GlyphFor(char32_t character) {
    const auto found = glyphs_.find(character);
    if (found != glyphs_.end()) {
        return found->second;
    }
    Glyph glyph = face_->face != nullptr ? Render(*face_, character) : Glyph{};
    return glyphs_.emplace(character, std::move(glyph)).first->second;
}

std::shared_ptr<ScaledFont> OpenScaledFont(const FontRequest &request) {
    struct Recent {
        std::vector<std::pair<FontRequest, std::shared_ptr<ScaledFont>>> fonts; // newest first
    };
    const size_t keep = 16;
    // Never destroyed: fonts may still be released while the process exits.
    static Recent *recent = new Recent;
    auto &fonts = recent->fonts;
    const auto found = std::find_if(fonts.begin(), fonts.end(),
                                    [&](const auto &entry) { return entry.first == request; });
    std::shared_ptr<ScaledFont> font;
    if (found != fonts.end()) {
        font = found->second;
        fonts.erase(found);
    } else {
        font = std::make_shared<ScaledFont>(request);
    }
    fonts.insert(fonts.begin(), {request, font});
    if (fonts.size() > keep) {
        fonts.pop_back();
    }
    return font;
}
