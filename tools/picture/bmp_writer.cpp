#include "bmp_writer.h"

#include "dib_rows.h"
#include "little_endian.h"

std::vector<unsigned char> BitmapFileBytes(const TextPicture &picture) {
    if (!IsWellFormedPicture(picture, PictureKind::Bitmap)) {
        return {};
    }
    const PictureImage &image = picture.images.front();
    std::vector<RGBQuadValue> palette;
    std::vector<std::uint8_t> indexOf;
    for (const PictureColour &colour : picture.colours) {
        indexOf.push_back(static_cast<std::uint8_t>(palette.size()));
        palette.push_back(RGBQuadValue{colour.red, colour.green, colour.blue});
    }
    const std::uint32_t headers = 14 + 40 + 4 * static_cast<std::uint32_t>(palette.size());
    const std::uint32_t pixelBytes =
        DibRowBytes(image.width, 4) * static_cast<std::uint32_t>(image.height);

    std::vector<unsigned char> out;
    out.reserve(headers + pixelBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, headers + pixelBytes); // bfSize
    Put32(out, 0);                    // bfReserved1 and 2
    Put32(out, headers);              // bfOffBits
    AppendInfoHeader(out, image.width, image.height, 4, pixelBytes,
                     static_cast<std::uint32_t>(palette.size()));
    AppendPalette(out, palette);
    AppendFourBitRows(out, image, indexOf);
    return out;
}
