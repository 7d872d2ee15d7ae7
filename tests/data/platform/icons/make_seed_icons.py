#!/usr/bin/env python3
"""Writes the small .ico files the icon tests load and embed, and the icon fuzz target starts from.

Run from this folder: python3 make_seed_icons.py
"""
import struct

BLACK, RED, GREEN, BLUE, WHITE = 0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF


def padded(data, stride):
    return bytes(data) + bytes(stride - len(data))


def pack_bits(values, bits):
    """Packs small values, the first in the high bits of its byte."""
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(values), per_byte):
        byte = 0
        for j, value in enumerate(values[i:i + per_byte]):
            byte |= value << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def image(width, height, bits, palette, pixels, mask):
    """A DIB of twice the height: the colour rows, then the AND mask, both bottom-up.

    pixels are palette indices for 8 bits and fewer, else 0xAARRGGBB; both are given top-down.
    """
    header = struct.pack('<IiiHHIIiiII', 40, width, 2 * height, 1, bits, 0, 0, 0, 0,
                         len(palette), 0)
    colours = b''.join(struct.pack('<BBBB', c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                       for c in palette)
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    rows = []
    mask_rows = []
    for y in range(height):
        row = pixels[y * width:(y + 1) * width]
        if bits <= 8:
            data = pack_bits(row, bits)
        elif bits == 24:
            data = b''.join(struct.pack('<BBB', p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF)
                            for p in row)
        else:
            data = b''.join(struct.pack('<I', p) for p in row)
        rows.append(padded(data, stride))
        mask_rows.append(padded(pack_bits(mask[y * width:(y + 1) * width], 1), mask_stride))
    return header + colours + b''.join(reversed(rows)) + b''.join(reversed(mask_rows))


def icon_file(images):
    """images: (width, height, bits, dib bytes)."""
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bits, dib in images:
        directory += struct.pack('<BBBBHHII', width % 256, height % 256, 0, 0, 1, bits, len(dib),
                                 offset)
        offset += len(dib)
    return directory + b''.join(dib for _, _, _, dib in images)


def write(name, data):
    with open(name, 'wb') as f:
        f.write(data)


# 16 x 16 at 4 bits: red on the left, blue on the right, a clear ring around.
palette16 = [BLACK, RED, GREEN, BLUE, WHITE] + [BLACK] * 11
small_pixels, small_mask = [], []
for y in range(16):
    for x in range(16):
        ring = x in (0, 15) or y in (0, 15)
        small_pixels.append(0 if ring else (1 if x < 8 else 3))
        small_mask.append(1 if ring else 0)
# 32 x 32 at 32 bits with alpha: opaque green above, half-clear red below, the first column clear.
large_pixels, large_mask = [], []
for y in range(32):
    for x in range(32):
        if x == 0:
            large_pixels.append(0)
            large_mask.append(1)
        elif y < 16:
            large_pixels.append(0xFF000000 | GREEN)
            large_mask.append(0)
        else:
            large_pixels.append(0x80000000 | RED)
            large_mask.append(0)
write('two_sizes.ico', icon_file([
    (16, 16, 4, image(16, 16, 4, palette16, small_pixels, small_mask)),
    (32, 32, 32, image(32, 32, 32, [], large_pixels, large_mask)),
]))

# 48 x 48 at 1 bit: a checker of 6-pixel squares, black at the top left; the top-left quarter
# clear.
checker_pixels, checker_mask = [], []
for y in range(48):
    for x in range(48):
        clear = x < 24 and y < 24
        checker_pixels.append(0 if clear else (x // 6 + y // 6) % 2)
        checker_mask.append(1 if clear else 0)
write('checker_48.ico', icon_file([(48, 48, 1, image(48, 48, 1, [BLACK, WHITE], checker_pixels,
                                                           checker_mask))]))
