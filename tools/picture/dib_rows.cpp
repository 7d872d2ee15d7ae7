#include "dib_rows.h"

#include "little_endian.h"

std::uint32_t DibRowBytes(int width, int bits) {
    const std::uint32_t rowBits =
        static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(bits);
    return (rowBits + 31) / 32 * 4;
}

void AppendInfoHeader(std::vector<unsigned char> &out, int width, int height, int bits,
                      std::uint32_t imageBytes, std::uint32_t coloursUsed) {
    Put32(out, 40); // biSize
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // positive: bottom-up
    Put16(out, 1);                                  // biPlanes
    Put16(out, static_cast<std::uint32_t>(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 0); // no resolution: the device's own is meant
    Put32(out, 0);
    Put32(out, coloursUsed);
    Put32(out, 0); // biClrImportant: all of them
}

void AppendPalette(std::vector<unsigned char> &out, const std::vector<RGBQuadValue> &palette) {
    for (const RGBQuadValue &colour : palette) {
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
}

void AppendFourBitRows(std::vector<unsigned char> &out, const PictureImage &image,
                       const std::vector<std::uint8_t> &indexOf) {
    const std::uint32_t rowBytes = DibRowBytes(image.width, 4);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<unsigned char> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t colour = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            const unsigned value = indexOf[colour] & 0x0F;
            // The left pixel of each pair lives in the high nibble.
            row[x / 2] |= static_cast<unsigned char>(x % 2 == 0 ? value << 4 : value);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void AppendOneBitRows(std::vector<unsigned char> &out, const PictureImage &image,
                      const std::vector<bool> &isSet) {
    const std::uint32_t rowBytes = DibRowBytes(image.width, 1);
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<unsigned char> row(rowBytes, 0);
        for (int x = 0; x < image.width; ++x) {
            if (isSet[image.pixels[static_cast<std::size_t>(y) * image.width + x]]) {
                row[x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}
