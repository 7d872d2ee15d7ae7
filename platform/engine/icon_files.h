// Windows .ico files: a directory of images of several sizes and depths, each a DIB (a
// BITMAPINFOHEADER, a palette for 8 bits and fewer, the colour rows and below them the 1-bit AND
// mask, bottom-up, in one bitmap of twice the icon's height) or a PNG file, which is not decoded.
#ifndef PLATFORM_ENGINE_ICON_FILES_H
#define PLATFORM_ENGINE_ICON_FILES_H

#include <cstddef>
#include <cstdint>
#include <vector>

// The largest width or height an icon image may have, as the directory can state it.
const int maxIconSide = 256;

struct IconDirectoryEntry {
    int width = 0; // as the directory states them, a stated 0 being 256
    int height = 0;
    unsigned bits = 0; // from the image's own header when the directory leaves it 0
    size_t offset = 0;
    size_t size = 0;
    bool png = false;
};

// An icon's picture: the colours Windows XORs onto the destination where the AND mask keeps it,
// and copies where the mask clears it; or, with alpha, colours blended by it.
struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> color; // 0x00RRGGBB, rows top-down
    std::vector<uint8_t> mask;   // 1 where the AND mask keeps the destination
    std::vector<uint8_t> alpha;  // 0 clear to 255 opaque; empty when the image has none
};

// The directory of a whole .ico file. False for anything malformed: a wrong header, no images,
// an image of no bytes or one that reaches past the end or into the directory.
bool ReadIconDirectory(const unsigned char *data, size_t size,
                       std::vector<IconDirectoryEntry> &entries);

// One image of the file the entry came from: 1, 4, 8, 24 or 32 bits per pixel, uncompressed.
// A 32-bit image whose alpha bytes are all 0 has no alpha and uses its mask. False for anything
// malformed, truncated, too large or unsupported; never reads outside data or the entry's bytes.
bool DecodeIconImage(const unsigned char *data, size_t size, const IconDirectoryEntry &entry,
                     IconImage &out);

// The entry nearest width x height (the least sum of the differences of the sides; between equal
// ones the larger, then the deeper), leaving PNG images aside; -1 when there is none.
int NearestIconEntry(const std::vector<IconDirectoryEntry> &entries, int width, int height);

// The directory, and the image nearest width x height decoded.
bool DecodeIconFile(const unsigned char *data, size_t size, int width, int height, IconImage &out);

// The image stretched or shrunk to width x height (both at least 1) by nearest neighbour.
IconImage ScaleIconImage(const IconImage &image, int width, int height);

#endif
