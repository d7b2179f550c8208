#!/usr/bin/env python3
"""Writes tiles.png, the texture of textured_square.x used by tests/scene/mesh_draw_test.cpp,
byte by byte so the test knows every texel. Run from anywhere:
python3 tests/data/mesh_draw/make_fixtures.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ARGB texels, top row first; every channel differs between the four.
TILES = [
    [0xFFE03010, 0xFF20C040],
    [0xFF3050D0, 0xFFF0E080],
]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_rgb_png(name, rows):
    height, width = len(rows), len(rows[0])
    raw = b""
    for row in rows:
        raw += b"\x00"  # filter type none
        for argb in row:
            raw += bytes([(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF])
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw))
    png += chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png)


write_rgb_png("tiles.png", TILES)
