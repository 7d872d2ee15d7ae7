// Blits and nearest-neighbour stretches.
#include "engine/blits.h"

#include "engine/raster_ops.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

const uint32_t sourceCopy = 0x00CC0020;

// An axis of a stretch, normalised to a positive start and size.
struct Axis {
    int64_t start = 0;
    int64_t size = 0;
    bool mirrored = false;
};

Axis Normalise(int start, int size) {
    Axis axis{start, size, false};
    if (axis.size < 0) {
        axis.start += axis.size + 1;
        axis.size = -axis.size;
        axis.mirrored = true;
    }
    return axis;
}

// The source index sampled for destination index i (0 <= i < target.size).
int64_t Sample(const Axis &target, const Axis &from, int64_t i) {
    int64_t offset = ((2 * i + 1) * from.size) / (2 * target.size);
    if (target.mirrored != from.mirrored) {
        offset = from.size - 1 - offset;
    }
    return from.start + offset;
}

} // namespace

void Blit(Surface &destination, const Box &clip, const Box &area, const Surface &source,
          int sourceX, int sourceY, uint32_t pattern, uint32_t rop) {
    Box box = Intersect(Intersect(area, clip), destination.Bounds());
    if (box.Empty()) {
        return;
    }
    // Keep only the part whose source pixels exist; 64-bit so that far-off origins cannot
    // overflow.
    const int64_t dx = int64_t(sourceX) - area.left;
    const int64_t dy = int64_t(sourceY) - area.top;
    const Box fromBox{
        static_cast<int>(std::clamp<int64_t>(-dx, INT32_MIN, INT32_MAX)),
        static_cast<int>(std::clamp<int64_t>(-dy, INT32_MIN, INT32_MAX)),
        static_cast<int>(std::clamp<int64_t>(source.width - dx, INT32_MIN, INT32_MAX)),
        static_cast<int>(std::clamp<int64_t>(source.height - dy, INT32_MIN, INT32_MAX))};
    box = Intersect(box, fromBox);
    if (box.Empty()) {
        return;
    }
    // A copy of the source part when it may overlap the destination, so that reads never see
    // pixels this blit has already written.
    std::optional<Surface> copy;
    const Surface *from = &source;
    int64_t fromDx = dx;
    int64_t fromDy = dy;
    if (&source == &destination) {
        const int width = box.right - box.left;
        const int height = box.bottom - box.top;
        copy.emplace(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                copy->At(x, y) = source.At(static_cast<int>(box.left + x + dx),
                                           static_cast<int>(box.top + y + dy));
            }
        }
        from = &*copy;
        fromDx = -box.left;
        fromDy = -box.top;
    }
    for (int y = box.top; y < box.bottom; ++y) {
        const int sy = static_cast<int>(y + fromDy);
        for (int x = box.left; x < box.right; ++x) {
            const uint32_t sourcePixel = from->At(static_cast<int>(x + fromDx), sy);
            uint32_t &pixel = destination.At(x, y);
            pixel = rop == sourceCopy ? sourcePixel : ApplyRop3(rop, pattern, sourcePixel, pixel);
        }
    }
}

void StretchBlit(Surface &destination, const Box &clip, const SignedRect &target,
                 const Surface &source, const SignedRect &from, uint32_t pattern, uint32_t rop) {
    const Axis targetX = Normalise(target.x, target.width);
    const Axis targetY = Normalise(target.y, target.height);
    const Axis fromX = Normalise(from.x, from.width);
    const Axis fromY = Normalise(from.y, from.height);
    if (targetX.size == 0 || targetY.size == 0 || fromX.size == 0 || fromY.size == 0) {
        return;
    }
    const Box bounds = Intersect(clip, destination.Bounds());
    const int64_t left = std::max<int64_t>(targetX.start, bounds.left);
    const int64_t right = std::min<int64_t>(targetX.start + targetX.size, bounds.right);
    const int64_t top = std::max<int64_t>(targetY.start, bounds.top);
    const int64_t bottom = std::min<int64_t>(targetY.start + targetY.size, bounds.bottom);
    if (left >= right || top >= bottom) {
        return;
    }
    // Samples are read from a copy when both are one surface, as in Blit.
    std::optional<Surface> copy;
    const Surface *pixels = &source;
    if (&source == &destination) {
        copy.emplace(source.width, source.height, source.pixels);
        pixels = &*copy;
    }
    for (int64_t y = top; y < bottom; ++y) {
        const int64_t sy = Sample(targetY, fromY, y - targetY.start);
        if (sy < 0 || sy >= pixels->height) {
            continue;
        }
        for (int64_t x = left; x < right; ++x) {
            const int64_t sx = Sample(targetX, fromX, x - targetX.start);
            if (sx < 0 || sx >= pixels->width) {
                continue;
            }
            const uint32_t sourcePixel = pixels->At(static_cast<int>(sx), static_cast<int>(sy));
            uint32_t &pixel = destination.At(static_cast<int>(x), static_cast<int>(y));
            pixel = rop == sourceCopy ? sourcePixel & 0x00FFFFFF
                                      : ApplyRop3(rop, pattern, sourcePixel, pixel);
        }
    }
}
