#!/usr/bin/env python3
"""Writes the image fixtures of tests/gfx/image_test.cpp into this folder.

BMP and PNG files are written byte by byte from the pixel tables below, so the tests know every
texel. The JPEG files (lossy) and one interlaced PNG are made with ImageMagick's `convert`.
Run from anywhere: python3 tests/data/images/make_fixtures.py
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# 5 x 3 test pattern, ARGB, top row first. Ten distinct colours, so it fits a 4-bit palette.
PATTERN = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF000000],
    [0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080, 0xFF102030],
    [0xFF000000, 0xFFFFFFFF, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF],
]
# The pattern with a different alpha in every texel of a row.
ALPHAS = [0xFF, 0x80, 0x00, 0x40, 0xC0]
ALPHA_PATTERN = [[(c & 0xFFFFFF) | (ALPHAS[x] << 24) for x, c in enumerate(row)]
                 for row in PATTERN]
# 4 x 2 in colours whose channels are all 0 or 255 (exact in 5-bit channels).
PURE = [
    [0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF],
    [0xFF000000, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF],
]
# 10 x 3 two-colour pattern for 1-bit images (rows cross a byte boundary).
TWO_COLOURS = [0xFF203040, 0xFFE0C0A0]
BITS = [
    [1, 0, 0, 1, 1, 1, 0, 0, 0, 1],
    [0, 1, 1, 0, 0, 0, 1, 1, 1, 0],
    [1, 1, 1, 1, 1, 1, 1, 1, 0, 0],
]
# Palette used by the run-length files (index -> ARGB).
RLE_PALETTE = [0xFF000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF,
               0xFFFF00FF, 0xFF808080]


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def argb_channels(c):
    return (c >> 24) & 0xFF, (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF


def palette_of(rows):
    palette = []
    for row in rows:
        for c in row:
            if c not in palette:
                palette.append(c)
    return palette


# ---------------------------------------------------------------- BMP

def pad4(row):
    return row + b'\0' * (-len(row) % 4)


def pack_indices(indices, bits):
    out = bytearray()
    per_byte = 8 // bits
    for i in range(0, len(indices), per_byte):
        byte = 0
        for j, v in enumerate(indices[i:i + per_byte]):
            byte |= v << (8 - bits * (j + 1))
        out.append(byte)
    return bytes(out)


def bmp(width, height, bits, rows, palette=None, top_down=False, compression=0,
        header_size=40, masks=None, pixel_data=None):
    """rows: file rows already encoded (bytes each, unpadded), top image row first."""
    if pixel_data is None:
        ordered = rows if top_down else list(reversed(rows))
        pixel_data = b''.join(pad4(r) for r in ordered)
    if header_size == 12:
        info = struct.pack('<IHHHH', 12, width, height, 1, bits)
        # A core header has no colour count: the palette always has 2^bits entries.
        palette = (palette or []) + [0] * ((1 << bits) - len(palette or []))
        pal = b''.join(struct.pack('<BBB', c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)
                       for c in (palette or []))
    else:
        info = struct.pack('<IiiHHIIiiII', header_size, width, -height if top_down else height,
                           1, bits, compression, len(pixel_data), 2835, 2835,
                           len(palette or []), 0)
        if header_size > 40:
            extra = struct.pack('<IIII', *(masks or [0, 0, 0, 0]))
            info += extra + b'\0' * (header_size - 40 - len(extra))
        pal = b''.join(struct.pack('<BBBB', c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0)
                       for c in (palette or []))
    offset = 14 + len(info) + len(pal)
    header = b'BM' + struct.pack('<IHHI', offset + len(pixel_data), 0, 0, offset)
    return header + info + pal + pixel_data


def bgr24(row):
    return b''.join(struct.pack('<BBB', c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF)
                    for c in row)


def write_bmps():
    w, h = 5, 3
    rows24 = [bgr24(r) for r in PATTERN]
    write('rgb24.bmp', bmp(w, h, 24, rows24))
    write('rgb24_topdown.bmp', bmp(w, h, 24, rows24, top_down=True))
    # 32-bit without masks: the fourth byte is unused (0x7F here) and must not become alpha.
    rows32 = [b''.join(struct.pack('<I', (c & 0xFFFFFF) | 0x7F000000) for c in r)
              for r in PATTERN]
    write('rgb32.bmp', bmp(w, h, 32, rows32))
    # 32-bit with a 124-byte header and bit-field masks including alpha.
    rows_argb = [b''.join(struct.pack('<I', c) for c in r) for r in ALPHA_PATTERN]
    write('argb32_bitfields.bmp', bmp(w, h, 32, rows_argb, compression=3, header_size=124,
                                      masks=[0xFF0000, 0xFF00, 0xFF, 0xFF000000]))
    # 16-bit 5-5-5 without masks.
    def rgb555(c):
        _, r, g, b = argb_channels(c)
        return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3)
    rows16 = [b''.join(struct.pack('<H', rgb555(c)) for c in r) for r in PURE]
    write('rgb16.bmp', bmp(4, 2, 16, rows16))

    palette = palette_of(PATTERN)
    idx = [[palette.index(c) for c in r] for r in PATTERN]
    write('pal8.bmp', bmp(w, h, 8, [bytes(r) for r in idx], palette))
    write('pal8_topdown.bmp', bmp(w, h, 8, [bytes(r) for r in idx], palette, top_down=True))
    write('pal4.bmp', bmp(w, h, 4, [pack_indices(r, 4) for r in idx], palette))
    write('pal1.bmp', bmp(10, 3, 1, [pack_indices(r, 1) for r in BITS], TWO_COLOURS))
    write('core8.bmp', bmp(w, h, 8, [bytes(r) for r in idx], palette, header_size=12))

    # RLE8, 6 x 3. File rows run bottom to top.
    rle8 = bytes([
        6, 1, 0, 0,                    # bottom row: six of index 1; end of line
        0, 3, 2, 3, 4, 0, 3, 0, 0, 0,  # literal 2 3 4 (padded), three of index 0; end of line
        2, 3, 0, 2, 2, 0, 2, 4,        # top row: two of 3, skip two texels, two of 4
        0, 1,                          # end of bitmap
    ])
    write('rle8.bmp', bmp(6, 3, 8, None, RLE_PALETTE, compression=1, pixel_data=rle8))
    # RLE4, 6 x 3.
    rle4 = bytes([
        6, 0x12, 0, 0,                           # bottom row: 1 2 1 2 1 2; end of line
        0, 5, 0x34, 0x56, 0x70, 0, 1, 0x00, 0, 0,  # literal 3 4 5 6 7 (padded), one 0; eol
        3, 0x55,                                 # top row: 5 5 5, the rest skipped
        0, 1,                                    # end of bitmap
    ])
    write('rle4.bmp', bmp(6, 3, 4, None, RLE_PALETTE, compression=2, pixel_data=rle4))


# ---------------------------------------------------------------- PNG

def chunk(kind, data):
    body = kind + data
    return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, colour_type, depth, rows, plte=None, trns=None):
    """rows: raw scanlines (bytes, without the filter byte)."""
    raw = b''.join(b'\0' + r for r in rows)
    out = b'\x89PNG\r\n\x1a\n'
    out += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, depth, colour_type, 0, 0, 0))
    if plte is not None:
        out += chunk(b'PLTE', plte)
    if trns is not None:
        out += chunk(b'tRNS', trns)
    out += chunk(b'IDAT', zlib.compress(raw, 9))
    out += chunk(b'IEND', b'')
    return out


def pack_samples(values, depth):
    if depth == 16:
        return b''.join(struct.pack('>H', v) for v in values)
    if depth == 8:
        return bytes(values)
    return pack_indices(values, depth)


def write_pngs():
    w, h = 5, 3
    rgb = [b''.join(bytes(argb_channels(c)[1:]) for c in r) for r in PATTERN]
    write('rgb8.png', png(w, h, 2, 8, rgb))
    rgba = [b''.join(bytes(argb_channels(c)[1:] + argb_channels(c)[:1]) for c in r)
            for r in ALPHA_PATTERN]
    write('rgba8.png', png(w, h, 6, 8, rgba))
    # 16-bit: the high byte is the 8-bit value, the low byte 0xC0 (so rounding would differ
    # from keeping the high byte).
    def wide(values):
        return b''.join(struct.pack('>H', v << 8 | 0xC0) for v in values)
    write('rgb16.png', png(w, h, 2, 16,
                           [b''.join(wide(argb_channels(c)[1:]) for c in r) for r in PATTERN]))
    write('rgba16.png', png(w, h, 6, 16,
                            [b''.join(wide(argb_channels(c)[1:] + argb_channels(c)[:1])
                                      for c in r) for r in ALPHA_PATTERN]))

    # Gray ramps over every level of the depth (8 and 16 bits: four sample values).
    for depth in (1, 2, 4):
        levels = list(range(1 << depth))
        write('gray%d.png' % depth, png(len(levels), 1, 0, depth,
                                        [pack_samples(levels, depth)]))
    write('gray8.png', png(4, 1, 0, 8, [bytes([0x00, 0x40, 0xA0, 0xFF])]))
    write('gray16.png', png(4, 1, 0, 16, [pack_samples([0x00C0, 0x40C0, 0xA0C0, 0xFFC0], 16)]))
    # Gray with alpha: (value, alpha) pairs.
    write('graya8.png', png(3, 1, 4, 8, [bytes([0x10, 0xFF, 0x80, 0x80, 0xF0, 0x00])]))
    write('graya16.png', png(3, 1, 4, 16, [pack_samples([0x10C0, 0xFFC0, 0x80C0, 0x80C0,
                                                         0xF0C0, 0x00C0], 16)]))

    palette = palette_of(PATTERN)
    plte = b''.join(bytes(argb_channels(c)[1:]) for c in palette)
    idx = [[palette.index(c) for c in r] for r in PATTERN]
    for depth in (4, 8):
        write('pal%d.png' % depth, png(w, h, 3, depth, [pack_samples(r, depth) for r in idx],
                                       plte))
    two = b''.join(bytes(argb_channels(c)[1:]) for c in TWO_COLOURS)
    write('pal1.png', png(10, 3, 3, 1, [pack_samples(r, 1) for r in BITS], two))
    # 2-bit palette: PURE's first row is four colours.
    four = PURE[0]
    write('pal2.png', png(4, 2, 3, 2, [pack_samples([0, 1, 2, 3], 2),
                                        pack_samples([3, 2, 1, 0], 2)],
                          b''.join(bytes(argb_channels(c)[1:]) for c in four)))
    # Palette with tRNS: entries 0..2 get alphas 0x00, 0x80, 0xFF; the others stay opaque.
    write('pal8_trns.png', png(w, h, 3, 8, [bytes(r) for r in idx], plte,
                               trns=bytes([0x00, 0x80, 0xFF])))
    # Gray and RGB with a tRNS colour: texels of exactly that colour become transparent.
    write('gray8_trns.png', png(4, 1, 0, 8, [bytes([0x00, 0x40, 0xA0, 0x40])],
                                trns=struct.pack('>H', 0x40)))
    write('gray16_trns.png', png(3, 1, 0, 16, [pack_samples([0x1234, 0x1200, 0x5678], 16)],
                                 trns=struct.pack('>H', 0x1234)))
    write('rgb8_trns.png', png(w, h, 2, 8, rgb, trns=struct.pack('>HHH', 0xFF, 0x00, 0xFF)))


# ---------------------------------------------------------------- ImageMagick-made files

def convert(*args):
    subprocess.run(['convert', *args], check=True, cwd=HERE)


def write_with_imagemagick():
    # Adam7-interlaced copy of rgba8.png, forced to 8-bit RGBA.
    convert('rgba8.png', '-strip', '-interlace', 'PNG', 'PNG32:rgba8_interlaced.png')
    # 16 x 16 in four 8 x 8 quadrants: red, lime (top), blue, white (bottom).
    quadrants = ['-size', '8x8', 'xc:#FF0000', 'xc:#00FF00', '+append', '(', '-size', '8x8',
                 'xc:#0000FF', 'xc:#FFFFFF', '+append', ')', '-append']
    convert(*quadrants, '-quality', '95', '-sampling-factor', '1x1', '-strip', 'rgb.jpg')
    convert(*quadrants, '-quality', '95', '-sampling-factor', '1x1', '-interlace', 'JPEG',
            '-strip', 'progressive.jpg')
    convert(*quadrants, '-colorspace', 'CMYK', '-strip', 'cmyk.jpg')
    # Gray quadrants 0x20, 0x60 (top), 0xA0, 0xE0 (bottom), one component.
    convert('-size', '8x8', 'xc:#202020', 'xc:#606060', '+append', '(', '-size', '8x8',
            'xc:#A0A0A0', 'xc:#E0E0E0', '+append', ')', '-append', '-colorspace', 'Gray',
            '-type', 'Grayscale', '-quality', '95', '-strip', 'gray.jpg')


if __name__ == '__main__':
    write_bmps()
    write_pngs()
    write_with_imagemagick()
