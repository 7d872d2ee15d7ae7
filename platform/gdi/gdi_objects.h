// The GDI object table behind HGDIOBJ values. Each kind of object (bitmaps now; brushes, pens,
// fonts and device contexts as drawing grows) derives from GdiObject and describes itself for
// GetObject and GetObjectType. Handles are never reused and are validated on every call.
#ifndef PLATFORM_GDI_GDI_OBJECTS_H
#define PLATFORM_GDI_GDI_OBJECTS_H

#include <windows.h>

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
};

// A bitmap of 32-bit pixels, 0x00RRGGBB, rows top-down without padding.
struct BitmapObject : GdiObject {
    BitmapObject(int bitmapWidth, int bitmapHeight, std::vector<uint32_t> bitmapPixels)
        : width(bitmapWidth), height(bitmapHeight), pixels(std::move(bitmapPixels)) {}

    DWORD Type() const override {
        return OBJ_BITMAP;
    }
    int Describe(int size, void *buffer) const override;

    int width;
    int height;
    std::vector<uint32_t> pixels;
};

// A new handle for the object.
HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> object);

// The object behind handle, or null for a handle that is unknown or deleted.
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle);

// The object behind handle if it is of that kind, else null.
template <typename Object> std::shared_ptr<Object> FindGdiObjectAs(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<Object>(FindGdiObject(handle));
}

HBITMAP CreateBitmapObject(int width, int height, std::vector<uint32_t> pixels);

#endif
