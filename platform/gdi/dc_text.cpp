// The DC's font, and runs of text drawn through the DC's origin, colours and background mode.
#include "gdi/dc_text.h"

#include "engine/fills.h"
#include "gdi/colors.h"

ScaledFont &DcFont(DcObject &context) {
    if (context.fontObject) {
        return context.fontObject->Scaled();
    }
    return FindGdiObjectAs<FontObject>(SystemFont())->Scaled();
}

TextRun LayOutRun(ScaledFont &font, const char16_t *text, size_t count) {
    TextRun run;
    run.characters = DecodeUtf16(text, count);
    run.glyphs = LayOut(font, run.characters, run.width);
    return run;
}

void DrawRun(DcObject &context, ScaledFont &font, const TextRun &run, int x, int y,
             const Box &clip) {
    if (!context.surface) {
        return;
    }
    Surface &surface = *context.surface;
    const FontMetrics &metrics = font.Metrics();
    const PixelPoint origin = context.ToSurface(x, y);
    if (context.backgroundMode == OPAQUE) {
        const Box cell{origin.x, origin.y, origin.x + run.width, origin.y + metrics.height};
        FillBox(surface, clip, cell, PixelForSurface(surface, context.backgroundColor));
    }
    DrawGlyphs(surface, clip, run.glyphs, origin.x, origin.y + metrics.ascent,
               PixelForSurface(surface, context.textColor));
}
