// Lines and polylines drawn with a pen of any width through a binary raster mode.
//
// A pen of width 1 draws the Bresenham line from the first point up to, not including, the last
// one, as LineTo does. A wider pen stamps a width x width square centred on every point of that
// line, the last point included, so that its ends are square caps. Every pixel a call covers is
// combined once, even where segments or squares overlap, so R2_NOT and R2_XORPEN give the same
// picture as R2_COPYPEN's shape.
#ifndef PLATFORM_ENGINE_LINES_H
#define PLATFORM_ENGINE_LINES_H

#include "engine/surface.h"

#include <vector>

struct PixelPoint {
    int x = 0;
    int y = 0;
};

struct Pen {
    uint32_t color = 0;
    int width = 1;
};

// The widest pen drawn; wider ones are drawn at this width.
const int maxPenWidth = 1024;

// Draws the connected segments through points (a single point draws nothing with a thin pen).
void DrawPolyline(Surface &surface, const Box &clip, const std::vector<PixelPoint> &points,
                  const Pen &pen, int mode);

#endif
