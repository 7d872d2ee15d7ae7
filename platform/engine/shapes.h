// Filled and outlined shapes.
#ifndef PLATFORM_ENGINE_SHAPES_H
#define PLATFORM_ENGINE_SHAPES_H

#include "engine/lines.h"

#include <optional>

// A rectangle as GDI's Rectangle draws it: rect's right and bottom edges are excluded. The pen
// frames the outermost pixels (centred on them when wider than 1), the brush fills what is inside
// the frame; without a pen the brush fills rect less its last column and row, as GDI does. Both
// go through the binary raster mode. Swapped edges are put in order; an empty rect draws nothing.
void DrawRectangle(Surface &surface, const Box &clip, Box rect, const std::optional<Pen> &pen,
                   std::optional<uint32_t> brush, int mode);

#endif
