// The GDI object table, and what GetObject says about a bitmap.
#include "gdi/gdi_objects.h"

#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

// GDI handles are 2 modulo 4 and kernel handles 0, so that neither passes for the other.
struct GdiTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    uintptr_t next = 0x10002;
};

GdiTable &Table() {
    static GdiTable table;
    return table;
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
    GdiTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

HGDIOBJ AddStockObject(std::shared_ptr<GdiObject> object) {
    object->stock = true;
    return AddGdiObject(std::move(object));
}

bool RemoveGdiObject(HGDIOBJ handle) {
    std::shared_ptr<GdiObject> removed; // released after the lock
    GdiTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end()) {
        return false;
    }
    removed = std::move(found->second);
    table.objects.erase(found);
    return true;
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ handle) {
    GdiTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == table.objects.end() ? nullptr : found->second;
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
    std::shared_ptr<GdiObject> removed; // released after the lock
    GdiTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.objects.find(reinterpret_cast<uintptr_t>(object));
    if (found == table.objects.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const GdiObject &target = *found->second;
    // Stock objects outlive every DeleteObject; selected objects, and device contexts (which
    // DeleteDC ends), are refused as Windows refuses them.
    if (target.stock) {
        return TRUE;
    }
    if (target.selections > 0 || target.Type() == OBJ_DC || target.Type() == OBJ_MEMDC) {
        return FALSE;
    }
    removed = std::move(found->second);
    table.objects.erase(found);
    return TRUE;
}
