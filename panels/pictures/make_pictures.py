#!/usr/bin/env python3
"""Draws the tool panels' 32 x 32 pictures and writes them as PNG files beside this script.

Only the standard library: the shapes are rasterised here, the PNG is written with zlib and
struct. Run it again after changing a picture: python3 panels/pictures/make_pictures.py
"""

import math
import os
import struct
import zlib

SIZE = 32
BACKGROUND = (236, 236, 236)
FRAME = (150, 150, 150)
INK = (48, 48, 48)
RED = (210, 30, 30)
GREEN = (20, 150, 40)
BLUE = (30, 70, 220)
SUN = (235, 175, 0)

# 5 x 7 letters, one string per row, "#" inked.
LETTERS = {
    "X": ["#...#", "#...#", ".#.#.", "..#..", ".#.#.", "#...#", "#...#"],
    "Y": ["#...#", "#...#", ".#.#.", "..#..", "..#..", "..#..", "..#.."],
    "Z": ["#####", "....#", "...#.", "..#..", ".#...", "#....", "#####"],
}


class Canvas:
    def __init__(self):
        self.pixels = [[BACKGROUND for _ in range(SIZE)] for _ in range(SIZE)]
        for i in range(SIZE):
            for x, y in ((i, 0), (i, SIZE - 1), (0, i), (SIZE - 1, i)):
                self.pixels[y][x] = FRAME

    def dot(self, x, y, colour):
        if 1 <= x < SIZE - 1 and 1 <= y < SIZE - 1:
            self.pixels[y][x] = colour

    def where(self, inside, colour):
        """Inks every pixel whose centre satisfies inside(x, y)."""
        for y in range(SIZE):
            for x in range(SIZE):
                if inside(x + 0.5, y + 0.5):
                    self.dot(x, y, colour)

    def line(self, ax, ay, bx, by, width, colour):
        def near(px, py):
            dx, dy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
            return math.hypot(px - ax - t * dx, py - ay - t * dy) <= width / 2

        self.where(near, colour)

    def triangle(self, points, colour):
        (ax, ay), (bx, by), (cx, cy) = points

        def side(px, py, x0, y0, x1, y1):
            return (x1 - x0) * (py - y0) - (y1 - y0) * (px - x0)

        def inside(px, py):
            s = [side(px, py, ax, ay, bx, by), side(px, py, bx, by, cx, cy),
                 side(px, py, cx, cy, ax, ay)]
            return all(v >= 0 for v in s) or all(v <= 0 for v in s)

        self.where(inside, colour)

    def arrow(self, ax, ay, bx, by, width, head, colour):
        """A shaft from a to b with a head of length `head` at b."""
        length = math.hypot(bx - ax, by - ay)
        ux, uy = (bx - ax) / length, (by - ay) / length
        baseX, baseY = bx - ux * head, by - uy * head
        self.line(ax, ay, baseX, baseY, width, colour)
        self.triangle([(bx, by), (baseX - uy * head * 0.6, baseY + ux * head * 0.6),
                       (baseX + uy * head * 0.6, baseY - ux * head * 0.6)], colour)

    def arc(self, cx, cy, radius, start, end, width, head, colour):
        """A circular arrow from angle `start` to `end` (degrees, counter-clockwise on screen),
        its head at the end."""
        step = 1 if end > start else -1
        points = [(cx + radius * math.cos(math.radians(a)), cy - radius * math.sin(math.radians(a)))
                  for a in range(start, end + step, step * 5)]
        for (x0, y0), (x1, y1) in zip(points, points[1:-1]):
            self.line(x0, y0, x1, y1, width, colour)
        (x0, y0), (x1, y1) = points[-3], points[-1]
        self.arrow(x0, y0, x1, y1, width, head, colour)

    def letter(self, name, left, top, scale, colour):
        for row, bits in enumerate(LETTERS[name]):
            for column, bit in enumerate(bits):
                if bit == "#":
                    for dy in range(scale):
                        for dx in range(scale):
                            self.dot(left + column * scale + dx, top + row * scale + dy, colour)

    def disc(self, cx, cy, radius, colour):
        self.where(lambda x, y: math.hypot(x - cx, y - cy) <= radius, colour)

    def png(self):
        raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in self.pixels)

        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

        header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0)  # 8-bit RGB
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def move_label():
    """The move row: a cross of four arrows."""
    c = Canvas()
    c.arrow(16, 16, 16, 3, 2.5, 5, INK)
    c.arrow(16, 16, 16, 29, 2.5, 5, INK)
    c.arrow(16, 16, 3, 16, 2.5, 5, INK)
    c.arrow(16, 16, 29, 16, 2.5, 5, INK)
    return c


def turn_label():
    """The turn row: a circular arrow round a pivot."""
    c = Canvas()
    c.arc(16, 16, 10, 110, 420, 2.5, 6, INK)
    c.disc(16, 16, 2.5, INK)
    return c


def axis_x():
    c = Canvas()
    c.arrow(3, 25, 29, 25, 3, 7, RED)
    c.letter("X", 10, 3, 2, RED)
    c.letter("X", 11, 3, 2, RED)
    return c


def axis_y():
    c = Canvas()
    c.arrow(8, 29, 8, 3, 3, 7, GREEN)
    c.letter("Y", 15, 6, 2, GREEN)
    c.letter("Y", 16, 6, 2, GREEN)
    return c


def axis_z():
    """Z points away from the viewer: an arrow into the picture, up to the right."""
    c = Canvas()
    c.arrow(3, 29, 14, 18, 3, 7, BLUE)
    c.letter("Z", 17, 3, 2, BLUE)
    c.letter("Z", 18, 3, 2, BLUE)
    return c


def light_tilt():
    """The light tilted up and down: a sun with a vertical two-way arrow."""
    c = Canvas()
    c.disc(11, 16, 6, SUN)
    for k in range(8):
        a = math.radians(k * 45)
        c.line(11 + 7.5 * math.cos(a), 16 + 7.5 * math.sin(a), 11 + 10 * math.cos(a),
               16 + 10 * math.sin(a), 1.5, SUN)
    c.arrow(25, 16, 25, 3, 2.5, 6, INK)
    c.arrow(25, 16, 25, 29, 2.5, 6, INK)
    return c


def light_turn():
    """The light turned round the vertical: a sun with a horizontal two-way arrow below."""
    c = Canvas()
    c.disc(16, 11, 6, SUN)
    for k in range(8):
        a = math.radians(k * 45)
        c.line(16 + 7.5 * math.cos(a), 11 + 7.5 * math.sin(a), 16 + 10 * math.cos(a),
               11 + 10 * math.sin(a), 1.5, SUN)
    c.arrow(16, 25, 3, 25, 2.5, 6, INK)
    c.arrow(16, 25, 29, 25, 2.5, 6, INK)
    return c


PICTURES = {
    "move.png": move_label,
    "turn.png": turn_label,
    "axis_x.png": axis_x,
    "axis_y.png": axis_y,
    "axis_z.png": axis_z,
    "light_tilt.png": light_tilt,
    "light_turn.png": light_turn,
}

if __name__ == "__main__":
    folder = os.path.dirname(os.path.abspath(__file__))
    for name, draw in PICTURES.items():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(draw().png())
