// Windows .bmp files.
#ifndef PLATFORM_GDI_BITMAP_FILES_H
#define PLATFORM_GDI_BITMAP_FILES_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest width or height a bitmap file may have.
const int maxBitmapFileSide = 4096;

struct DecodedBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top-down
};

// Decodes a whole .bmp file: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, with the core,
// info, V4 or V5 header, bottom-up or top-down, and bit-field masks for 16 and 32 bits. False
// for anything malformed, truncated, too large or unsupported; never reads outside data.
bool DecodeBitmapFile(const unsigned char *data, size_t size, DecodedBitmap &out);

#endif
