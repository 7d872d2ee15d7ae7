// The icon table, DestroyIcon, and GetIconInfo handing out an icon's pictures as bitmaps.
#include "gdi/icons.h"

#include "gdi/gdi_objects.h"

#include <mutex>
#include <unordered_map>

namespace {

struct IconTable {
    std::mutex mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<const IconObject>> icons;
    uintptr_t next = 0x20003;
};

IconTable &Table() {
    static IconTable table;
    return table;
}

HBITMAP NewBitmap(int width, int height, std::vector<uint32_t> pixels, bool monochrome) {
    auto bitmap = std::make_shared<BitmapObject>(width, height, std::move(pixels));
    bitmap->monochrome = monochrome;
    return static_cast<HBITMAP>(AddGdiObject(std::move(bitmap)));
}

} // namespace

HICON AddIcon(IconImage image, bool shared) {
    auto icon = std::make_shared<IconObject>();
    icon->image = std::move(image);
    icon->shared = shared;
    IconTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const uintptr_t value = table.next;
    table.next += 4;
    table.icons.emplace(value, std::move(icon));
    return reinterpret_cast<HICON>(value);
}

std::shared_ptr<const IconObject> FindIcon(HICON icon) {
    IconTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.icons.find(reinterpret_cast<uintptr_t>(icon));
    if (found == table.icons.end()) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return nullptr;
    }
    return found->second;
}

extern "C" BOOL WINAPI DestroyIcon(HICON icon) {
    std::shared_ptr<const IconObject> removed; // released after the lock
    IconTable &table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.icons.find(reinterpret_cast<uintptr_t>(icon));
    if (found == table.icons.end()) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!found->second->shared) {
        removed = std::move(found->second);
        table.icons.erase(found);
    }
    return TRUE;
}

extern "C" BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info) {
    const std::shared_ptr<const IconObject> found = FindIcon(icon);
    if (!found) {
        return FALSE;
    }
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const IconImage &image = found->image;
    std::vector<uint32_t> mask(image.mask.size());
    for (size_t i = 0; i < mask.size(); ++i) {
        mask[i] = image.mask[i] != 0 ? 0xFFFFFF : 0;
    }
    info->fIcon = TRUE;
    info->xHotspot = static_cast<DWORD>(image.width / 2);
    info->yHotspot = static_cast<DWORD>(image.height / 2);
    info->hbmMask = NewBitmap(image.width, image.height, std::move(mask), true);
    info->hbmColor = NewBitmap(image.width, image.height, image.color, false);
    return TRUE;
}
