// The .ico decoder: the directory, the DIB images in it, choosing among them, and scaling one.
#include "engine/icon_files.h"

#include <algorithm>
#include <cstdlib>

namespace {

const size_t directoryHeaderSize = 6;
const size_t directoryEntrySize = 16;
const size_t infoHeaderSize = 40;
const uint32_t compressionNone = 0; // BI_RGB
const unsigned char pngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint16_t Read16(const unsigned char *p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t Read32(const unsigned char *p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool KnownHeaderSize(uint32_t size) {
    return size == infoHeaderSize || size == 52 || size == 56 || size == 108 || size == 124;
}

// Where the entry's bytes lie in the file, if they lie inside it at all.
bool EntryBytes(const unsigned char *data, size_t size, const IconDirectoryEntry &entry,
                const unsigned char *&bytes) {
    if (data == nullptr || entry.size == 0 || entry.offset > size ||
        size - entry.offset < entry.size) {
        return false;
    }
    bytes = data + entry.offset;
    return true;
}

} // namespace

bool ReadIconDirectory(const unsigned char *data, size_t size,
                       std::vector<IconDirectoryEntry> &entries) {
    if (data == nullptr || size < directoryHeaderSize || Read16(data) != 0 ||
        Read16(data + 2) != 1) {
        return false;
    }
    const size_t count = Read16(data + 4);
    const size_t directoryEnd = directoryHeaderSize + count * directoryEntrySize;
    if (count == 0 || size < directoryEnd) {
        return false;
    }
    std::vector<IconDirectoryEntry> read(count);
    for (size_t i = 0; i < count; ++i) {
        const unsigned char *raw = data + directoryHeaderSize + i * directoryEntrySize;
        IconDirectoryEntry &entry = read[i];
        entry.width = raw[0] == 0 ? 256 : raw[0];
        entry.height = raw[1] == 0 ? 256 : raw[1];
        entry.bits = Read16(raw + 6);
        entry.size = Read32(raw + 8);
        entry.offset = Read32(raw + 12);
        const unsigned char *bytes = nullptr;
        if (entry.offset < directoryEnd || !EntryBytes(data, size, entry, bytes)) {
            return false;
        }
        entry.png = entry.size >= sizeof(pngSignature) &&
                    std::equal(pngSignature, pngSignature + sizeof(pngSignature), bytes);
        // Older writers leave the depth to the image's header.
        if (entry.bits == 0 && !entry.png && entry.size >= infoHeaderSize) {
            entry.bits = Read16(bytes + 14);
        }
    }
    entries = std::move(read);
    return true;
}

bool DecodeIconImage(const unsigned char *data, size_t size, const IconDirectoryEntry &entry,
                     IconImage &out) {
    const unsigned char *bytes = nullptr;
    if (entry.png || !EntryBytes(data, size, entry, bytes) || entry.size < infoHeaderSize) {
        return false;
    }
    const uint32_t headerSize = Read32(bytes);
    if (!KnownHeaderSize(headerSize) || entry.size < headerSize) {
        return false;
    }
    const int64_t width = static_cast<int32_t>(Read32(bytes + 4));
    const int64_t doubledHeight = static_cast<int32_t>(Read32(bytes + 8));
    const unsigned planes = Read16(bytes + 12);
    const unsigned bits = Read16(bytes + 14);
    const uint32_t compression = Read32(bytes + 16);
    const uint32_t colorsUsed = Read32(bytes + 32);
    const int64_t height = doubledHeight / 2;
    if (width < 1 || width > maxIconSide || doubledHeight % 2 != 0 || height < 1 ||
        height > maxIconSide || planes > 1 || compression != compressionNone) {
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return false;
    }
    const size_t most = bits <= 8 ? size_t{1} << bits : 0;
    const size_t paletteEntries = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
    const size_t columns = static_cast<size_t>(width);
    const size_t rows = static_cast<size_t>(height);
    const size_t colorStride = (columns * bits + 31) / 32 * 4;
    const size_t maskStride = (columns + 31) / 32 * 4;
    const size_t paletteOffset = headerSize;
    const size_t colorOffset = paletteOffset + paletteEntries * 4;
    const size_t maskOffset = colorOffset + colorStride * rows;
    if (maskOffset + maskStride * rows > entry.size) {
        return false;
    }
    std::vector<uint32_t> palette(paletteEntries);
    for (size_t i = 0; i < paletteEntries; ++i) {
        const unsigned char *quad = bytes + paletteOffset + 4 * i;
        palette[i] = (static_cast<uint32_t>(quad[2]) << 16) |
                     (static_cast<uint32_t>(quad[1]) << 8) | quad[0];
    }
    // An index past a short palette shows black rather than reading on.
    const auto paletteColor = [&palette](unsigned index) {
        return index < palette.size() ? palette[index] : 0u;
    };
    IconImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.color.resize(columns * rows);
    image.mask.resize(columns * rows);
    std::vector<uint8_t> alpha(bits == 32 ? columns * rows : 0);
    bool anyAlpha = false;
    for (size_t y = 0; y < rows; ++y) {
        const size_t fileRow = rows - 1 - y;
        const unsigned char *row = bytes + colorOffset + fileRow * colorStride;
        const unsigned char *maskRow = bytes + maskOffset + fileRow * maskStride;
        for (size_t x = 0; x < columns; ++x) {
            const size_t i = y * columns + x;
            uint32_t color = 0;
            switch (bits) {
            case 1:
                color = paletteColor((row[x / 8] >> (7 - x % 8)) & 1);
                break;
            case 4:
                color = paletteColor((row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF);
                break;
            case 8:
                color = paletteColor(row[x]);
                break;
            case 24:
                color = (static_cast<uint32_t>(row[3 * x + 2]) << 16) |
                        (static_cast<uint32_t>(row[3 * x + 1]) << 8) | row[3 * x];
                break;
            default:
                color = (static_cast<uint32_t>(row[4 * x + 2]) << 16) |
                        (static_cast<uint32_t>(row[4 * x + 1]) << 8) | row[4 * x];
                alpha[i] = row[4 * x + 3];
                anyAlpha = anyAlpha || alpha[i] != 0;
                break;
            }
            image.color[i] = color;
            image.mask[i] = (maskRow[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    if (anyAlpha) {
        image.alpha = std::move(alpha);
    }
    out = std::move(image);
    return true;
}

int NearestIconEntry(const std::vector<IconDirectoryEntry> &entries, int width, int height) {
    int best = -1;
    int64_t bestDistance = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        const IconDirectoryEntry &entry = entries[i];
        if (entry.png) {
            continue;
        }
        const int64_t distance =
            std::llabs(int64_t(entry.width) - width) + std::llabs(int64_t(entry.height) - height);
        bool better = best < 0 || distance < bestDistance;
        if (!better && distance == bestDistance) {
            const IconDirectoryEntry &other = entries[static_cast<size_t>(best)];
            const int64_t area = int64_t(entry.width) * entry.height;
            const int64_t otherArea = int64_t(other.width) * other.height;
            better = area > otherArea || (area == otherArea && entry.bits > other.bits);
        }
        if (better) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

bool DecodeIconFile(const unsigned char *data, size_t size, int width, int height, IconImage &out) {
    std::vector<IconDirectoryEntry> entries;
    if (!ReadIconDirectory(data, size, entries)) {
        return false;
    }
    const int nearest = NearestIconEntry(entries, width, height);
    return nearest >= 0 && DecodeIconImage(data, size, entries[static_cast<size_t>(nearest)], out);
}

IconImage ScaleIconImage(const IconImage &image, int width, int height) {
    if (width == image.width && height == image.height) {
        return image;
    }
    if (width < 1 || height < 1 || image.width < 1 || image.height < 1) {
        return IconImage{};
    }
    IconImage scaled;
    scaled.width = width;
    scaled.height = height;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    scaled.color.resize(count);
    scaled.mask.resize(count);
    scaled.alpha.resize(image.alpha.empty() ? 0 : count);
    // Each target pixel takes the source pixel under its centre.
    const auto sample = [](int64_t i, int64_t from, int64_t to) {
        return static_cast<size_t>((2 * i + 1) * from / (2 * to));
    };
    for (int y = 0; y < height; ++y) {
        const size_t sy = sample(y, image.height, height);
        for (int x = 0; x < width; ++x) {
            const size_t from =
                sy * static_cast<size_t>(image.width) + sample(x, image.width, width);
            const size_t to =
                static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
            scaled.color[to] = image.color[from];
            scaled.mask[to] = image.mask[from];
            if (!image.alpha.empty()) {
                scaled.alpha[to] = image.alpha[from];
            }
        }
    }
    return scaled;
}
