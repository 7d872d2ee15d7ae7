// Pens, brushes and rectangles as the engine takes them.
#include "gdi/dc_drawing.h"

#include "gdi/colors.h"

#include <utility>

std::optional<Pen> DcPen(const DcObject &context) {
    if (!context.surface || !context.penObject || context.penObject->style == PS_NULL) {
        return std::nullopt;
    }
    return Pen{PixelForSurface(*context.surface, context.penObject->color),
               context.penObject->width};
}

std::optional<uint32_t> BrushPixel(const DcObject &context, const BrushObject *brush) {
    if (!context.surface || brush == nullptr || brush->style == BS_NULL) {
        return std::nullopt;
    }
    return PixelForSurface(*context.surface, brush->color);
}

Box SurfaceBox(const DcObject &context, int left, int top, int right, int bottom) {
    if (right < left) {
        std::swap(left, right);
    }
    if (bottom < top) {
        std::swap(top, bottom);
    }
    const PixelPoint topLeft = context.ToSurface(left, top);
    const PixelPoint bottomRight = context.ToSurface(right, bottom);
    return Box{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}
