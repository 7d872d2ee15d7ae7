// Surfaces: the 32-bit pixel grids every drawing lands in, and the boxes that clip it. A bitmap is
// a surface; so is the screen, with a flag. Pixels are 0x00RRGGBB, rows top-down, no padding.
#ifndef PLATFORM_ENGINE_SURFACE_H
#define PLATFORM_ENGINE_SURFACE_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A rectangle of pixels, right and bottom excluded, as RECT is.
struct Box {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const {
        return right <= left || bottom <= top;
    }
    bool Contains(int x, int y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
};

Box Intersect(const Box &a, const Box &b);

// The largest side and pixel count a surface may have; larger requests fail instead of
// exhausting memory.
const int maxSurfaceSide = 16384;
const int64_t maxSurfacePixels = int64_t(4096) * 4096;

struct Surface {
    Surface() = default;
    Surface(int surfaceWidth, int surfaceHeight, uint32_t fill = 0);
    Surface(int surfaceWidth, int surfaceHeight, std::vector<uint32_t> surfacePixels)
        : width(surfaceWidth), height(surfaceHeight), pixels(std::move(surfacePixels)) {}
    Surface(const Surface &) = default;
    Surface(Surface &&) = default;
    Surface &operator=(const Surface &) = default;
    Surface &operator=(Surface &&) = default;
    virtual ~Surface() = default;

    Box Bounds() const {
        return Box{0, 0, width, height};
    }
    uint32_t &At(int x, int y) {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
    uint32_t At(int x, int y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }

    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    // The device's framebuffer rather than a bitmap.
    bool screen = false;
    // Holds only black and white: colours written to it are matched to one of the two, and blits
    // to and from colour surfaces translate through the device context's colours.
    bool monochrome = false;
};

// Whether a surface of that size may be made: sides from 1 to maxSurfaceSide and no more than
// maxSurfacePixels in all.
bool SurfaceSizeAllowed(int width, int height);

#endif
