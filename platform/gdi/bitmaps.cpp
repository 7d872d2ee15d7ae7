// Creating bitmaps: blank ones for drawing, and ones from device-dependent bits.
#include "gdi/device_contexts.h"

#include <new>

namespace {

// A new bitmap, or null with the reason set when the size cannot be had.
std::shared_ptr<BitmapObject> NewBitmap(int width, int height) {
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!SurfaceSizeAllowed(width, height)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    try {
        return std::make_shared<BitmapObject>(
            width, height, std::vector<uint32_t>(size_t(width) * size_t(height), 0));
    } catch (const std::bad_alloc &) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

// One row of bits in the layout CreateBitmap takes: top-down rows padded to 16 bits; 1 bit per
// pixel from the high bit (set is white), 5-6-5 for 16 bits as on Windows CE devices, blue first
// for 24 and 32.
void DecodeRow(const unsigned char *row, int width, UINT bits, uint32_t *out) {
    for (int x = 0; x < width; ++x) {
        const size_t i = static_cast<size_t>(x);
        switch (bits) {
        case 1:
            out[i] = (row[i / 8] >> (7 - i % 8)) & 1 ? 0xFFFFFF : 0x000000;
            break;
        case 16: {
            const uint32_t value = uint32_t(row[i * 2]) | uint32_t(row[i * 2 + 1]) << 8;
            const uint32_t red = (value >> 11) & 0x1F, green = (value >> 5) & 0x3F,
                           blue = value & 0x1F;
            out[i] = (red << 3 | red >> 2) << 16 | (green << 2 | green >> 4) << 8 |
                     (blue << 3 | blue >> 2);
            break;
        }
        case 24:
            out[i] = uint32_t(row[i * 3 + 2]) << 16 | uint32_t(row[i * 3 + 1]) << 8 | row[i * 3];
            break;
        default:
            out[i] = uint32_t(row[i * 4 + 2]) << 16 | uint32_t(row[i * 4 + 1]) << 8 | row[i * 4];
            break;
        }
    }
}

} // namespace

extern "C" HBITMAP WINAPI CreateCompatibleBitmap(HDC dc, int width, int height) {
    if (!FindDc(dc)) {
        return nullptr;
    }
    // Windows answers an empty size with a 1 x 1 monochrome bitmap.
    const bool empty = width == 0 || height == 0;
    const std::shared_ptr<BitmapObject> bitmap = empty ? NewBitmap(1, 1) : NewBitmap(width, height);
    if (!bitmap) {
        return nullptr;
    }
    bitmap->monochrome = empty;
    return static_cast<HBITMAP>(AddGdiObject(bitmap));
}

extern "C" HBITMAP WINAPI CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                                       const void *bits) {
    if (planes != 1 ||
        (bitsPerPixel != 1 && bitsPerPixel != 16 && bitsPerPixel != 24 && bitsPerPixel != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool empty = width == 0 || height == 0;
    const std::shared_ptr<BitmapObject> bitmap = empty ? NewBitmap(1, 1) : NewBitmap(width, height);
    if (!bitmap) {
        return nullptr;
    }
    bitmap->monochrome = empty || bitsPerPixel == 1;
    if (bits != nullptr && !empty) {
        const size_t stride = (size_t(width) * bitsPerPixel + 15) / 16 * 2;
        const auto *data = static_cast<const unsigned char *>(bits);
        for (int y = 0; y < height; ++y) {
            DecodeRow(data + size_t(y) * stride, width, bitsPerPixel, &bitmap->At(0, y));
        }
    }
    return static_cast<HBITMAP>(AddGdiObject(bitmap));
}
