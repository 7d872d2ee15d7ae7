// Memory device contexts, object selection and the attributes a DC keeps.
#include "gdi/device_contexts.h"

#include <algorithm>
#include <utility>

namespace {

// Swaps what slot holds for object, keeping selection counts right; returns the previous handle.
template <typename Object>
HGDIOBJ Exchange(HGDIOBJ &slot, std::shared_ptr<Object> &held, HGDIOBJ object,
                 std::shared_ptr<Object> replacement) {
    const HGDIOBJ previous = slot;
    if (held) {
        --held->selections;
    }
    ++replacement->selections;
    slot = object;
    held = std::move(replacement);
    return previous;
}

HGDIOBJ SelectBitmap(HDC dc, DcObject &context, HGDIOBJ object,
                     std::shared_ptr<BitmapObject> bitmap) {
    if (!context.memory) {
        return nullptr;
    }
    if (!bitmap->stock && bitmap->selectedInto != nullptr && bitmap->selectedInto != dc) {
        return nullptr;
    }
    if (context.bitmapObject && !context.bitmapObject->stock) {
        context.bitmapObject->selectedInto = nullptr;
    }
    if (!bitmap->stock) {
        bitmap->selectedInto = dc;
    }
    context.surface = bitmap;
    return Exchange(context.bitmap, context.bitmapObject, object, std::move(bitmap));
}

template <typename Object> void Release(std::shared_ptr<Object> &held) {
    if (held) {
        --held->selections;
        held.reset();
    }
}

} // namespace

PixelPoint DcObject::ToSurface(int x, int y) const {
    const auto clamp = [](int64_t value) {
        return static_cast<int>(std::clamp<int64_t>(value, INT_MIN / 2, INT_MAX / 2));
    };
    return PixelPoint{clamp(int64_t(x) + originX), clamp(int64_t(y) + originY)};
}

std::vector<Box> DcObject::ClipBoxes() const {
    if (window != nullptr) {
        return windowBoxes;
    }
    const Box box = Clip();
    return box.Empty() ? std::vector<Box>{} : std::vector<Box>{box};
}

std::shared_ptr<DcObject> FindDc(HDC dc) {
    std::shared_ptr<DcObject> found = FindGdiObjectAs<DcObject>(dc);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
    } else if (found->window != nullptr) {
        RefreshWindowDc(*found);
    }
    return found;
}

extern "C" HDC WINAPI CreateCompatibleDC(HDC dc) {
    if (dc != nullptr && !FindDc(dc)) {
        return nullptr;
    }
    auto context = std::make_shared<DcObject>();
    const HDC handle = static_cast<HDC>(AddGdiObject(context));
    SelectObject(handle, DefaultBitmap());
    SelectObject(handle, GetStockObject(BLACK_PEN));
    SelectObject(handle, GetStockObject(WHITE_BRUSH));
    SelectObject(handle, SystemFont());
    return handle;
}

extern "C" BOOL WINAPI DeleteDC(HDC dc) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    if (context->bitmapObject && context->bitmapObject->selectedInto == dc) {
        context->bitmapObject->selectedInto = nullptr;
    }
    Release(context->bitmapObject);
    Release(context->penObject);
    Release(context->brushObject);
    Release(context->fontObject);
    context->surface.reset();
    RemoveGdiObject(dc);
    return TRUE;
}

extern "C" HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    const std::shared_ptr<GdiObject> found = FindGdiObject(object);
    if (!context || !found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (auto bitmap = std::dynamic_pointer_cast<BitmapObject>(found)) {
        return SelectBitmap(dc, *context, object, std::move(bitmap));
    }
    if (auto pen = std::dynamic_pointer_cast<PenObject>(found)) {
        return Exchange(context->pen, context->penObject, object, std::move(pen));
    }
    if (auto brush = std::dynamic_pointer_cast<BrushObject>(found)) {
        return Exchange(context->brush, context->brushObject, object, std::move(brush));
    }
    if (auto font = std::dynamic_pointer_cast<FontObject>(found)) {
        return Exchange(context->font, context->fontObject, object, std::move(font));
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

extern "C" HGDIOBJ WINAPI GetCurrentObject(HDC dc, UINT type) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return nullptr;
    }
    switch (type) {
    case OBJ_BITMAP:
        return context->bitmap;
    case OBJ_PEN:
        return context->pen;
    case OBJ_BRUSH:
        return context->brush;
    case OBJ_FONT:
        return context->font;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
}

extern "C" int WINAPI GetDeviceCaps(HDC dc, int index) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return 0;
    }
    switch (index) {
    case TECHNOLOGY:
        return DT_RASDISPLAY;
    case HORZRES:
        return context->surface ? context->surface->width : 0;
    case VERTRES:
        return context->surface ? context->surface->height : 0;
    case BITSPIXEL:
        return 32;
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case RASTERCAPS:
        return RC_BITBLT | RC_STRETCHBLT;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    default:
        return 0;
    }
}

extern "C" int WINAPI SetROP2(HDC dc, int mode) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || mode < R2_BLACK || mode > R2_WHITE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(context->rop2, mode);
}

extern "C" int WINAPI GetROP2(HDC dc) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    return context ? context->rop2 : 0;
}

extern "C" COLORREF WINAPI SetTextColor(HDC dc, COLORREF color) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return CLR_INVALID;
    }
    // Windows CE takes a system colour index marked with SYS_COLOR_INDEX_FLAG for a colour.
    if ((color & SYS_COLOR_INDEX_FLAG) != 0) {
        const int index = SystemColorIndex(static_cast<int>(color));
        if (index < 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return CLR_INVALID;
        }
        color = GetSysColor(index);
    }
    return std::exchange(context->textColor, color & 0x00FFFFFF);
}

extern "C" COLORREF WINAPI GetTextColor(HDC dc) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    return context ? context->textColor : CLR_INVALID;
}

extern "C" COLORREF WINAPI SetBkColor(HDC dc, COLORREF color) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    return context ? std::exchange(context->backgroundColor, color & 0x00FFFFFF) : CLR_INVALID;
}

extern "C" COLORREF WINAPI GetBkColor(HDC dc) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    return context ? context->backgroundColor : CLR_INVALID;
}

extern "C" int WINAPI SetBkMode(HDC dc, int mode) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context || (mode != TRANSPARENT && mode != OPAQUE)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return std::exchange(context->backgroundMode, mode);
}

extern "C" int WINAPI GetBkMode(HDC dc) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    return context ? context->backgroundMode : 0;
}
