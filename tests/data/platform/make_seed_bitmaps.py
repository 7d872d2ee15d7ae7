#!/usr/bin/env python3
"""Writes the small .bmp files the bitmap tests load and the bitmap fuzz target starts from.

Run from this folder: python3 make_seed_bitmaps.py
"""
import struct

RED, GREEN, BLUE, WHITE, BLACK = 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000


def padded(row, width, bits):
    stride = (width * bits + 31) // 32 * 4
    return bytes(row) + bytes(stride - len(row))


def info_header(width, height, bits, compression=0, colors=0):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, compression, 0, 2835, 2835,
                       colors, 0)


def core_header(width, height, bits):
    return struct.pack('<IHHHH', 12, width, height, 1, bits)


def quad(color):
    return bytes([color & 0xFF, (color >> 8) & 0xFF, color >> 16, 0])


def triple(color):
    return quad(color)[:3]


def bitmap_file(header, palette, pixels):
    offset = 14 + len(header) + len(palette)
    return b'BM' + struct.pack('<IHHI', offset + len(pixels), 0, 0, offset) + header + palette + pixels


def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)


# 4 x 3, 8 bits with a palette of four, bottom-up: red at the top left, blue at the bottom right.
rows_top_down = [[0, 1, 2, 3], [3, 3, 3, 3], [1, 1, 1, 2]]
write('palette_8bit_bottom_up.bmp',
      bitmap_file(info_header(4, 3, 8, colors=4), b''.join(quad(c) for c in (RED, GREEN, BLUE, WHITE)),
                  b''.join(padded(r, 4, 8) for r in reversed(rows_top_down))))

# 3 x 2, 24 bits, top-down.
rgb_rows = [[RED, GREEN, BLUE], [WHITE, BLACK, BLUE]]
write('rgb_24bit_top_down.bmp',
      bitmap_file(info_header(3, -2, 24), b'',
                  b''.join(padded(b''.join(triple(c) for c in r), 3, 24) for r in rgb_rows)))

# 10 x 2, 1 bit, with the old core header and its three-byte palette entries.
mono_top_down = [[0b01010101, 0b01000000], [0b11111111, 0b11000000]]
write('mono_1bit_core_header.bmp',
      bitmap_file(core_header(10, 2, 1), triple(BLACK) + triple(WHITE),
                  b''.join(padded(r, 10, 1) for r in reversed(mono_top_down))))

# 2 x 2, 16 bits with 5-6-5 bit fields, bottom-up.
def rgb565(color):
    return struct.pack('<H', ((color >> 19) << 11) | (((color >> 10) & 0x3F) << 5) | ((color & 0xFF) >> 3))


fields_top_down = [[RED, GREEN], [WHITE, BLUE]]
write('bitfields_16bit_565.bmp',
      bitmap_file(info_header(2, 2, 16, compression=3), struct.pack('<III', 0xF800, 0x07E0, 0x001F),
                  b''.join(padded(b''.join(rgb565(c) for c in r), 2, 16) for r in reversed(fields_top_down))))
