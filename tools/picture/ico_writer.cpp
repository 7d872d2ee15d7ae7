#include "ico_writer.h"

#include "dib_rows.h"
#include "little_endian.h"

namespace {

constexpr std::uint32_t directoryBytes = 6;
constexpr std::uint32_t entryBytes = 16;
constexpr std::uint32_t paletteBytes = 4 * maxPictureColours;

std::uint32_t ImageBytes(const PictureImage &image) {
    const auto height = static_cast<std::uint32_t>(image.height);
    return 40 + paletteBytes + DibRowBytes(image.width, 4) * height +
           DibRowBytes(image.width, 1) * height;
}

} // namespace

std::vector<unsigned char> IconFileBytes(const TextPicture &picture) {
    if (!IsWellFormedPicture(picture, PictureKind::Icon)) {
        return {};
    }
    // Opaque colours keep their order; the palette is filled up with black, which is where
    // transparent pixels point so that the mask alone decides what shows through.
    std::vector<RGBQuadValue> palette;
    std::vector<std::uint8_t> indexOf(picture.colours.size(), 0);
    std::vector<bool> isTransparent(picture.colours.size(), false);
    for (std::size_t i = 0; i < picture.colours.size(); ++i) {
        const PictureColour &colour = picture.colours[i];
        if (colour.transparent) {
            isTransparent[i] = true;
        } else {
            indexOf[i] = static_cast<std::uint8_t>(palette.size());
            palette.push_back(RGBQuadValue{colour.red, colour.green, colour.blue});
        }
    }
    palette.resize(maxPictureColours, RGBQuadValue{});
    std::uint8_t black = 0;
    while (black < palette.size() &&
           (palette[black].red != 0 || palette[black].green != 0 || palette[black].blue != 0)) {
        ++black;
    }
    for (std::size_t i = 0; i < picture.colours.size(); ++i) {
        if (isTransparent[i]) {
            indexOf[i] = black;
        }
    }

    std::vector<unsigned char> out;
    const auto count = static_cast<std::uint32_t>(picture.images.size());
    Put16(out, 0);     // idReserved
    Put16(out, 1);     // idType: icon
    Put16(out, count); // idCount
    std::uint32_t offset = directoryBytes + entryBytes * count;
    for (const PictureImage &image : picture.images) {
        // A side of 256 is written as 0.
        out.push_back(static_cast<unsigned char>(image.width & 0xFF));
        out.push_back(static_cast<unsigned char>(image.height & 0xFF));
        out.push_back(static_cast<unsigned char>(maxPictureColours)); // bColorCount
        out.push_back(0);                                             // bReserved
        Put16(out, 1);                                                // wPlanes
        Put16(out, 4);                                                // wBitCount
        Put32(out, ImageBytes(image));                                // dwBytesInRes
        Put32(out, offset);                                           // dwImageOffset
        offset += ImageBytes(image);
    }
    for (const PictureImage &image : picture.images) {
        const auto height = static_cast<std::uint32_t>(image.height);
        const std::uint32_t pixelBytes =
            DibRowBytes(image.width, 4) * height + DibRowBytes(image.width, 1) * height;
        AppendInfoHeader(out, image.width, image.height * 2, 4, pixelBytes, 0);
        AppendPalette(out, palette);
        AppendFourBitRows(out, image, indexOf);
        AppendOneBitRows(out, image, isTransparent);
    }
    return out;
}
