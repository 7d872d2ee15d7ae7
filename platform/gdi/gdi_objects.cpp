// The GDI object table, and what GetObject says about a bitmap.
#include "gdi/gdi_objects.h"

#include "kernel/handle_table.h"
#include "kernel/machine.h"

#include <cstring>

namespace {

// GDI handles are 2 modulo 4 and kernel handles 0, so that neither passes for the other. Stock
// objects are the system's, shared by every machine as Windows shares them between processes.
HandleSeries gdiHandles{0x10002};
HandleSeries stockHandles{0x8002};

struct GdiObjects : MachinePart {
    HandleTable<GdiObject> table{gdiHandles};
};

HandleTable<GdiObject> &Table() {
    return MachineState<GdiObjects>().table;
}

HandleTable<GdiObject> &StockTable() {
    static HandleTable<GdiObject> *table = new HandleTable<GdiObject>(stockHandles);
    return *table;
}

int DescribeObject(HGDIOBJ object, int size, LPVOID buffer) {
    const std::shared_ptr<GdiObject> found = FindGdiObject(object);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return found->Describe(size, buffer);
}

} // namespace

int BitmapObject::Describe(int size, void *buffer) const {
    if (buffer == nullptr || size == 0) {
        return sizeof(BITMAP);
    }
    if (size < static_cast<int>(sizeof(BITMAP))) {
        return 0;
    }
    BITMAP bitmap;
    bitmap.bmType = 0;
    bitmap.bmWidth = width;
    bitmap.bmHeight = height;
    // Rows of a monochrome bitmap are padded to 16 bits, as CreateBitmap takes them.
    bitmap.bmWidthBytes = monochrome ? (width + 15) / 16 * 2 : width * 4;
    bitmap.bmPlanes = 1;
    bitmap.bmBitsPixel = monochrome ? 1 : 32;
    bitmap.bmBits = nullptr;
    std::memcpy(buffer, &bitmap, sizeof(bitmap));
    return sizeof(BITMAP);
}

HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> object) {
    return Table().Add(std::move(object));
}

HGDIOBJ AddStockObject(std::shared_ptr<GdiObject> object) {
    object->stock = true;
    return StockTable().Add(std::move(object));
}

bool RemoveGdiObject(HGDIOBJ handle) {
    return Table().Remove(handle) != nullptr;
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle) {
    if (std::shared_ptr<GdiObject> found = Table().Find(handle)) {
        return found;
    }
    return StockTable().Find(handle);
}

HBITMAP CreateBitmapObject(int width, int height, std::vector<uint32_t> pixels) {
    return static_cast<HBITMAP>(
        AddGdiObject(std::make_shared<BitmapObject>(width, height, std::move(pixels))));
}

extern "C" int WINAPI GetObjectA(HGDIOBJ object, int size, LPVOID buffer) {
    return DescribeObject(object, size, buffer);
}

extern "C" int WINAPI GetObjectW(HGDIOBJ object, int size, LPVOID buffer) {
    return DescribeObject(object, size, buffer);
}

extern "C" DWORD WINAPI GetObjectType(HGDIOBJ object) {
    const std::shared_ptr<GdiObject> found = FindGdiObject(object);
    if (!found) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return found->Type();
}

extern "C" BOOL WINAPI DeleteObject(HGDIOBJ object) {
    const std::shared_ptr<GdiObject> found = FindGdiObject(object);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const GdiObject &target = *found;
    // Stock objects outlive every DeleteObject; selected objects, and device contexts (which
    // DeleteDC ends), are refused as Windows refuses them.
    if (target.stock) {
        return TRUE;
    }
    if (target.selections > 0 || target.Type() == OBJ_DC || target.Type() == OBJ_MEMDC) {
        return FALSE;
    }
    Table().Remove(object);
    return TRUE;
}
