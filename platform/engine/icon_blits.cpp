// Icon images onto surfaces: mask and colours, or alpha blending, stretched by nearest neighbour.
#include "engine/icon_blits.h"

#include <algorithm>

namespace {

const uint32_t white = 0xFFFFFF;

uint32_t Blend(uint32_t over, uint32_t under, unsigned alpha) {
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const unsigned top = (over >> shift) & 0xFF;
        const unsigned bottom = (under >> shift) & 0xFF;
        result |= ((top * alpha + bottom * (255 - alpha) + 127) / 255) << shift;
    }
    return result;
}

uint32_t BlackOrWhite(uint32_t pixel) {
    const unsigned sum = ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF);
    return sum >= 3 * 128 ? white : 0;
}

} // namespace

void DrawIconImage(Surface &destination, const Box &clip, const SignedRect &target,
                   const IconImage &image, IconPart part) {
    if (target.width <= 0 || target.height <= 0 || image.width <= 0 || image.height <= 0) {
        return;
    }
    const Box bounds = Intersect(clip, destination.Bounds());
    const int64_t left = std::max<int64_t>(target.x, bounds.left);
    const int64_t right = std::min<int64_t>(int64_t(target.x) + target.width, bounds.right);
    const int64_t top = std::max<int64_t>(target.y, bounds.top);
    const int64_t bottom = std::min<int64_t>(int64_t(target.y) + target.height, bounds.bottom);
    const bool blend = part == IconPart::Both && !image.alpha.empty();
    // Each target pixel takes the image pixel under its centre.
    const auto sample = [](int64_t i, int64_t from, int64_t to) {
        return static_cast<size_t>((2 * i + 1) * from / (2 * to));
    };
    for (int64_t y = top; y < bottom; ++y) {
        const size_t row =
            sample(y - target.y, image.height, target.height) * static_cast<size_t>(image.width);
        for (int64_t x = left; x < right; ++x) {
            const size_t i = row + sample(x - target.x, image.width, target.width);
            uint32_t &pixel = destination.At(static_cast<int>(x), static_cast<int>(y));
            uint32_t drawn = pixel;
            switch (part) {
            case IconPart::Image:
                drawn = image.color[i];
                break;
            case IconPart::Mask:
                drawn = image.mask[i] != 0 ? white : 0;
                break;
            case IconPart::Both:
                drawn = blend ? Blend(image.color[i], pixel, image.alpha[i])
                              : ((image.mask[i] != 0 ? pixel : 0) ^ image.color[i]);
                break;
            }
            pixel = destination.monochrome ? BlackOrWhite(drawn) : drawn;
        }
    }
}
