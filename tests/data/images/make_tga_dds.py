#!/usr/bin/env python3
"""Writes the TGA and DDS fixtures of tests/gfx/image_test.cpp into this folder, byte by byte,
from the pixel tables below, so the tests know every texel. The writers are also used by
tests/data/windows/make_gallery.py. Run from anywhere: python3 tests/data/images/make_tga_dds.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The tables of make_fixtures.py: 5 x 3 ARGB, top row first.
PATTERN = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000],
    [0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080, 0xFF102030],
    [0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF],
]
ALPHAS = [0xFF, 0x80, 0x00, 0x40, 0xC0]
ALPHA_PATTERN = [[(c & 0xFFFFFF) | (ALPHAS[x] << 24) for x, c in enumerate(row)]
                 for row in PATTERN]
PURE = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF],
    [0xFF000000, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF],
]
TWO_COLOURS = [0xFF203040, 0xFFE0C0A0]
BITS = [
    [1, 0, 0, 1, 1, 1, 0, 0, 0, 1],
    [0, 1, 1, 0, 0, 0, 1, 1, 1, 0],
    [1, 1, 1, 1, 1, 1, 1, 1, 0, 0],
]
GREYS = [[0x00, 0x40, 0xA0, 0xFF]]


def write(folder, name, data):
    with open(os.path.join(folder, name), 'wb') as f:
        f.write(data)


# ---------------------------------------------------------------- TGA

def tga_pixel(c, bits):
    a, r, g, b = (c >> 24) & 0xFF, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF
    if bits == 32:
        return bytes([b, g, r, a])
    if bits == 24:
        return bytes([b, g, r])
    if bits == 16:  # A1R5G5B5
        return struct.pack('<H', (a >> 7) << 15 | (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3))
    raise ValueError(bits)


def tga_rle(values):
    """Packets over the whole pixel sequence (they may run across rows): runs of two or more
    equal values, raw packets for the rest, at most 128 pixels a packet."""
    out = bytearray()
    i = 0
    while i < len(values):
        run = 1
        while i + run < len(values) and run < 128 and values[i + run] == values[i]:
            run += 1
        if run >= 2:
            out += bytes([0x80 | (run - 1)]) + values[i]
            i += run
            continue
        raw = 1
        while (i + raw < len(values) and raw < 128 and
               (i + raw + 1 >= len(values) or values[i + raw] != values[i + raw + 1])):
            raw += 1
        out += bytes([raw - 1]) + b''.join(values[i:i + raw])
        i += raw
    return bytes(out)


def tga(rows, image_type, bits, top_down=False, colour_map=None, map_bits=24, alpha_bits=0,
        image_id=b''):
    """rows: top image row first; each value a pixel's bytes (or an index for a colour map)."""
    height, width = len(rows), len(rows[0])
    ordered = rows if top_down else list(reversed(rows))
    values = [v for row in ordered for v in row]
    data = tga_rle(values) if image_type >= 9 else b''.join(values)
    cmap = b''
    if colour_map is not None:
        cmap = b''.join(tga_pixel(c, map_bits) for c in colour_map)
    descriptor = alpha_bits | (0x20 if top_down else 0)
    header = struct.pack('<BBBHHBHHHHBB', len(image_id), 1 if colour_map else 0, image_type, 0,
                         len(colour_map or []), map_bits if colour_map else 0, 0, 0, width,
                         height, bits, descriptor)
    return header + image_id + cmap + data


def write_tgas():
    write(HERE, 'rgb24.tga', tga([[tga_pixel(c, 24) for c in r] for r in PATTERN], 2, 24))
    write(HERE, 'rgba32_rle_topdown.tga',
          tga([[tga_pixel(c, 32) for c in r] for r in ALPHA_PATTERN], 10, 32, top_down=True,
              alpha_bits=8, image_id=b'posewrighter'))
    write(HERE, 'rgb16.tga', tga([[tga_pixel(c, 16) for c in r] for r in PURE], 2, 16))
    write(HERE, 'gray8.tga', tga([[bytes([v]) for v in r] for r in GREYS], 3, 8))
    # Colour-mapped, run-length encoded: the two-colour rows give runs across row ends.
    write(HERE, 'pal8_rle.tga',
          tga([[bytes([b]) for b in r] for r in BITS], 9, 8, colour_map=TWO_COLOURS))


# ---------------------------------------------------------------- DDS

DDPF_ALPHAPIXELS, DDPF_FOURCC, DDPF_RGB, DDPF_LUMINANCE = 0x1, 0x4, 0x40, 0x20000


def dds(width, height, data, pf_flags, fourcc=b'\0\0\0\0', bits=0, masks=(0, 0, 0, 0)):
    flags = 0x1 | 0x2 | 0x4 | 0x1000  # caps, height, width, pixel format
    header = struct.pack('<IIIIIII', 124, flags, height, width, 0, 0, 0) + b'\0' * 44
    header += struct.pack('<II', 32, pf_flags) + fourcc + struct.pack('<IIIII', bits, *masks)
    header += struct.pack('<IIIII', 0x1000, 0, 0, 0, 0)
    return b'DDS ' + header + data


def dds_masked(rows, bits, masks, pf_flags):
    """Texels packed by the masks (ARGB order: red, green, blue, alpha), rows unpadded."""
    def pack(c):
        channels = [(c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF, (c >> 24) & 0xFF]
        value = 0
        for channel, mask in zip(channels, masks):
            if mask:
                shift = (mask & -mask).bit_length() - 1
                value |= ((channel * (mask >> shift) + 127) // 255) << shift
        return value.to_bytes(bits // 8, 'little')
    data = b''.join(pack(c) for row in rows for c in row)
    return dds(len(rows[0]), len(rows), data, pf_flags, bits=bits, masks=masks)


RED, GREEN, BLUE, WHITE = 0xF800, 0x07E0, 0x001F, 0xFFFF  # 5-6-5


def colour_block(c0, c1, index_rows):
    """A DXT colour block: two 5-6-5 end points and 2-bit indices, texel x at bits 2x."""
    rows = bytes(sum(i << (2 * x) for x, i in enumerate(r)) for r in index_rows)
    return struct.pack('<HH', c0, c1) + rows


def explicit_alpha(alpha_rows):
    """A DXT3 alpha block: 4 bits a texel, texel x of a row at bits 4x."""
    return b''.join(struct.pack('<H', sum(a << (4 * x) for x, a in enumerate(r)))
                    for r in alpha_rows)


def interpolated_alpha(a0, a1, index_rows):
    """A DXT5 alpha block: two end points and 3-bit indices, texel i (row-major) at bits 3i."""
    bits = 0
    for i, index in enumerate(v for r in index_rows for v in r):
        bits |= index << (3 * i)
    return bytes([a0, a1]) + bits.to_bytes(6, 'little')


def write_ddss():
    # 5 x 3 images of two blocks each; only the first column of the second block shows.
    four_colour = colour_block(RED, GREEN, [[0, 1, 2, 3], [1, 0, 3, 2], [0, 0, 1, 1], [0] * 4])
    write(HERE, 'dxt1.dds', dds(5, 3, four_colour + colour_block(
        BLUE, WHITE, [[3, 0, 0, 0], [2, 0, 0, 0], [0, 0, 0, 0], [0] * 4]), DDPF_FOURCC, b'DXT1'))
    write(HERE, 'dxt3.dds', dds(5, 3, explicit_alpha(
        [[0xF, 0x8, 0x0, 0x4], [0x1, 0x2, 0x3, 0x5], [0xF, 0xF, 0x0, 0x0], [0] * 4]) +
        four_colour + explicit_alpha([[0x0], [0xA], [0xF], [0]]) + four_colour, DDPF_FOURCC,
        b'DXT3'))
    write(HERE, 'dxt5.dds', dds(5, 3, interpolated_alpha(
        255, 0, [[0, 1, 2, 3], [1, 0, 3, 2], [0, 0, 1, 1], [0] * 4]) + four_colour +
        interpolated_alpha(255, 0, [[1, 0, 0, 0], [2, 0, 0, 0], [0] * 4, [0] * 4]) +
        four_colour, DDPF_FOURCC, b'DXT5'))

    argb = (0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    write(HERE, 'a8r8g8b8.dds', dds_masked(ALPHA_PATTERN, 32, argb, DDPF_RGB | DDPF_ALPHAPIXELS))
    # The unused byte of X8R8G8B8 is 0: it must not become alpha.
    write(HERE, 'x8r8g8b8.dds', dds_masked(PATTERN, 32, argb[:3] + (0,), DDPF_RGB))
    write(HERE, 'r8g8b8.dds', dds_masked(PATTERN, 24, argb[:3] + (0,), DDPF_RGB))
    write(HERE, 'r5g6b5.dds', dds_masked(PURE, 16, (0xF800, 0x07E0, 0x001F, 0), DDPF_RGB))
    # A1R5G5B5 with the alpha bit clear in every other column.
    half_clear = [[c & (0xFFFFFFFF if x % 2 == 0 else 0x00FFFFFF) for x, c in enumerate(r)]
                  for r in PURE]
    write(HERE, 'a1r5g5b5.dds', dds_masked(half_clear, 16, (0x7C00, 0x03E0, 0x001F, 0x8000),
                                           DDPF_RGB | DDPF_ALPHAPIXELS))
    write(HERE, 'l8.dds', dds_masked([[0xFF000000 | v * 0x010101 for v in GREYS[0]]], 8,
                                     (0xFF, 0, 0, 0), DDPF_LUMINANCE))


if __name__ == '__main__':
    write_tgas()
    write_ddss()
