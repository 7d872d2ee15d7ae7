// Raster operations: how a pattern (brush), a source and the destination combine into the new
// destination pixel, bit by bit, as GDI defines them.
#ifndef PLATFORM_ENGINE_RASTER_OPS_H
#define PLATFORM_ENGINE_RASTER_OPS_H

#include <cstdint>

// A ternary raster operation given as its Win32 code (SRCCOPY, PATCOPY, ...): bits 16-23 hold the
// truth table indexed by pattern, source and destination bits. Every one of the 256 works.
uint32_t ApplyRop3(uint32_t rop, uint32_t pattern, uint32_t source, uint32_t destination);
bool Rop3UsesSource(uint32_t rop);
bool Rop3UsesPattern(uint32_t rop);
bool Rop3UsesDestination(uint32_t rop);

// A binary raster mode (R2_BLACK = 1 ... R2_WHITE = 16) combining a pen and the destination.
// Modes outside that range act as R2_COPYPEN.
uint32_t ApplyRop2(int mode, uint32_t pen, uint32_t destination);

#endif
