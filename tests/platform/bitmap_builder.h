// Builds .bmp files in memory for the bitmap tests.
#ifndef TESTS_PLATFORM_BITMAP_BUILDER_H
#define TESTS_PLATFORM_BITMAP_BUILDER_H

#include <cstdint>
#include <string>
#include <vector>

struct BitmapSpec {
    int32_t width = 1;
    int32_t height = 1; // negative for top-down
    uint16_t bits = 24;
    uint32_t headerSize = 40;
    uint32_t compression = 0;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    std::vector<uint32_t> masks;   // red, green, blue, for bit fields
    // Rows as stored in the file, in file order, without padding.
    std::vector<std::vector<uint8_t>> rows;
};

inline void Put(std::string &out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

inline std::string BuildBitmap(const BitmapSpec &spec) {
    std::string header;
    const bool core = spec.headerSize == 12;
    Put(header, spec.headerSize, 4);
    if (core) {
        Put(header, static_cast<uint32_t>(spec.width), 2);
        Put(header, static_cast<uint32_t>(spec.height), 2);
        Put(header, 1, 2);
        Put(header, spec.bits, 2);
    } else {
        Put(header, static_cast<uint32_t>(spec.width), 4);
        Put(header, static_cast<uint32_t>(spec.height), 4);
        Put(header, 1, 2);
        Put(header, spec.bits, 2);
        Put(header, spec.compression, 4);
        Put(header, 0, 4);    // image size
        Put(header, 2835, 4); // pixels per metre
        Put(header, 2835, 4);
        Put(header, static_cast<uint32_t>(spec.palette.size()), 4); // colours used
        Put(header, 0, 4);                                          // colours important
        if (spec.headerSize > 40) {
            for (size_t i = 0; i < 3; ++i) {
                Put(header, i < spec.masks.size() ? spec.masks[i] : 0, 4);
            }
        }
        header.resize(spec.headerSize, '\0');
        if (spec.headerSize == 40 && spec.compression == 3) {
            for (uint32_t mask : spec.masks) {
                Put(header, mask, 4);
            }
        }
    }
    for (uint32_t color : spec.palette) {
        Put(header, color, 3);
        if (!core) {
            header += '\0';
        }
    }
    std::string pixels;
    const size_t stride = (static_cast<size_t>(spec.width) * spec.bits + 31) / 32 * 4;
    for (const auto &row : spec.rows) {
        std::string line(row.begin(), row.end());
        line.resize(stride, '\0');
        pixels += line;
    }
    std::string file = "BM";
    const uint32_t offset = static_cast<uint32_t>(14 + header.size());
    Put(file, static_cast<uint32_t>(offset + pixels.size()), 4);
    Put(file, 0, 4);
    Put(file, offset, 4);
    return file + header + pixels;
}

#endif
