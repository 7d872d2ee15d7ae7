// Feeds arbitrary bytes to the .bmp decoder. Seeds: tests/data/platform/*.bmp.
#include "gdi/bitmap_files.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    DecodedBitmap bitmap;
    if (DecodeBitmapFile(data, size, bitmap)) {
        // A decoded bitmap always holds exactly its pixels.
        if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.width > maxBitmapFileSide ||
            bitmap.height > maxBitmapFileSide ||
            bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height) {
            __builtin_trap();
        }
    }
    return 0;
}
