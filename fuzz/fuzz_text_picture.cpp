// Feeds arbitrary bytes to the text picture parser, as a bitmap and as an icon, and writes what
// it accepts. Seeds: pennakbd/res/*.txt.
#include "bmp_writer.h"
#include "ico_writer.h"
#include "text_picture.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace {

size_t Stride(int width, int bits) {
    return (static_cast<size_t>(width) * static_cast<size_t>(bits) + 31) / 32 * 4;
}

void Check(std::string_view text, PictureKind kind) {
    TextPicture picture;
    PictureError error;
    if (!ParseTextPicture(text, kind, picture, error)) {
        // A failure says why and keeps nothing.
        if (error.message.empty() || !picture.colours.empty() || !picture.images.empty()) {
            __builtin_trap();
        }
        return;
    }
    if (!IsWellFormedPicture(picture, kind)) {
        __builtin_trap();
    }
    // Each file is exactly its headers, palette and rows.
    if (kind == PictureKind::Bitmap) {
        const PictureImage &image = picture.images.front();
        const std::vector<unsigned char> file = BitmapFileBytes(picture);
        if (file.size() != 14 + 40 + 4 * picture.colours.size() +
                               Stride(image.width, 4) * static_cast<size_t>(image.height)) {
            __builtin_trap();
        }
        return;
    }
    size_t expected = 6;
    for (const PictureImage &image : picture.images) {
        const auto height = static_cast<size_t>(image.height);
        expected += 16 + 40 + 64 + (Stride(image.width, 4) + Stride(image.width, 1)) * height;
    }
    if (IconFileBytes(picture).size() != expected) {
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    Check(text, PictureKind::Bitmap);
    Check(text, PictureKind::Icon);
    return 0;
}
