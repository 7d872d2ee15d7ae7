// Appending the little-endian fields of Windows file headers to a byte buffer.
#ifndef TOOLS_PICTURE_LITTLE_ENDIAN_H
#define TOOLS_PICTURE_LITTLE_ENDIAN_H

#include <cstdint>
#include <vector>

inline void Put16(std::vector<unsigned char> &out, std::uint32_t value) {
    out.push_back(static_cast<unsigned char>(value & 0xFF));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xFF));
}

inline void Put32(std::vector<unsigned char> &out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

#endif
