// ExtTextOut, text extents and text metrics.
#include "gdi/dc_text.h"

#include "engine/fills.h"
#include "gdi/colors.h"
#include "gdi/dc_drawing.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// The DC behind dc when text and count make a valid string, else null with the error set.
std::shared_ptr<DcObject> TextDc(HDC dc, const WCHAR *text, int64_t count) {
    std::shared_ptr<DcObject> context = FindDc(dc);
    if (context && (count < 0 || (count > 0 && text == nullptr))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return context;
}

// Moves the glyphs of run to the advances a caller gave for each UTF-16 unit.
void ApplyAdvances(TextRun &run, const INT *dx) {
    int64_t x = 0;
    for (size_t i = 0; i < run.characters.size(); ++i) {
        run.glyphs[i].x = static_cast<int>(x);
        const TextCharacter &character = run.characters[i];
        for (size_t unit = 0; unit < character.units; ++unit) {
            x = std::clamp<int64_t>(x + dx[character.firstUnit + unit], -INT32_MAX / 4,
                                    INT32_MAX / 4);
        }
    }
    run.width = static_cast<int>(std::max<int64_t>(x, 0));
}

} // namespace

extern "C" BOOL WINAPI ExtTextOutW(HDC dc, int x, int y, UINT options, const RECT *rect,
                                   LPCWSTR text, UINT count, const INT *dx) {
    // A count past INT_MAX is a -1 passed as UINT, and refused.
    const std::shared_ptr<DcObject> context = TextDc(dc, text, static_cast<int>(count));
    if (!context) {
        return FALSE;
    }
    if (!context->surface) {
        return TRUE;
    }
    std::vector<Box> clips = context->ClipBoxes();
    if (rect != nullptr) {
        const Box box = SurfaceBox(*context, rect->left, rect->top, rect->right, rect->bottom);
        if (options & ETO_OPAQUE) {
            for (const Box &clip : clips) {
                FillBox(*context->surface, clip, box,
                        PixelForSurface(*context->surface, context->backgroundColor));
            }
        }
        if (options & ETO_CLIPPED) {
            for (Box &clip : clips) {
                clip = Intersect(clip, box);
            }
        }
    }
    ScaledFont &font = DcFont(*context);
    TextRun run = LayOutRun(font, text, count);
    if (dx != nullptr) {
        ApplyAdvances(run, dx);
    }
    for (const Box &clip : clips) {
        DrawRun(*context, font, run, x, y, clip);
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentExPointW(HDC dc, LPCWSTR text, int count, int maxExtent,
                                             LPINT fit, LPINT partialWidths, LPSIZE size) {
    const std::shared_ptr<DcObject> context = TextDc(dc, text, count);
    if (!context) {
        return FALSE;
    }
    ScaledFont &font = DcFont(*context);
    const TextRun run = LayOutRun(font, text, static_cast<size_t>(count));
    // Units that fit, counted up to the first character that does not; both units of a
    // surrogate pair share its extent. A negative maximum fits nothing.
    int fitting = 0;
    bool full = false;
    for (size_t i = 0; i < run.characters.size(); ++i) {
        const TextCharacter &character = run.characters[i];
        const int end = run.glyphs[i].x + run.glyphs[i].glyph->advance;
        if (end > maxExtent) {
            full = true;
        }
        if (!full) {
            fitting += static_cast<int>(character.units);
        }
        if (partialWidths != nullptr) {
            for (size_t unit = 0; unit < character.units; ++unit) {
                partialWidths[character.firstUnit + unit] = end;
            }
        }
    }
    if (fit != nullptr) {
        *fit = fitting;
    }
    if (size != nullptr) {
        size->cx = run.width;
        size->cy = font.Metrics().height;
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetTextExtentPoint32W(HDC dc, LPCWSTR text, int count, LPSIZE size) {
    if (size == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return GetTextExtentExPointW(dc, text, count, 0, nullptr, nullptr, size);
}

extern "C" BOOL WINAPI GetTextMetricsW(HDC dc, LPTEXTMETRICW metrics) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (metrics == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const FontMetrics &scaled = DcFont(*context).Metrics();
    TEXTMETRICW out;
    std::memset(&out, 0, sizeof(out));
    out.tmHeight = scaled.height;
    out.tmAscent = scaled.ascent;
    out.tmDescent = scaled.descent;
    out.tmInternalLeading = scaled.internalLeading;
    out.tmAveCharWidth = scaled.averageWidth;
    out.tmMaxCharWidth = scaled.maxWidth;
    out.tmWeight = scaled.bold ? FW_BOLD : FW_NORMAL;
    out.tmDigitizedAspectX = 96;
    out.tmDigitizedAspectY = 96;
    out.tmFirstChar = 0x20;
    out.tmLastChar = 0xFFFC;
    out.tmDefaultChar = 0x1F;
    out.tmBreakChar = 0x20;
    out.tmItalic = scaled.italic ? 1 : 0;
    // As Windows says of proportional TrueType fonts, the pitch bit set means variable pitch.
    out.tmPitchAndFamily = TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS;
    out.tmCharSet = DEFAULT_CHARSET;
    *metrics = out;
    return TRUE;
}
