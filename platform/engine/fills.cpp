// Box fills.
#include "engine/fills.h"

#include "engine/raster_ops.h"

#include <algorithm>

namespace {

template <typename Combine>
void ForEachPixel(Surface &surface, const Box &clip, const Box &area, Combine combine) {
    const Box box = Intersect(Intersect(area, clip), surface.Bounds());
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            uint32_t &pixel = surface.At(x, y);
            pixel = combine(pixel);
        }
    }
}

} // namespace

void FillBox(Surface &surface, const Box &clip, const Box &area, uint32_t color) {
    const Box box = Intersect(Intersect(area, clip), surface.Bounds());
    for (int y = box.top; y < box.bottom; ++y) {
        uint32_t *row = &surface.At(box.left, y);
        std::fill(row, row + (box.right - box.left), color);
    }
}

void FillBoxRop2(Surface &surface, const Box &clip, const Box &area, uint32_t color, int mode) {
    ForEachPixel(surface, clip, area,
                 [&](uint32_t pixel) { return ApplyRop2(mode, color, pixel); });
}

void PatternFill(Surface &surface, const Box &clip, const Box &area, uint32_t pattern,
                 uint32_t rop) {
    // Erasing and painting the brush alone are most of what windows draw: where the old pixels
    // do not matter, one colour fills the box.
    if (!Rop3UsesDestination(rop)) {
        FillBox(surface, clip, area, ApplyRop3(rop, pattern, 0, 0));
        return;
    }
    ForEachPixel(surface, clip, area,
                 [&](uint32_t pixel) { return ApplyRop3(rop, pattern, 0, pixel); });
}
