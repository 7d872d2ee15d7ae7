// Raster operations evaluated from their truth tables, so that no operation needs a case of its
// own.
#include "engine/raster_ops.h"

namespace {

const uint32_t pixelMask = 0x00FFFFFF;
const int copyPen = 13;

uint32_t Rop3Table(uint32_t rop) {
    return (rop >> 16) & 0xFF;
}

} // namespace

uint32_t ApplyRop3(uint32_t rop, uint32_t pattern, uint32_t source, uint32_t destination) {
    // Bit i of the table is the result where pattern, source and destination bits read i as
    // P*4 + S*2 + D; each term selects the bit positions showing that combination.
    const uint32_t table = Rop3Table(rop);
    uint32_t result = 0;
    for (int i = 0; i < 8; ++i) {
        if ((table >> i) & 1) {
            result |= ((i & 4) ? pattern : ~pattern) & ((i & 2) ? source : ~source) &
                      ((i & 1) ? destination : ~destination);
        }
    }
    return result & pixelMask;
}

bool Rop3UsesSource(uint32_t rop) {
    const uint32_t table = Rop3Table(rop);
    return ((table >> 2) & 0x33) != (table & 0x33);
}

bool Rop3UsesDestination(uint32_t rop) {
    const uint32_t table = Rop3Table(rop);
    return ((table >> 1) & 0x55) != (table & 0x55);
}

bool Rop3UsesPattern(uint32_t rop) {
    const uint32_t table = Rop3Table(rop);
    return ((table >> 4) & 0x0F) != (table & 0x0F);
}

uint32_t ApplyRop2(int mode, uint32_t pen, uint32_t destination) {
    if (mode < 1 || mode > 16) {
        mode = copyPen;
    }
    // Bit i of (mode - 1) is the result where pen and destination bits read i as P*2 + D.
    const uint32_t table = static_cast<uint32_t>(mode - 1);
    uint32_t result = 0;
    for (int i = 0; i < 4; ++i) {
        if ((table >> i) & 1) {
            result |= ((i & 2) ? pen : ~pen) & ((i & 1) ? destination : ~destination);
        }
    }
    return result & pixelMask;
}
