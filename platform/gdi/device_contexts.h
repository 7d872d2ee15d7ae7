// Device contexts: where drawing goes (a surface), with what (the selected objects) and how (raster
// mode, colours, current position). Memory DCs draw on the bitmap selected into them; a screen DC
// will draw on the framebuffer surface.
#ifndef PLATFORM_GDI_DEVICE_CONTEXTS_H
#define PLATFORM_GDI_DEVICE_CONTEXTS_H

#include "engine/lines.h"
#include "gdi/drawing_objects.h"
#include "gdi/fonts.h"

#include <climits>
#include <memory>
#include <vector>

struct DcObject : GdiObject {
    DWORD Type() const override {
        return memory ? OBJ_MEMDC : OBJ_DC;
    }
    int Describe(int, void *) const override {
        return 0;
    }

    // The part of the surface drawing may touch, in surface coordinates.
    Box Clip() const {
        return surface ? Intersect(clip, surface->Bounds()) : Box{};
    }
    // The parts of the surface drawing may touch, as disjoint boxes in surface coordinates: one
    // for a memory DC, the visible pieces of a window for a window DC.
    std::vector<Box> ClipBoxes() const;
    // A logical point in surface coordinates, clamped so that far-off points cannot overflow.
    PixelPoint ToSurface(int x, int y) const;

    bool memory = true;
    std::shared_ptr<Surface> surface;
    // Where the DC's (0, 0) lies on the surface, and what part of it the DC owns; windows will
    // set both.
    int originX = 0;
    int originY = 0;
    Box clip{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

    // A window DC: the window (null for the whole screen), whether its frame is included, and
    // the part of the client area it is limited to while painting. Its origin, clip and boxes
    // follow the window on every use.
    HWND window = nullptr;
    bool wholeWindow = false;
    bool limited = false;
    Box limit;
    std::vector<Box> windowBoxes;

    HGDIOBJ bitmap = nullptr;
    HGDIOBJ pen = nullptr;
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    std::shared_ptr<BitmapObject> bitmapObject;
    std::shared_ptr<PenObject> penObject;
    std::shared_ptr<BrushObject> brushObject;
    std::shared_ptr<FontObject> fontObject;

    POINT position{0, 0};
    int rop2 = R2_COPYPEN;
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF backgroundColor = RGB(255, 255, 255);
    int backgroundMode = OPAQUE;
};

// Brings a window DC's origin, clip and visible pieces up to date with its window.
void RefreshWindowDc(DcObject &context);

// The device context behind dc, or null (with ERROR_INVALID_HANDLE) for anything else.
std::shared_ptr<DcObject> FindDc(HDC dc);

#endif
