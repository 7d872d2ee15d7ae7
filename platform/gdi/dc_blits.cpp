// BitBlt and StretchBlt between device contexts, translating between monochrome and colour
// surfaces as GDI does.
#include "gdi/colors.h"
#include "gdi/dc_drawing.h"

#include "engine/blits.h"
#include "engine/raster_ops.h"

#include <algorithm>
#include <optional>

namespace {

// The source as the destination sees it. From monochrome to colour, black becomes the
// destination's text colour and white its background colour; from colour to monochrome, the
// source's background colour becomes white and everything else black.
const Surface &Translated(const DcObject &destination, const DcObject &source,
                          std::optional<Surface> &storage) {
    const Surface &from = *source.surface;
    const Surface &to = *destination.surface;
    if (from.monochrome == to.monochrome) {
        return from;
    }
    storage.emplace(from.width, from.height);
    if (from.monochrome) {
        const uint32_t foreground = PixelFromColor(destination.textColor);
        const uint32_t background = PixelFromColor(destination.backgroundColor);
        std::transform(
            from.pixels.begin(), from.pixels.end(), storage->pixels.begin(),
            [&](uint32_t pixel) { return pixel == blackPixel ? foreground : background; });
    } else {
        const uint32_t background = PixelFromColor(source.backgroundColor);
        std::transform(
            from.pixels.begin(), from.pixels.end(), storage->pixels.begin(),
            [&](uint32_t pixel) { return pixel == background ? whitePixel : blackPixel; });
    }
    return *storage;
}

struct BlitParties {
    std::shared_ptr<DcObject> destination;
    std::shared_ptr<DcObject> source; // null when the operation needs none
    std::optional<uint32_t> pattern;
    bool valid = false;
    bool drawable = false;
};

BlitParties Find(HDC dc, HDC source, DWORD rop) {
    BlitParties parties;
    parties.destination = FindDc(dc);
    if (!parties.destination) {
        return parties;
    }
    if (Rop3UsesSource(rop)) {
        parties.source = FindDc(source);
        if (!parties.source) {
            return parties;
        }
    }
    parties.valid = true;
    parties.pattern = BrushPixel(*parties.destination, parties.destination->brushObject.get());
    parties.drawable = parties.destination->surface &&
                       (!parties.source || parties.source->surface) &&
                       (parties.pattern || !Rop3UsesPattern(rop));
    return parties;
}

} // namespace

extern "C" BOOL WINAPI BitBlt(HDC dc, int x, int y, int width, int height, HDC source, int sourceX,
                              int sourceY, DWORD rop) {
    const BlitParties parties = Find(dc, source, rop);
    if (!parties.valid) {
        return FALSE;
    }
    if (!parties.drawable || width <= 0 || height <= 0) {
        return TRUE;
    }
    const DcObject &to = *parties.destination;
    const int64_t right = std::min<int64_t>(int64_t(x) + width, INT_MAX);
    const int64_t bottom = std::min<int64_t>(int64_t(y) + height, INT_MAX);
    const Box area = SurfaceBox(to, x, y, static_cast<int>(right), static_cast<int>(bottom));
    const uint32_t pattern = parties.pattern.value_or(0);
    if (!parties.source) {
        // Blit needs a source even when the operation ignores it; the destination serves.
        for (const Box &clip : to.ClipBoxes()) {
            Blit(*to.surface, clip, area, *to.surface, area.left, area.top, pattern, rop);
        }
        return TRUE;
    }
    const DcObject &from = *parties.source;
    // Only the source DC's own part of its surface may be read.
    const PixelPoint start = from.ToSurface(sourceX, sourceY);
    std::optional<Surface> storage;
    const Surface &pixels = Translated(to, from, storage);
    const Box readable = from.Clip();
    const auto shift = [](int value, int64_t by) {
        return static_cast<int>(std::clamp<int64_t>(value + by, INT_MIN, INT_MAX));
    };
    const Box sourceArea{start.x, start.y, shift(start.x, int64_t(area.right) - area.left),
                         shift(start.y, int64_t(area.bottom) - area.top)};
    const Box allowed = Intersect(sourceArea, readable);
    if (allowed.Empty()) {
        return TRUE;
    }
    const int64_t dx = int64_t(area.left) - start.x;
    const int64_t dy = int64_t(area.top) - start.y;
    const Box reached{shift(allowed.left, dx), shift(allowed.top, dy), shift(allowed.right, dx),
                      shift(allowed.bottom, dy)};
    const std::vector<Box> clips = to.ClipBoxes();
    // Within one surface, a later piece must not read what an earlier one has written.
    const Surface &read =
        clips.size() > 1 && &pixels == to.surface.get() ? storage.emplace(pixels) : pixels;
    for (const Box &clip : clips) {
        Blit(*to.surface, Intersect(clip, reached), area, read, start.x, start.y, pattern, rop);
    }
    return TRUE;
}

extern "C" BOOL WINAPI StretchBlt(HDC dc, int x, int y, int width, int height, HDC source,
                                  int sourceX, int sourceY, int sourceWidth, int sourceHeight,
                                  DWORD rop) {
    const BlitParties parties = Find(dc, source, rop);
    if (!parties.valid) {
        return FALSE;
    }
    if (!parties.drawable || width == 0 || height == 0) {
        return TRUE;
    }
    const DcObject &to = *parties.destination;
    const PixelPoint origin = to.ToSurface(x, y);
    const SignedRect target{origin.x, origin.y, width, height};
    const uint32_t pattern = parties.pattern.value_or(0);
    if (!parties.source) {
        for (const Box &clip : to.ClipBoxes()) {
            StretchBlit(*to.surface, clip, target, *to.surface, target, pattern, rop);
        }
        return TRUE;
    }
    if (sourceWidth == 0 || sourceHeight == 0) {
        return TRUE;
    }
    const DcObject &from = *parties.source;
    const PixelPoint start = from.ToSurface(sourceX, sourceY);
    std::optional<Surface> storage;
    const Surface &pixels = Translated(to, from, storage);
    const std::vector<Box> clips = to.ClipBoxes();
    const Surface &read =
        clips.size() > 1 && &pixels == to.surface.get() ? storage.emplace(pixels) : pixels;
    for (const Box &clip : clips) {
        StretchBlit(*to.surface, clip, target, read,
                    SignedRect{start.x, start.y, sourceWidth, sourceHeight}, pattern, rop);
    }
    return TRUE;
}
