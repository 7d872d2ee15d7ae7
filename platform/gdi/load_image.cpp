// LoadImage and LoadBitmap: bitmaps and icons from resources or, with LR_LOADFROMFILE, files.
#include "gdi/bitmap_files.h"
#include "gdi/icon_loading.h"
#include "kernel/module_resources.h"
#include "kernel/whole_files.h"

#include <windows.h>

namespace {

HANDLE LoadBitmapFile(HANDLE file, int width, int height) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, maxBitmapFileBytes, bytes)) {
        return nullptr;
    }
    return BitmapFromFileBytes(bytes.data(), bytes.size(), width, height);
}

// A NULL instance asks for the system's own bitmaps, of which there are none here.
HANDLE LoadBitmapResource(HINSTANCE instance, LPCWSTR name, int width, int height) {
    ResourceBytes bytes;
    if (instance == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    if (!FindModuleResource(instance, BitmapResourceType(), name, bytes)) {
        return nullptr;
    }
    return BitmapFromFileBytes(bytes.data, bytes.size, width, height);
}

// Whether the call is one LoadImage can answer at all.
bool Answerable(const void *name, UINT type, UINT flags) {
    const bool fromFile = (flags & LR_LOADFROMFILE) != 0;
    if (name == nullptr || (type != IMAGE_BITMAP && type != IMAGE_ICON) ||
        (fromFile && IS_INTRESOURCE(name))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

HANDLE LoadFromFile(HANDLE file, UINT type, int width, int height, UINT flags) {
    return type == IMAGE_BITMAP ? LoadBitmapFile(file, width, height)
                                : LoadIconImageFile(file, width, height, flags);
}

HANDLE LoadFromResource(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height,
                        UINT flags) {
    return type == IMAGE_BITMAP ? LoadBitmapResource(instance, name, width, height)
                                : LoadIconImage(instance, name, width, height, flags);
}

} // namespace

extern "C" HANDLE WINAPI LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int width,
                                    int height, UINT flags) {
    if (!Answerable(name, type, flags)) {
        return nullptr;
    }
    if ((flags & LR_LOADFROMFILE) != 0) {
        return LoadFromFile(
            CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
            type, width, height, flags);
    }
    return LoadFromResource(instance, WideResourceName(name).Get(), type, width, height, flags);
}

extern "C" HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width,
                                    int height, UINT flags) {
    if (!Answerable(name, type, flags)) {
        return nullptr;
    }
    if ((flags & LR_LOADFROMFILE) != 0) {
        return LoadFromFile(
            CreateFileW(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
            type, width, height, flags);
    }
    return LoadFromResource(instance, name, type, width, height, flags);
}

extern "C" HBITMAP WINAPI LoadBitmapA(HINSTANCE instance, LPCSTR name) {
    return static_cast<HBITMAP>(LoadImageA(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

extern "C" HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}
