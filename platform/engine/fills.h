// Filling boxes of a surface. Every function draws only inside both clip and the surface.
#ifndef PLATFORM_ENGINE_FILLS_H
#define PLATFORM_ENGINE_FILLS_H

#include "engine/surface.h"

// Sets every pixel of area to color.
void FillBox(Surface &surface, const Box &clip, const Box &area, uint32_t color);

// Combines color with every pixel of area through a binary raster mode (R2_*).
void FillBoxRop2(Surface &surface, const Box &clip, const Box &area, uint32_t color, int mode);

// Combines a solid pattern with every pixel of area through a ternary raster operation that
// needs no source (PATCOPY, DSTINVERT, BLACKNESS, ...).
void PatternFill(Surface &surface, const Box &clip, const Box &area, uint32_t pattern,
                 uint32_t rop);

#endif
