// Builds .ico files in memory for the icon tests.
#ifndef TESTS_PLATFORM_ICON_BUILDER_H
#define TESTS_PLATFORM_ICON_BUILDER_H

#include "bitmap_builder.h"

#include <cstdint>
#include <string>
#include <vector>

struct IconPlan {
    int32_t width = 2;
    int32_t height = 2;
    uint16_t bits = 24;
    std::vector<uint32_t> palette; // 0x00RRGGBB, for 8 bits and fewer
    // Top-down: palette indices for 8 bits and fewer, else 0xAARRGGBB.
    std::vector<uint32_t> pixels;
    std::vector<uint8_t> mask; // top-down, 1 keeps the destination; empty for none kept
    // What the header says, where a test wants it to lie; 0 for the truth.
    int32_t headerHeight = 0;
    uint16_t planes = 1;
    uint32_t compression = 0;
    // Bytes to store instead of a DIB (a PNG file, say).
    std::string raw;
};

inline std::string PackedRow(const std::vector<uint32_t> &values, size_t first, size_t count,
                             unsigned bits) {
    std::string row;
    if (bits >= 16) {
        for (size_t i = 0; i < count; ++i) {
            Put(row, values[first + i], static_cast<int>(bits / 8));
        }
    } else {
        row.assign((count * bits + 7) / 8, '\0');
        for (size_t i = 0; i < count; ++i) {
            const size_t bit = i * bits;
            row[bit / 8] = static_cast<char>(
                static_cast<unsigned char>(row[bit / 8]) |
                ((values[first + i] & ((1u << bits) - 1)) << (8 - bits - bit % 8)));
        }
    }
    const size_t stride = (count * bits + 31) / 32 * 4;
    row.resize(stride, '\0');
    return row;
}

// The DIB of one image: header, palette, colour rows and mask rows, bottom-up.
inline std::string BuildIconImage(const IconPlan &plan) {
    if (!plan.raw.empty()) {
        return plan.raw;
    }
    std::string image;
    Put(image, 40, 4);
    Put(image, static_cast<uint32_t>(plan.width), 4);
    Put(image, static_cast<uint32_t>(plan.headerHeight != 0 ? plan.headerHeight : 2 * plan.height),
        4);
    Put(image, plan.planes, 2);
    Put(image, plan.bits, 2);
    Put(image, plan.compression, 4);
    for (int i = 0; i < 3; ++i) {
        Put(image, 0, 4); // image size, resolution
    }
    Put(image, static_cast<uint32_t>(plan.palette.size()), 4);
    Put(image, 0, 4);
    for (uint32_t color : plan.palette) {
        Put(image, color, 4);
    }
    const size_t width = static_cast<size_t>(plan.width);
    std::vector<uint32_t> mask(plan.mask.begin(), plan.mask.end());
    mask.resize(width * static_cast<size_t>(plan.height), 0);
    for (int32_t y = plan.height - 1; y >= 0; --y) {
        image += PackedRow(plan.pixels, static_cast<size_t>(y) * width, width, plan.bits);
    }
    for (int32_t y = plan.height - 1; y >= 0; --y) {
        image += PackedRow(mask, static_cast<size_t>(y) * width, width, 1);
    }
    return image;
}

// A whole .ico file of the images, in order, right after the directory.
inline std::string BuildIcon(const std::vector<IconPlan> &images) {
    std::string directory;
    Put(directory, 0, 2);
    Put(directory, 1, 2);
    Put(directory, static_cast<uint32_t>(images.size()), 2);
    std::string data;
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IconPlan &plan : images) {
        const std::string image = BuildIconImage(plan);
        directory += static_cast<char>(plan.width & 0xFF);
        directory += static_cast<char>(plan.height & 0xFF);
        directory += '\0'; // colours
        directory += '\0';
        Put(directory, 1, 2);
        Put(directory, plan.bits, 2);
        Put(directory, static_cast<uint32_t>(image.size()), 4);
        Put(directory, offset, 4);
        offset += static_cast<uint32_t>(image.size());
        data += image;
    }
    return directory + data;
}

#endif
