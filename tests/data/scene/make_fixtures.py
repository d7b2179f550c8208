#!/usr/bin/env python3
"""Writes the texture fixtures of tests/scene/mesh_object_test.cpp and
tests/framework/texture_cache_test.cpp into this folder, byte by byte, so the tests know every
texel. Run from anywhere: python3 tests/data/scene/make_fixtures.py
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ARGB texels, top row first.
CHECKER = [
    [0xFFFF0000, 0xFF00FF00],
    [0xFF0000FF, 0xFFFFFFFF],
]
# Same name as checker.png but for the letter case; one texel of another colour.
CHECKER_UPPER = [[0xFF102030]]


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(name, rows):
    height, width = len(rows), len(rows[0])
    raw = b""
    for row in rows:
        raw += b"\x00"  # filter type none
        for argb in row:
            raw += bytes([(argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, argb >> 24])
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw))
    png += chunk(b"IEND", b"")
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(png)


write_png("checker.png", CHECKER)
write_png("CHECKER.png", CHECKER_UPPER)
