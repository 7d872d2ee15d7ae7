// Rectangles.
#include "engine/shapes.h"

#include "engine/fills.h"

#include <utility>

void DrawRectangle(Surface &surface, const Box &clip, Box rect, const std::optional<Pen> &pen,
                   std::optional<uint32_t> brush, int mode) {
    if (rect.right < rect.left) {
        std::swap(rect.left, rect.right);
    }
    if (rect.bottom < rect.top) {
        std::swap(rect.top, rect.bottom);
    }
    if (rect.Empty()) {
        return;
    }
    if (brush) {
        const int inset = pen ? 1 : 0;
        const Box inside{rect.left + inset, rect.top + inset, rect.right - 1, rect.bottom - 1};
        FillBoxRop2(surface, clip, inside, *brush, mode);
    }
    if (pen && rect.right - rect.left == 1 && rect.bottom - rect.top == 1) {
        // The frame's path has no length here; its one pixel is still the frame.
        FillBoxRop2(surface, clip, rect, pen->color, mode);
    } else if (pen) {
        const int right = rect.right - 1;
        const int bottom = rect.bottom - 1;
        DrawPolyline(surface, clip,
                     {{rect.left, rect.top},
                      {right, rect.top},
                      {right, bottom},
                      {rect.left, bottom},
                      {rect.left, rect.top}},
                     *pen, mode);
    }
}
