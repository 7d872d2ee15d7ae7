// The icon table, DestroyIcon, and GetIconInfo handing out an icon's pictures as bitmaps.
#include "gdi/icons.h"

#include "gdi/gdi_objects.h"
#include "kernel/handle_table.h"
#include "kernel/machine.h"

namespace {

HandleSeries iconHandles{0x20003};

struct Icons : MachinePart {
    HandleTable<const IconObject> table{iconHandles};
};

HandleTable<const IconObject> &Table() {
    return MachineState<Icons>().table;
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
    return static_cast<HICON>(Table().Add(std::move(icon)));
}

std::shared_ptr<const IconObject> FindIcon(HICON icon) {
    std::shared_ptr<const IconObject> found = Table().Find(icon);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    }
    return found;
}

extern "C" BOOL WINAPI DestroyIcon(HICON icon) {
    const std::shared_ptr<const IconObject> found = Table().Find(icon);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (!found->shared) {
        Table().Remove(icon);
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
