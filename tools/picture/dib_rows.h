// The pixel rows of a device-independent bitmap, as .bmp and .ico files both store them.
#ifndef TOOLS_PICTURE_DIB_ROWS_H
#define TOOLS_PICTURE_DIB_ROWS_H

#include "text_picture.h"

#include <cstdint>
#include <vector>

struct RGBQuadValue {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// Bytes in one row of `width` pixels at `bits` per pixel: rows end on a four-byte boundary.
std::uint32_t DibRowBytes(int width, int bits);

// Appends a BITMAPINFOHEADER (40 bytes, no compression) for the given size and depth.
void AppendInfoHeader(std::vector<unsigned char> &out, int width, int height, int bits,
                      std::uint32_t imageBytes, std::uint32_t coloursUsed);

// Appends the colours as RGBQUADs (blue, green, red, 0).
void AppendPalette(std::vector<unsigned char> &out, const std::vector<RGBQuadValue> &palette);

// Appends the image's rows bottom-up at 4 bits per pixel, each pixel's colour index mapped
// through `indexOf` (one entry per colour of the picture).
void AppendFourBitRows(std::vector<unsigned char> &out, const PictureImage &image,
                       const std::vector<std::uint8_t> &indexOf);

// Appends the rows bottom-up at 1 bit per pixel, set where `isSet` (one entry per colour) says.
void AppendOneBitRows(std::vector<unsigned char> &out, const PictureImage &image,
                      const std::vector<bool> &isSet);

#endif
