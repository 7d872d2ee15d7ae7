// A one-image text picture as a Windows .bmp file at 4 bits per pixel.
#ifndef TOOLS_PICTURE_BMP_WRITER_H
#define TOOLS_PICTURE_BMP_WRITER_H

#include "text_picture.h"

#include <vector>

// BITMAPFILEHEADER, BITMAPINFOHEADER, the picture's colours in their order (biClrUsed says how
// many) and the rows bottom-up. Empty when the picture is no well-formed bitmap.
std::vector<unsigned char> BitmapFileBytes(const TextPicture &picture);

#endif
