// The GDI object table behind HGDIOBJ values. Each kind of object (bitmaps, pens, brushes, device
// contexts; fonts later) derives from GdiObject and describes itself for GetObject and
// GetObjectType. Handles are never reused and are validated on every call.
#ifndef PLATFORM_GDI_GDI_OBJECTS_H
#define PLATFORM_GDI_GDI_OBJECTS_H

#include <windows.h>

#include "engine/surface.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

struct GdiObject {
    virtual ~GdiObject() = default;
    // The OBJ_* constant GetObjectType reports.
    virtual DWORD Type() const = 0;
    // GetObject: the bytes of the object's description written to buffer, or the size needed
    // when buffer is NULL; 0 when size is too small.
    virtual int Describe(int size, void *buffer) const = 0;

    // A stock object: DeleteObject leaves it alone, and any number of DCs may select it.
    bool stock = false;
    // How many device contexts have it selected; DeleteObject refuses while any has.
    std::atomic<int> selections{0};
};

// A bitmap: a surface of 32-bit pixels, 0x00RRGGBB, rows top-down without padding, whatever
// format it was made from. A monochrome one still says so to GetObject.
struct BitmapObject : GdiObject, Surface {
    BitmapObject(int bitmapWidth, int bitmapHeight, std::vector<uint32_t> bitmapPixels)
        : Surface(bitmapWidth, bitmapHeight, std::move(bitmapPixels)) {}

    DWORD Type() const override {
        return OBJ_BITMAP;
    }
    int Describe(int size, void *buffer) const override;

    // The device context it is selected into, if any; a bitmap is in one at most.
    HDC selectedInto = nullptr;
};

// A new handle for the object.
HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> object);

// Takes handle out of the table whatever its object is; false for an unknown handle.
bool RemoveGdiObject(HGDIOBJ handle);

// The object behind handle, or null for a handle that is unknown or deleted.
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle);

// The object behind handle if it is of that kind, else null.
template <typename Object> std::shared_ptr<Object> FindGdiObjectAs(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<Object>(FindGdiObject(handle));
}

HBITMAP CreateBitmapObject(int width, int height, std::vector<uint32_t> pixels);

// A new handle for a stock object that lives as long as the process.
HGDIOBJ AddStockObject(std::shared_ptr<GdiObject> object);

#endif
