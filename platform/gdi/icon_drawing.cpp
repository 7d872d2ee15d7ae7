// DrawIconEx and DrawIcon: an icon drawn into a device context, once for each piece of it that
// drawing may touch.
#include "gdi/device_contexts.h"
#include "gdi/icons.h"

#include "engine/icon_blits.h"

extern "C" BOOL WINAPI DrawIconEx(HDC dc, int x, int y, HICON icon, int width, int height, UINT,
                                  HBRUSH, UINT flags) {
    const std::shared_ptr<DcObject> context = FindDc(dc);
    if (!context) {
        return FALSE;
    }
    const std::shared_ptr<const IconObject> found = FindIcon(icon);
    if (!found) {
        return FALSE;
    }
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const IconImage &image = found->image;
    const bool defaultSize = (flags & DI_DEFAULTSIZE) != 0;
    if (width == 0) {
        width = defaultSize ? GetSystemMetrics(SM_CXICON) : image.width;
    }
    if (height == 0) {
        height = defaultSize ? GetSystemMetrics(SM_CYICON) : image.height;
    }
    const UINT parts = flags & DI_NORMAL;
    if (parts == 0 || !context->surface) {
        return TRUE;
    }
    const IconPart part = parts == DI_NORMAL  ? IconPart::Both
                          : parts == DI_IMAGE ? IconPart::Image
                                              : IconPart::Mask;
    const PixelPoint origin = context->ToSurface(x, y);
    const SignedRect target{origin.x, origin.y, width, height};
    for (const Box &box : context->ClipBoxes()) {
        DrawIconImage(*context->surface, box, target, image, part);
    }
    return TRUE;
}

extern "C" BOOL WINAPI DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_COMPAT | DI_DEFAULTSIZE);
}
