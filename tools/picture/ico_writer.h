// A text picture's images as a Windows .ico file, 4 bits per pixel with a transparency mask.
#ifndef TOOLS_PICTURE_ICO_WRITER_H
#define TOOLS_PICTURE_ICO_WRITER_H

#include "text_picture.h"

#include <vector>

// ICONDIR and one ICONDIRENTRY per image, in the picture's order, then each image as a DIB:
// BITMAPINFOHEADER with the height doubled, a 16-colour palette (the picture's opaque colours in
// their order, the rest black), the colour rows and the AND mask rows, both bottom-up.
// Transparent pixels are black in the colour rows and set in the mask. Empty when the picture
// is no well-formed icon.
std::vector<unsigned char> IconFileBytes(const TextPicture &picture);

#endif
