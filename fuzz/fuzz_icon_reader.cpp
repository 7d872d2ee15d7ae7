// Feeds arbitrary bytes to the .ico decoder: the directory, every image in it, the choice of the
// nearest and its scaling. Seeds: tests/data/platform/icons/*.ico.
#include "engine/icon_files.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// A decoded image always holds exactly its pixels.
void Check(const IconImage &image) {
    const size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.width > maxIconSide ||
        image.height > maxIconSide || image.color.size() != count || image.mask.size() != count ||
        (!image.alpha.empty() && image.alpha.size() != count)) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<IconDirectoryEntry> entries;
    if (!ReadIconDirectory(data, size, entries)) {
        return 0;
    }
    // Entries may share their bytes; a few of them are enough to keep every input quick.
    for (size_t i = 0; i < entries.size() && i < 16; ++i) {
        IconImage image;
        if (DecodeIconImage(data, size, entries[i], image)) {
            Check(image);
        }
    }
    // The sizes asked for come from the input too, kept small.
    const int side = size > 0 ? 1 + data[size - 1] % 64 : 32;
    const int nearest = NearestIconEntry(entries, side, side);
    IconImage image;
    if (nearest >= 0 && DecodeIconFile(data, size, side, side, image)) {
        Check(image);
        const IconImage scaled = ScaleIconImage(image, side, side / 2 + 1);
        if (scaled.color.size() != static_cast<size_t>(side) * static_cast<size_t>(side / 2 + 1)) {
            __builtin_trap();
        }
    }
    return 0;
}
