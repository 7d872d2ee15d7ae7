// Pens, brushes and the stock objects.
#ifndef PLATFORM_GDI_DRAWING_OBJECTS_H
#define PLATFORM_GDI_DRAWING_OBJECTS_H

#include "gdi/gdi_objects.h"

struct PenObject : GdiObject {
    PenObject(int penStyle, int penWidth, COLORREF penColor)
        : style(penStyle), width(penWidth), color(penColor) {}
    DWORD Type() const override {
        return OBJ_PEN;
    }
    int Describe(int size, void *buffer) const override;

    int style;
    int width;
    COLORREF color;
};

struct BrushObject : GdiObject {
    BrushObject(int brushStyle, COLORREF brushColor) : style(brushStyle), color(brushColor) {}
    DWORD Type() const override {
        return OBJ_BRUSH;
    }
    int Describe(int size, void *buffer) const override;

    int style;
    COLORREF color;
};

// The 1 x 1 monochrome bitmap every new memory device context starts with.
HBITMAP DefaultBitmap();

// The system colour index behind index, which may carry SYS_COLOR_INDEX_FLAG, or -1 when there is
// no such colour.
int SystemColorIndex(int index);

#endif
