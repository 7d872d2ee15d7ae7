// Drawing icon images onto surfaces, stretched by nearest neighbour.
#ifndef PLATFORM_ENGINE_ICON_BLITS_H
#define PLATFORM_ENGINE_ICON_BLITS_H

#include "engine/blits.h"
#include "engine/icon_files.h"
#include "engine/surface.h"

enum class IconPart {
    // The mask ANDed onto the destination and the colours XORed onto it; an image with alpha
    // is blended by it instead, its mask left aside.
    Both,
    // The colours copied.
    Image,
    // The mask copied: white where it keeps the destination, black where it clears it.
    Mask,
};

// Draws image onto target (sizes above 0), touching only pixels inside clip and the destination.
// On a monochrome destination every pixel drawn becomes the nearer of black and white.
void DrawIconImage(Surface &destination, const Box &clip, const SignedRect &target,
                   const IconImage &image, IconPart part);

#endif
