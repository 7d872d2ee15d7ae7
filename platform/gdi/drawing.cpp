// Lines, rectangles, fills and single pixels on a device context.
#include "gdi/colors.h"
#include "gdi/dc_drawing.h"

#include "engine/fills.h"
#include "engine/raster_ops.h"
#include "engine/shapes.h"

#include <algorithm>
#include <vector>

namespace {

// FillRect also takes a system colour index plus one in place of a brush.
std::shared_ptr<BrushObject> FindBrush(HBRUSH brush) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(brush);
    if (value >= 1 && value <= COLOR_GRADIENTINACTIVECAPTION + 1) {
        return FindGdiObjectAs<BrushObject>(GetSysColorBrush(static_cast<int>(value - 1)));
    }
    return FindGdiObjectAs<BrushObject>(brush);
}

} // namespace

extern "C" BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (previous != nullptr) {
        *previous = context->position;
    }
    context->position = POINT{x, y};
    return TRUE;
}

extern "C" BOOL WINAPI LineTo(HDC dc, int x, int y) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (const std::optional<Pen> pen = DcPen(*context)) {
        const std::vector<PixelPoint> path = {
            context->ToSurface(context->position.x, context->position.y), context->ToSurface(x, y)};
        for (const Box &clip : context->ClipBoxes()) {
            DrawPolyline(*context->surface, clip, path, *pen, context->rop2);
        }
    }
    context->position = POINT{x, y};
    return TRUE;
}

extern "C" BOOL WINAPI Polyline(HDC dc, const POINT *points, int count) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || points == nullptr || count < 2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (const std::optional<Pen> pen = DcPen(*context)) {
        std::vector<PixelPoint> path;
        path.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            path.push_back(context->ToSurface(points[i].x, points[i].y));
        }
        for (const Box &clip : context->ClipBoxes()) {
            DrawPolyline(*context->surface, clip, path, *pen, context->rop2);
        }
    }
    return TRUE;
}

extern "C" BOOL WINAPI Rectangle(HDC dc, int left, int top, int right, int bottom) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (context->surface) {
        for (const Box &clip : context->ClipBoxes()) {
            DrawRectangle(*context->surface, clip, SurfaceBox(*context, left, top, right, bottom),
                          DcPen(*context), BrushPixel(*context, context->brushObject.get()),
                          context->rop2);
        }
    }
    return TRUE;
}

extern "C" int WINAPI FillRect(HDC dc, const RECT *rect, HBRUSH brush) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    const std::shared_ptr<BrushObject> found = FindBrush(brush);
    if (!context || rect == nullptr || !found) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // Unlike Rectangle, an upside-down rectangle fills nothing.
    if (const std::optional<uint32_t> color = BrushPixel(*context, found.get())) {
        if (rect->right > rect->left && rect->bottom > rect->top) {
            const Box box = SurfaceBox(*context, rect->left, rect->top, rect->right, rect->bottom);
            for (const Box &clip : context->ClipBoxes()) {
                FillBox(*context->surface, clip, box, *color);
            }
        }
    }
    return 1;
}

extern "C" BOOL WINAPI InvertRect(HDC dc, const RECT *rect) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || rect == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (context->surface && rect->right > rect->left && rect->bottom > rect->top) {
        const Box box = SurfaceBox(*context, rect->left, rect->top, rect->right, rect->bottom);
        for (const Box &clip : context->ClipBoxes()) {
            PatternFill(*context->surface, clip, box, 0, DSTINVERT);
        }
    }
    return TRUE;
}

extern "C" BOOL WINAPI PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || Rop3UsesSource(rop)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::optional<uint32_t> pattern = BrushPixel(*context, context->brushObject.get());
    if (!context->surface || (Rop3UsesPattern(rop) && !pattern)) {
        return TRUE;
    }
    const int64_t right = std::clamp<int64_t>(int64_t(x) + width, INT_MIN, INT_MAX);
    const int64_t bottom = std::clamp<int64_t>(int64_t(y) + height, INT_MIN, INT_MAX);
    const Box box = SurfaceBox(*context, x, y, static_cast<int>(right), static_cast<int>(bottom));
    for (const Box &clip : context->ClipBoxes()) {
        PatternFill(*context->surface, clip, box, pattern.value_or(0), rop);
    }
    return TRUE;
}

extern "C" COLORREF WINAPI SetPixel(HDC dc, int x, int y, COLORREF color) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || !context->surface) {
        return CLR_INVALID;
    }
    const PixelPoint point = context->ToSurface(x, y);
    const std::vector<Box> clips = context->ClipBoxes();
    if (std::none_of(clips.begin(), clips.end(),
                     [&](const Box &clip) { return clip.Contains(point.x, point.y); })) {
        return CLR_INVALID;
    }
    const uint32_t pixel = PixelForSurface(*context->surface, color);
    context->surface->At(point.x, point.y) = pixel;
    return ColorFromPixel(pixel);
}

extern "C" COLORREF WINAPI GetPixel(HDC dc, int x, int y) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || !context->surface) {
        return CLR_INVALID;
    }
    const PixelPoint point = context->ToSurface(x, y);
    if (!context->Clip().Contains(point.x, point.y)) {
        return CLR_INVALID;
    }
    return ColorFromPixel(context->surface->At(point.x, point.y));
}
