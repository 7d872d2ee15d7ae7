// Copying pixels between surfaces through ternary raster operations.
#ifndef PLATFORM_ENGINE_BLITS_H
#define PLATFORM_ENGINE_BLITS_H

#include "engine/surface.h"

// Combines the source pixels starting at (sourceX, sourceY) with the destination pixels of area,
// through rop with a solid pattern. Only pixels inside clip, the destination and the source are
// touched. Source and destination may be the same surface, overlapping or not.
void Blit(Surface &destination, const Box &clip, const Box &area, const Surface &source,
          int sourceX, int sourceY, uint32_t pattern, uint32_t rop);

// A rectangle given by its origin and a size that may be negative, which mirrors it. A negative
// size runs back from the origin, the origin included: (x = 9, width = -10) covers 0 to 9, so
// that StretchBlt(dc, width - 1, 0, -width, ...) mirrors in place as on Windows.
struct SignedRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Stretches (or shrinks) the source rectangle onto the destination rectangle by nearest
// neighbour, sampling each source pixel at the centre of the destination pixel. Sizes of opposite
// sign mirror the picture on that axis. Destination pixels whose sample falls outside the source
// are left alone.
void StretchBlit(Surface &destination, const Box &clip, const SignedRect &target,
                 const Surface &source, const SignedRect &from, uint32_t pattern, uint32_t rop);

#endif
