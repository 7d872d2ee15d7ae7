// Windows .bmp files.
#ifndef PLATFORM_GDI_BITMAP_FILES_H
#define PLATFORM_GDI_BITMAP_FILES_H

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest width or height a bitmap file may have.
const int maxBitmapFileSide = 4096;
// The most a bitmap file of the largest size could need, with its headers and palette.
const size_t maxBitmapFileBytes = size_t(maxBitmapFileSide) * maxBitmapFileSide * 4 + 4096;

struct DecodedBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows top-down
};

// Decodes a whole .bmp file: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, with the core,
// info, V4 or V5 header, bottom-up or top-down, and bit-field masks for 16 and 32 bits. False
// for anything malformed, truncated, too large or unsupported; never reads outside data.
bool DecodeBitmapFile(const unsigned char *data, size_t size, DecodedBitmap &out);

// A GDI bitmap from the bytes of a whole .bmp file, a file's or a resource's; null with
// ERROR_FILE_INVALID when they do not decode. A width or height other than 0 must be the
// bitmap's own, or the call fails with ERROR_INVALID_PARAMETER.
HBITMAP BitmapFromFileBytes(const unsigned char *data, size_t size, int width, int height);

#endif
