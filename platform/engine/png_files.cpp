// PNG files through libpng's simplified interface.
#include "engine/png_files.h"

#include <png.h>

#include <cstring>

bool WriteSurfacePng(const Surface &surface, const std::string &path) {
    if (!SurfaceSizeAllowed(surface.width, surface.height) ||
        surface.pixels.size() != size_t(surface.width) * size_t(surface.height)) {
        return false;
    }
    std::vector<unsigned char> rgb(surface.pixels.size() * 3);
    for (size_t i = 0; i < surface.pixels.size(); ++i) {
        const uint32_t pixel = surface.pixels[i];
        rgb[i * 3] = static_cast<unsigned char>(pixel >> 16);
        rgb[i * 3 + 1] = static_cast<unsigned char>(pixel >> 8);
        rgb[i * 3 + 2] = static_cast<unsigned char>(pixel);
    }
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(surface.width);
    image.height = static_cast<png_uint_32>(surface.height);
    image.format = PNG_FORMAT_RGB;
    const int written = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
    png_image_free(&image);
    return written != 0;
}

bool ReadSurfacePng(const std::string &path, Surface &out) {
    png_image image;
    std::memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        png_image_free(&image);
        return false;
    }
    if (image.width > static_cast<png_uint_32>(maxSurfaceSide) ||
        image.height > static_cast<png_uint_32>(maxSurfaceSide) ||
        !SurfaceSizeAllowed(static_cast<int>(image.width), static_cast<int>(image.height))) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    png_color black{0, 0, 0};
    if (!png_image_finish_read(&image, &black, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    Surface surface(static_cast<int>(image.width), static_cast<int>(image.height));
    for (size_t i = 0; i < surface.pixels.size(); ++i) {
        surface.pixels[i] =
            uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    }
    png_image_free(&image);
    out = std::move(surface);
    return true;
}
