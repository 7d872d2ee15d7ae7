// What drawing calls share: a DC's pen and brush as the engine takes them, and rectangles turned
// into surface boxes.
#ifndef PLATFORM_GDI_DC_DRAWING_H
#define PLATFORM_GDI_DC_DRAWING_H

#include "engine/lines.h"
#include "gdi/device_contexts.h"

#include <optional>

// The DC's pen, or nothing for a null pen (or a DC without a surface).
std::optional<Pen> DcPen(const DcObject &context);

// The colour of a solid brush as it lands on the DC's surface, or nothing for a null brush.
std::optional<uint32_t> BrushPixel(const DcObject &context, const BrushObject *brush);

// The box a logical rectangle covers on the DC's surface, edges put in order.
Box SurfaceBox(const DcObject &context, int left, int top, int right, int bottom);

#endif
