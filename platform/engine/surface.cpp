// Surfaces and clipping boxes.
#include "engine/surface.h"

#include <algorithm>

Box Intersect(const Box &a, const Box &b) {
    Box result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    if (result.Empty()) {
        return Box{};
    }
    return result;
}

Surface::Surface(int surfaceWidth, int surfaceHeight, uint32_t fill)
    : width(surfaceWidth), height(surfaceHeight),
      pixels(static_cast<size_t>(surfaceWidth) * static_cast<size_t>(surfaceHeight), fill) {}

bool SurfaceSizeAllowed(int width, int height) {
    return width >= 1 && height >= 1 && width <= maxSurfaceSide && height <= maxSurfaceSide &&
           int64_t(width) * height <= maxSurfacePixels;
}
