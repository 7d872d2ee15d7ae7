// COLORREF values (0x00BBGGRR) at the API, pixels (0x00RRGGBB) inside: the one place they meet.
#ifndef PLATFORM_GDI_COLORS_H
#define PLATFORM_GDI_COLORS_H

#include <windows.h>

#include "engine/surface.h"

#include <cstdint>

inline uint32_t PixelFromColor(COLORREF color) {
    return (color & 0xFF) << 16 | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

inline COLORREF ColorFromPixel(uint32_t pixel) {
    return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

const uint32_t blackPixel = 0x000000;
const uint32_t whitePixel = 0xFFFFFF;

// The pixel color becomes on surface: itself, or on a monochrome surface the nearer of black and
// white.
inline uint32_t PixelForSurface(const Surface &surface, COLORREF color) {
    if (!surface.monochrome) {
        return PixelFromColor(color);
    }
    const unsigned sum = GetRValue(color) + GetGValue(color) + GetBValue(color);
    return sum >= 3 * 128 ? whitePixel : blackPixel;
}

#endif
