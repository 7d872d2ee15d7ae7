// Windows .bmp files: the decoder, and GDI bitmaps made from the bytes of one.
#include "gdi/bitmap_files.h"

#include "gdi/gdi_objects.h"

#include <windows.h>

namespace {

const uint32_t compressionNone = 0;      // BI_RGB
const uint32_t compressionBitFields = 3; // BI_BITFIELDS
const size_t fileHeaderSize = 14;
const size_t coreHeaderSize = 12;
const size_t infoHeaderSize = 40;

uint16_t Read16(const unsigned char *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// One colour component of a bit-field pixel, scaled to eight bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;

    bool Set(uint32_t bits) {
        if (bits == 0) {
            return false;
        }
        mask = bits;
        shift = __builtin_ctz(bits);
        maximum = bits >> shift;
        return (maximum & (maximum + 1ULL)) == 0; // one run of set bits
    }

    uint32_t Of(uint32_t pixel) const {
        return static_cast<uint32_t>(((pixel & mask) >> shift) * 255ULL / maximum);
    }
};

struct Layout {
    int64_t width = 0;
    int64_t height = 0; // negative for a top-down bitmap
    unsigned bits = 0;
    uint32_t compression = compressionNone;
    size_t paletteOffset = 0;
    size_t paletteEntries = 0;
    size_t paletteEntrySize = 4;
    uint32_t masks[3] = {};
};

bool ReadLayout(const unsigned char *data, size_t size, Layout &layout) {
    if (size < fileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') {
        return false;
    }
    const unsigned char *header = data + fileHeaderSize;
    const uint32_t headerSize = Read32(header);
    const bool core = headerSize == coreHeaderSize;
    const bool known = core || headerSize == infoHeaderSize || headerSize == 52 ||
                       headerSize == 56 || headerSize == 108 || headerSize == 124;
    if (!known || size - fileHeaderSize < headerSize) {
        return false;
    }
    unsigned planes = 0;
    uint32_t colorsUsed = 0;
    if (core) {
        layout.width = Read16(header + 4);
        layout.height = Read16(header + 6);
        planes = Read16(header + 8);
        layout.bits = Read16(header + 10);
        layout.paletteEntrySize = 3;
    } else {
        layout.width = static_cast<int32_t>(Read32(header + 4));
        layout.height = static_cast<int32_t>(Read32(header + 8));
        planes = Read16(header + 12);
        layout.bits = Read16(header + 14);
        layout.compression = Read32(header + 16);
        colorsUsed = Read32(header + 32);
    }
    layout.paletteOffset = fileHeaderSize + headerSize;
    if (layout.compression == compressionBitFields) {
        // The masks close the larger headers; after a plain info header they follow it.
        const unsigned char *masks = header + infoHeaderSize;
        if (headerSize == infoHeaderSize) {
            if (size - layout.paletteOffset < 12) {
                return false;
            }
            layout.paletteOffset += 12;
        }
        for (int i = 0; i < 3; ++i) {
            layout.masks[i] = Read32(masks + 4 * i);
        }
    }
    const int64_t rows = layout.height < 0 ? -layout.height : layout.height;
    if (planes != 1 || layout.width <= 0 || layout.width > maxBitmapFileSide || rows == 0 ||
        rows > maxBitmapFileSide) {
        return false;
    }
    switch (layout.bits) {
    case 1:
    case 4:
    case 8: {
        const size_t most = size_t{1} << layout.bits;
        layout.paletteEntries = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
        // Writers of the older headers often store only the colours they use: the palette
        // ends where the pixels begin.
        const size_t pixelOffset = Read32(data + 10);
        if (pixelOffset >= layout.paletteOffset) {
            const size_t room = (pixelOffset - layout.paletteOffset) / layout.paletteEntrySize;
            layout.paletteEntries = room < layout.paletteEntries ? room : layout.paletteEntries;
        }
        return layout.compression == compressionNone &&
               (size - layout.paletteOffset) / layout.paletteEntrySize >= layout.paletteEntries;
    }
    case 16:
    case 32:
        return layout.compression == compressionNone || layout.compression == compressionBitFields;
    case 24:
        return layout.compression == compressionNone;
    default:
        return false;
    }
}

uint32_t PaletteColor(const unsigned char *entry) {
    return (static_cast<uint32_t>(entry[2]) << 16) | (static_cast<uint32_t>(entry[1]) << 8) |
           entry[0];
}

} // namespace

bool DecodeBitmapFile(const unsigned char *data, size_t size, DecodedBitmap &out) {
    Layout layout;
    if (data == nullptr || !ReadLayout(data, size, layout)) {
        return false;
    }
    const size_t width = static_cast<size_t>(layout.width);
    const size_t rows = static_cast<size_t>(layout.height < 0 ? -layout.height : layout.height);
    const size_t stride = (width * layout.bits + 31) / 32 * 4;
    const size_t pixelOffset = Read32(data + 10);
    if (pixelOffset > size || (size - pixelOffset) / stride < rows) {
        return false;
    }
    Channel channels[3];
    if (layout.bits == 16 || layout.bits == 32) {
        static const uint32_t fiveFiveFive[3] = {0x7C00, 0x03E0, 0x001F};
        static const uint32_t eightEightEight[3] = {0xFF0000, 0x00FF00, 0x0000FF};
        const uint32_t *masks = layout.compression == compressionBitFields ? layout.masks
                                : layout.bits == 16                        ? fiveFiveFive
                                                                           : eightEightEight;
        for (int i = 0; i < 3; ++i) {
            if (!channels[i].Set(masks[i])) {
                return false;
            }
        }
    }
    std::vector<uint32_t> palette(layout.paletteEntries);
    for (size_t i = 0; i < palette.size(); ++i) {
        palette[i] = PaletteColor(data + layout.paletteOffset + i * layout.paletteEntrySize);
    }
    // An index past a short palette shows black rather than reading on.
    const auto paletteColor = [&palette](unsigned index) {
        return index < palette.size() ? palette[index] : 0u;
    };
    std::vector<uint32_t> pixels(width * rows);
    for (size_t y = 0; y < rows; ++y) {
        const size_t fileRow = layout.height < 0 ? y : rows - 1 - y;
        const unsigned char *row = data + pixelOffset + fileRow * stride;
        uint32_t *target = &pixels[y * width];
        for (size_t x = 0; x < width; ++x) {
            switch (layout.bits) {
            case 1:
                target[x] = paletteColor((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                target[x] = paletteColor((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF);
                break;
            case 8:
                target[x] = paletteColor(row[x]);
                break;
            case 24:
                target[x] = PaletteColor(row + 3 * x);
                break;
            default: {
                const uint32_t value =
                    layout.bits == 16 ? Read16(row + 2 * x) : Read32(row + 4 * x);
                target[x] = (channels[0].Of(value) << 16) | (channels[1].Of(value) << 8) |
                            channels[2].Of(value);
                break;
            }
            }
        }
    }
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(rows);
    out.pixels = std::move(pixels);
    return true;
}

HBITMAP BitmapFromFileBytes(const unsigned char *data, size_t size, int width, int height) {
    DecodedBitmap bitmap;
    if (!DecodeBitmapFile(data, size, bitmap)) {
        SetLastError(ERROR_FILE_INVALID);
        return nullptr;
    }
    // Stretching to another size is not supported: asking for one fails rather than mislead.
    if ((width != 0 && width != bitmap.width) || (height != 0 && height != bitmap.height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateBitmapObject(bitmap.width, bitmap.height, std::move(bitmap.pixels));
}
