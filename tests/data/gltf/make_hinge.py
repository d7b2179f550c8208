#!/usr/bin/env python3
"""Writes hinge.pwp and hinge.pwa: three cubes (base, arm, tip) under a model scale of 2, with
four keys whose rotations change hemisphere from key to key (key 2 also turns the same way as
key 1 with the opposite sign) and whose third key has a negative frame count."""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
NAMES = ["base.x", "arm.x", "tip.x"]
PATHS = ["../model/cube.x"] * 3


def quat(axis, degrees, sign=1.0):
    n = math.sqrt(sum(a * a for a in axis))
    s = math.sin(math.radians(degrees) / 2) / n
    return tuple(sign * v for v in (axis[0] * s, axis[1] * s, axis[2] * s,
                                    math.cos(math.radians(degrees) / 2)))


def num(v):
    return "%+f" % v + "f"


def vec(v):
    return "VEC3( %s, %s, %s)" % tuple(num(x) for x in v)


def q(v):
    return "QUAT( %s, %s, %s, %s)" % tuple(num(x) for x in v)


def part_file():
    lines = ["short g_meshCount = 3;", "", "float g_scale = 2.000000f;", "",
             "char g_name[3][64] = {"] + ['\t"%s",' % n for n in NAMES] + ["};", "",
             "char g_path[3][256] = {"] + ['\t"%s",' % p for p in PATHS] + ["};", "",
             "short g_parents[3] = {"]
    lines += ['\t%d,\t// %s",' % (p, n) for p, n in zip([-1, 0, 1], NAMES)] + ["};", ""]
    lines += ["short g_level[3] = {"]
    lines += ['\t%d,\t// %s",' % (p, n) for p, n in zip([0, 1, 2], NAMES)] + ["};", ""]
    positions = [(0.25, 0.5, -0.75), (0.0, 1.0, 0.5), (0.5, 1.0, 0.0)]
    rotations = [quat((0, 1, 0), 30), quat((1, 0, 0), -20), quat((1, 1, 0), 45)]
    lines += ["VEC3 g_posDef[3] = {"]
    lines += ["\t%s,\t// %s" % (vec(p), n) for p, n in zip(positions, NAMES)] + ["};", ""]
    lines += ["QUAT g_quaDef[3] = {"]
    lines += ["\t%s,\t// %s" % (q(r), n) for r, n in zip(rotations, NAMES)] + ["};", ""]
    return "\r\n".join(lines) + "\r\n"


def animation_file():
    counts = [4, 3, -2, 5]
    rotations = [
        [quat((0, 1, 0), 0), quat((1, 0, 0), 60), quat((0, 0, 1), 10)],
        [quat((0, 1, 0), 0, -1), quat((1, 0, 0), 100, -1), quat((0, 0, 1), -45, -1)],
        [quat((0, 1, 0), 90), quat((1, 1, 1), 120), quat((0, 0, 1), -45)],
        [quat((0, 1, 0), 170), quat((1, 1, 1), 120, -1), quat((1, 0, 0), 30, -1)],
    ]
    positions = [
        [(0.0, 0.0, 0.0), (0.0, 2.0, 1.0), (1.0, 2.0, 0.0)],
        [(0.5, 0.25, -1.0), (0.0, 2.0, -1.0), (1.0, 2.0, 0.5)],
        [(1.0, 0.0, 0.0), (0.5, 1.5, 1.0), (0.0, 2.0, 0.0)],
        [(0.0, 1.0, 2.0), (0.0, 2.0, 0.0), (1.0, 1.0, 1.0)],
    ]
    lines = ["short g_frameCount[4] = {%s};" % ", ".join(str(c) for c in counts), "",
             "QUAT g_qua[4][3] = {"]
    for k, key in enumerate(rotations):
        lines += ["\t%s,\t// %s" % (q(r), n) for r, n in zip(key, NAMES)]
        if k + 1 < len(rotations):
            lines.append("")
    lines += ["};", "", "VEC3 g_pos[4][3] = {"]
    for k, key in enumerate(positions):
        lines += ["\t%s,\t\t// %s" % (vec(p), n) for p, n in zip(key, NAMES)]
        if k + 1 < len(positions):
            lines.append("")
    lines += ["};", ""]
    return "\r\n".join(lines) + "\r\n"


with open(os.path.join(HERE, "hinge.pwp"), "w", newline="") as f:
    f.write(part_file())
with open(os.path.join(HERE, "hinge.pwa"), "w", newline="") as f:
    f.write(animation_file())
