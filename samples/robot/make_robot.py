#!/usr/bin/env python3
"""Writes the sample robot: twelve .x part meshes, two textures, robot.pwp and robot.pwa.

Run from anywhere: python3 samples/robot/make_robot.py. Every file is written beside this
script and the output is the same on every run.

Frame and orientation. Direct3D's left-handed frame: x right, y up, z away from a viewer
standing at -z. The robot stands with its soles on y = 0, is about 2.1 units tall to the top
of its head (2.26 with the antenna bulb) and faces +z, toward the editor's start-up camera at
(0, 2, 8). Its own right hand is therefore on +x and its left on -x; the "_l" and "_r" parts
are named from the robot's point of view (on screen the robot's left arm is on the right).

Parts. Every part's origin is its joint pivot (neck, shoulder, elbow, wrist, hip, knee; the
body's is the waist), so turning a part in the editor bends it at the joint. The meshes are
built around that origin: limbs hang down along -y from a joint ball centred on it. Each mesh
is a union of closed convex shells (boxes, bevelled boxes, capped cylinders, latitude and
longitude spheres). Flat shells carry one normal per face, round surfaces a normal per vertex.

Winding. A face with outward normal n is written so that cross(b - a, c - a) points along n
for its corners a, b, c (also for every triangle the loader fans out of a polygon); in the
left-handed frame that is clockwise seen from outside, the side Direct3D draws by default.
The script checks every shell: each edge is used once in each direction and the enclosed
volume is positive.

Textures. head.x shows face.png (32x32) on its front screen; body.x shows chest.jpg (64x64)
on its chest plate. Both are flat colours in large blocks, so a texel colour can be found on
screen. The screen material is fully emissive (white), so its lit colour saturates and the
screen shows the texels unchanged whatever the light: the eyes are exactly (0, 230, 255).
The JPEG is made from a PNG this script writes to a temporary folder, with ImageMagick:

    convert chest-source.png -strip -sampling-factor 1x1 -quality 95 chest.jpg

(-strip leaves out metadata so the file does not change between runs; 1x1 sampling keeps the
colour edges sharp.)

Animation. robot.pwa is a walk in place in four keys of 10 frames each: left foot forward,
passing on the left leg, right foot forward, passing on the right leg. Playback wraps from the
last key to the first, so the fourth key leads straight into the first and the cycle has no
pause; the body's height in each key puts the lowest point of the feet on the ground.
"""

import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CRLF = "\r\n"

# ---------------------------------------------------------------------------------------------
# Small vector helpers (tuples of three floats).


def add(a, b):
    return (a[0] + b[0], a[1] + b[1], a[2] + b[2])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1], a[2] - b[2])


def scale(a, k):
    return (a[0] * k, a[1] * k, a[2] * k)


def dot(a, b):
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]


def cross(a, b):
    return (a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0])


def normalize(a):
    length = math.sqrt(dot(a, a))
    return scale(a, 1.0 / length)


def centroid(points):
    return scale(
        (sum(p[0] for p in points), sum(p[1] for p in points), sum(p[2] for p in points)),
        1.0 / len(points),
    )


def area_vector(points):
    """Newell's sum: twice the polygon's area along its normal, by the order of its corners."""
    total = (0.0, 0.0, 0.0)
    for i, p in enumerate(points):
        total = add(total, cross(p, points[(i + 1) % len(points)]))
    return total


# ---------------------------------------------------------------------------------------------
# Materials: diffuse RGBA, power, specular RGB, emissive RGB, texture file name or None.


class Material:
    def __init__(self, name, diffuse, power, specular, emissive=(0.0, 0.0, 0.0), texture=None):
        self.name = name
        self.diffuse = diffuse
        self.power = power
        self.specular = specular
        self.emissive = emissive
        self.texture = texture


PAINT = Material("BluePaint", (0.30, 0.42, 0.68, 1.0), 24.0, (0.45, 0.45, 0.50))
SHELL = Material("LightShell", (0.80, 0.82, 0.85, 1.0), 16.0, (0.35, 0.35, 0.35))
JOINT = Material("DarkJoint", (0.22, 0.22, 0.25, 1.0), 40.0, (0.60, 0.60, 0.60))
ACCENT = Material("OrangeAccent", (0.95, 0.55, 0.10, 1.0), 12.0, (0.30, 0.25, 0.20))
RUBBER = Material("BlackRubber", (0.12, 0.12, 0.13, 1.0), 4.0, (0.05, 0.05, 0.05))
BULB = Material("RedBulb", (0.90, 0.10, 0.10, 1.0), 30.0, (0.80, 0.80, 0.80), (0.45, 0.05, 0.05))
# The face screen glows: full emissive saturates the lit colour, so the texels show unchanged.
SCREEN = Material("FaceScreen", (1.0, 1.0, 1.0, 1.0), 1.0, (0.0, 0.0, 0.0), (1.0, 1.0, 1.0),
                  "face.png")
CHEST = Material("ChestPanel", (1.0, 1.0, 1.0, 1.0), 10.0, (0.20, 0.20, 0.20), (0.0, 0.0, 0.0),
                 "chest.jpg")

# ---------------------------------------------------------------------------------------------
# Mesh building.


def position_key(p):
    return tuple(round(c, 6) + 0.0 for c in p)  # + 0.0 turns -0.0 into 0.0


class MeshBuilder:
    """Collects polygons of closed convex shells into one indexed mesh.

    Positions are shared inside a shell (so its faces meet at common vertices), never between
    shells. A corner's normal is stored apart from its position, as the .x MeshNormals
    template allows, so flat faces and round surfaces are both exact.
    """

    def __init__(self, name):
        self.name = name
        self.positions = []
        self.uvs = []  # per position; None where no textured face uses it
        self.normals = []
        self.normal_index = {}
        self.faces = []  # (position indices, normal indices, material)
        self.materials = []
        self.shell_vertices = None
        self.shell_faces = None
        self.shell_centre = None
        self.shells = []  # (first face, face count) for the checks

    def begin_shell(self, centre):
        self.shell_vertices = {}
        self.shell_centre = centre
        self.shells.append((len(self.faces), 0))

    def _vertex(self, p, uv):
        key = position_key(p)
        index = self.shell_vertices.get(key)
        if index is None:
            index = len(self.positions)
            self.shell_vertices[key] = index
            self.positions.append(key)
            self.uvs.append(uv)
        elif uv is not None:
            if self.uvs[index] is not None and self.uvs[index] != uv:
                raise ValueError(f"{self.name}: two texture coordinates at {key}")
            self.uvs[index] = uv
        return index

    def _normal(self, n):
        key = position_key(normalize(n))
        if key not in self.normal_index:
            self.normal_index[key] = len(self.normals)
            self.normals.append(key)
        return self.normal_index[key]

    def _material(self, material):
        if material not in self.materials:
            self.materials.append(material)
        return self.materials.index(material)

    def polygon(self, points, material, normals=None, uv_of=None):
        """Adds a convex planar polygon of the current (convex) shell.

        The corners are turned, if needed, so that they run counter-clockwise about the
        outward normal (the side away from the shell's centre). normals: one per corner for
        a smooth surface, None for a flat face. uv_of: maps a corner to its texture
        coordinate, for the textured faces.
        """
        points = list(points)
        normals = list(normals) if normals is not None else None
        outward = sub(centroid(points), self.shell_centre)
        facing = area_vector(points)
        if dot(facing, outward) < 0:
            points.reverse()
            if normals is not None:
                normals.reverse()
            facing = scale(facing, -1.0)
        if normals is None:
            normals = [facing] * len(points)
        vertex_ids = [self._vertex(p, uv_of(p) if uv_of else None) for p in points]
        normal_ids = [self._normal(n) for n in normals]
        self.faces.append((vertex_ids, normal_ids, self._material(material)))
        first, count = self.shells[-1]
        self.shells[-1] = (first, count + 1)

    # -- checks --------------------------------------------------------------------------------

    def check(self):
        for first, count in self.shells:
            faces = self.faces[first:first + count]
            directed = {}
            volume = 0.0
            for vertex_ids, _, _ in faces:
                corners = [self.positions[v] for v in vertex_ids]
                # The loader fans polygons as (0, k, k + 1); each triangle must face outward
                # like the polygon.
                normal = area_vector(corners)
                for k in range(1, len(corners) - 1):
                    a, b, c = corners[0], corners[k], corners[k + 1]
                    if dot(cross(sub(b, a), sub(c, a)), normal) <= 0:
                        raise ValueError(f"{self.name}: a fanned triangle turns inward")
                    volume += dot(a, cross(b, c)) / 6.0
                for i, v in enumerate(vertex_ids):
                    edge = (v, vertex_ids[(i + 1) % len(vertex_ids)])
                    if edge in directed:
                        raise ValueError(f"{self.name}: edge {edge} used twice the same way")
                    directed[edge] = True
            for a, b in directed:
                if (b, a) not in directed:
                    raise ValueError(f"{self.name}: open edge {a}-{b}")
            if volume <= 0:
                raise ValueError(f"{self.name}: a shell encloses no volume")
        if len(self.positions) > 65535:
            raise ValueError(f"{self.name}: too many vertices for 16-bit indices")


# ---------------------------------------------------------------------------------------------
# Shells.

AXES = {"x": 0, "y": 1, "z": 2}


def box(mesh, lo, hi, material, textured_side=None, texture_material=None):
    """An axis-aligned box from corner lo to corner hi, flat faces.

    textured_side: "+z" to put texture_material on the +z face, mapped whole (see front_uv).
    """
    centre = scale(add(lo, hi), 0.5)
    mesh.begin_shell(centre)

    def corner(sx, sy, sz):
        return (hi[0] if sx > 0 else lo[0], hi[1] if sy > 0 else lo[1], hi[2] if sz > 0 else lo[2])

    for axis in range(3):
        for sign in (-1, 1):
            u_axis, v_axis = [a for a in range(3) if a != axis]
            quad = []
            for su, sv in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                s = [0, 0, 0]
                s[axis], s[u_axis], s[v_axis] = sign, su, sv
                quad.append(corner(*s))
            if textured_side == "+z" and axis == 2 and sign > 0:
                mesh.polygon(quad, texture_material, uv_of=front_uv(quad))
            else:
                mesh.polygon(quad, material)


def bevel_box(mesh, lo, hi, bevel, material, textured_side=None, texture_material=None):
    """A box with chamfered edges and corners: 6 inset faces, 12 edge strips, 8 corner
    triangles, all flat."""
    centre = scale(add(lo, hi), 0.5)
    half = scale(sub(hi, lo), 0.5)
    mesh.begin_shell(centre)

    def point(signs, axis):
        # The corner with these signs, pulled in by the bevel along the two axes other than
        # axis: the corner's vertex on the face whose normal is that axis.
        return tuple(
            centre[a] + signs[a] * (half[a] if a == axis else half[a] - bevel) for a in range(3))

    for axis in range(3):
        for sign in (-1, 1):
            u_axis, v_axis = [a for a in range(3) if a != axis]
            quad = []
            for su, sv in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                s = [0, 0, 0]
                s[axis], s[u_axis], s[v_axis] = sign, su, sv
                quad.append(point(s, axis))
            if textured_side == "+z" and axis == 2 and sign > 0:
                mesh.polygon(quad, texture_material, uv_of=front_uv(quad))
            else:
                mesh.polygon(quad, material)
    for a1 in range(3):
        for a2 in range(a1 + 1, 3):
            a3 = 3 - a1 - a2
            for s1 in (-1, 1):
                for s2 in (-1, 1):
                    ends = []
                    for t in (-1, 1):
                        s = [0, 0, 0]
                        s[a1], s[a2], s[a3] = s1, s2, t
                        ends.append(s)
                    strip = [point(ends[0], a1), point(ends[0], a2), point(ends[1], a2),
                             point(ends[1], a1)]
                    mesh.polygon(strip, material)
    for sx in (-1, 1):
        for sy in (-1, 1):
            for sz in (-1, 1):
                s = (sx, sy, sz)
                mesh.polygon([point(s, 0), point(s, 1), point(s, 2)], material)


def front_uv(quad):
    """Maps a +z-facing rectangle onto the whole texture as seen from the front (from +z,
    looking toward -z, world +x is on the viewer's left): u = 0 at the largest x, v = 0 at
    the top."""
    xs = [p[0] for p in quad]
    ys = [p[1] for p in quad]
    x0, x1, y0, y1 = min(xs), max(xs), min(ys), max(ys)

    def uv(p):
        return (round((x1 - p[0]) / (x1 - x0), 6) + 0.0, round((y1 - p[1]) / (y1 - y0), 6) + 0.0)

    return uv


def cylinder(mesh, centre, axis, radius, start, end, segments, side_material, cap_material=None):
    """A capped cylinder along axis ("x", "y" or "z") through centre, from start to end along
    that axis: smooth side, flat caps fanned from their centres."""
    cap_material = cap_material or side_material
    a = AXES[axis]
    u_axis, v_axis = [k for k in range(3) if k != a]

    def at(offset, angle, r=radius):
        p = list(centre)
        p[a] += offset
        p[u_axis] += r * math.cos(angle)
        p[v_axis] += r * math.sin(angle)
        return tuple(p)

    def radial(angle):
        n = [0.0, 0.0, 0.0]
        n[u_axis] = math.cos(angle)
        n[v_axis] = math.sin(angle)
        return tuple(n)

    middle = list(centre)
    middle[a] += (start + end) / 2
    mesh.begin_shell(tuple(middle))
    angles = [2 * math.pi * i / segments for i in range(segments)]
    for i in range(segments):
        a0, a1 = angles[i], angles[(i + 1) % segments]
        mesh.polygon([at(start, a0), at(start, a1), at(end, a1), at(end, a0)], side_material,
                     normals=[radial(a0), radial(a1), radial(a1), radial(a0)])
    for offset in (start, end):
        hub = at(offset, 0.0, 0.0)
        for i in range(segments):
            a0, a1 = angles[i], angles[(i + 1) % segments]
            mesh.polygon([hub, at(offset, a0), at(offset, a1)], cap_material)


def sphere(mesh, centre, radius, bands, segments, material):
    """A smooth sphere from latitude bands and longitude segments, one vertex at each pole."""
    mesh.begin_shell(centre)

    def at(band, segment):
        theta = math.pi * band / bands  # 0 at the top pole
        phi = 2 * math.pi * segment / segments
        n = (math.sin(theta) * math.cos(phi), math.cos(theta), math.sin(theta) * math.sin(phi))
        if band in (0, bands):
            n = (0.0, math.cos(theta), 0.0)
        return add(centre, scale(n, radius)), n

    for band in range(bands):
        for segment in range(segments):
            corners = [at(band, segment), at(band, segment + 1), at(band + 1, segment + 1),
                       at(band + 1, segment)]
            if band == 0:
                corners = corners[1:]  # the two top corners are the pole
            elif band == bands - 1:
                corners = corners[:3]  # the two bottom corners are the pole
            mesh.polygon([c[0] for c in corners], material, normals=[c[1] for c in corners])


# ---------------------------------------------------------------------------------------------
# The parts. Each function builds one mesh around the part's joint origin.


def make_body():
    mesh = MeshBuilder("Body")
    bevel_box(mesh, (-0.34, 0.0, -0.21), (0.34, 0.75, 0.21), 0.05, PAINT)  # torso
    box(mesh, (-0.28, -0.16, -0.17), (0.28, 0.02, 0.17), JOINT)  # pelvis
    box(mesh, (-0.18, 0.28, 0.19), (0.18, 0.64, 0.235), JOINT, "+z", CHEST)  # chest plate
    return mesh


def make_head():
    mesh = MeshBuilder("Head")
    cylinder(mesh, (0, 0, 0), "y", 0.07, -0.02, 0.08, 12, JOINT)  # neck
    bevel_box(mesh, (-0.22, 0.06, -0.19), (0.22, 0.38, 0.19), 0.04, SHELL, "+z", SCREEN)
    cylinder(mesh, (0, 0.22, 0), "x", 0.06, -0.26, -0.20, 16, ACCENT)  # ears
    cylinder(mesh, (0, 0.22, 0), "x", 0.06, 0.20, 0.26, 16, ACCENT)
    cylinder(mesh, (0, 0, 0), "y", 0.015, 0.36, 0.50, 8, JOINT)  # antenna
    sphere(mesh, (0, 0.52, 0), 0.035, 6, 10, BULB)
    return mesh


def make_upper_arm(name):
    mesh = MeshBuilder(name)
    sphere(mesh, (0, 0, 0), 0.11, 8, 16, JOINT)  # shoulder
    cylinder(mesh, (0, 0, 0), "y", 0.085, -0.38, -0.06, 16, PAINT)
    return mesh


def make_lower_arm(name):
    mesh = MeshBuilder(name)
    sphere(mesh, (0, 0, 0), 0.08, 8, 16, JOINT)  # elbow
    cylinder(mesh, (0, 0, 0), "y", 0.075, -0.36, -0.03, 16, SHELL)
    return mesh


def make_hand(name):
    mesh = MeshBuilder(name)
    cylinder(mesh, (0, 0, 0), "y", 0.05, -0.07, 0.01, 12, JOINT)  # wrist
    bevel_box(mesh, (-0.065, -0.21, -0.085), (0.065, -0.05, 0.085), 0.025, ACCENT)  # mitt
    return mesh


def make_upper_leg(name):
    mesh = MeshBuilder(name)
    sphere(mesh, (0, 0, 0), 0.12, 8, 16, JOINT)  # hip
    cylinder(mesh, (0, 0, 0), "y", 0.10, -0.40, -0.05, 16, PAINT)
    return mesh


FOOT_LO = (-0.10, -0.46, -0.10)
FOOT_HI = (0.10, -0.36, 0.22)


def make_lower_leg(name):
    mesh = MeshBuilder(name)
    sphere(mesh, (0, 0, 0), 0.09, 8, 16, JOINT)  # knee
    cylinder(mesh, (0, 0, 0), "y", 0.085, -0.38, -0.03, 16, SHELL)  # shin
    bevel_box(mesh, FOOT_LO, FOOT_HI, 0.025, RUBBER)  # foot, toes toward +z
    return mesh


# ---------------------------------------------------------------------------------------------
# .x text output.


def number(value):
    text = "%.6f" % (round(value, 6) + 0.0)
    text = text.rstrip("0")
    return text + "0" if text.endswith(".") else text


def write_x(path, mesh, comment):
    mesh.check()
    lines = ["xof 0302txt 0032", "// " + comment, ""]
    out = lines.append
    out(f"Mesh {mesh.name} {{")
    out(f"  {len(mesh.positions)};")
    for i, p in enumerate(mesh.positions):
        end = ";" if i == len(mesh.positions) - 1 else ","
        out(f"  {number(p[0])};{number(p[1])};{number(p[2])};{end}")
    out(f"  {len(mesh.faces)};")
    for i, (vertex_ids, _, _) in enumerate(mesh.faces):
        end = ";" if i == len(mesh.faces) - 1 else ","
        out(f"  {len(vertex_ids)};{','.join(map(str, vertex_ids))};{end}")
    out("")
    out("  MeshNormals {")
    out(f"    {len(mesh.normals)};")
    for i, n in enumerate(mesh.normals):
        end = ";" if i == len(mesh.normals) - 1 else ","
        out(f"    {number(n[0])};{number(n[1])};{number(n[2])};{end}")
    out(f"    {len(mesh.faces)};")
    for i, (_, normal_ids, _) in enumerate(mesh.faces):
        end = ";" if i == len(mesh.faces) - 1 else ","
        out(f"    {len(normal_ids)};{','.join(map(str, normal_ids))};{end}")
    out("  }")
    if any(m.texture for m in mesh.materials):
        out("")
        out("  MeshTextureCoords {")
        out(f"    {len(mesh.uvs)};")
        for i, uv in enumerate(mesh.uvs):
            u, v = uv if uv is not None else (0.0, 0.0)
            end = ";" if i == len(mesh.uvs) - 1 else ","
            out(f"    {number(u)};{number(v)};{end}")
        out("  }")
    out("")
    out("  MeshMaterialList {")
    out(f"    {len(mesh.materials)};")
    out(f"    {len(mesh.faces)};")
    for i, (_, _, material) in enumerate(mesh.faces):
        end = ";" if i == len(mesh.faces) - 1 else ","
        out(f"    {material}{end}")
    for m in mesh.materials:
        out(f"    Material {m.name} {{")
        out("      " + "".join(number(c) + ";" for c in m.diffuse) + ";")
        out(f"      {number(m.power)};")
        out("      " + "".join(number(c) + ";" for c in m.specular) + ";")
        out("      " + "".join(number(c) + ";" for c in m.emissive) + ";")
        if m.texture:
            out(f'      TextureFilename {{ "{m.texture}"; }}')
        out("    }")
    out("  }")
    out("}")
    write_text(path, lines)


def write_text(path, lines):
    with open(path, "wb") as f:
        f.write((CRLF.join(lines) + CRLF).encode("ascii"))


# ---------------------------------------------------------------------------------------------
# Textures.


def write_png(path, width, height, pixel):
    """An 8-bit RGB PNG; pixel(x, y) gives (r, g, b) with y = 0 at the top."""
    rows = b"".join(
        b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


# The face screen, 32x32: dark blue glass, two cyan eyes, a pink mouth.
FACE_GLASS = (20, 30, 80)
FACE_EYE = (0, 230, 255)
FACE_MOUTH = (255, 40, 170)


def face_pixel(x, y):
    if 8 <= y < 16 and (6 <= x < 14 or 18 <= x < 26):
        return FACE_EYE
    if 21 <= y < 25 and 9 <= x < 23:
        return FACE_MOUTH
    return FACE_GLASS


# The chest panel, 64x64: a grey panel with a dark frame, a red power core and three lamps
# (green, yellow, blue from the viewer's left).
CHEST_FRAME = (60, 60, 70)
CHEST_PANEL = (210, 214, 220)
CHEST_CORE = (230, 40, 40)
CHEST_LAMPS = ((40, 200, 60), (250, 210, 30), (40, 110, 240))


def chest_pixel(x, y):
    if x < 4 or y < 4 or x >= 60 or y >= 60:
        return CHEST_FRAME
    if (x - 31.5) ** 2 + (y - 25.5) ** 2 <= 13.0 ** 2:
        return CHEST_CORE
    if 44 <= y < 52:
        for i, colour in enumerate(CHEST_LAMPS):
            if 10 + 16 * i <= x < 22 + 16 * i:
                return colour
    return CHEST_PANEL


def write_chest_jpeg(path):
    convert = shutil.which("convert")
    if convert is None:
        sys.exit("make_robot.py: ImageMagick's convert is needed to write chest.jpg")
    with tempfile.TemporaryDirectory() as folder:
        source = os.path.join(folder, "chest-source.png")
        write_png(source, 64, 64, chest_pixel)
        subprocess.run([convert, source, "-strip", "-sampling-factor", "1x1", "-quality", "95",
                        path], check=True)


# ---------------------------------------------------------------------------------------------
# The part tree, in depth-first order: (file, parent index, position in the parent's frame).
# Left is the robot's own left, -x.

PARTS = [
    ("body.x", -1, (0.0, 0.95, 0.0)),
    ("head.x", 0, (0.0, 0.75, 0.0)),
    ("upper_arm_l.x", 0, (-0.47, 0.62, 0.0)),
    ("lower_arm_l.x", 2, (0.0, -0.40, 0.0)),
    ("hand_l.x", 3, (0.0, -0.36, 0.0)),
    ("upper_arm_r.x", 0, (0.47, 0.62, 0.0)),
    ("lower_arm_r.x", 5, (0.0, -0.40, 0.0)),
    ("hand_r.x", 6, (0.0, -0.36, 0.0)),
    ("upper_leg_l.x", 0, (-0.18, -0.05, 0.0)),
    ("lower_leg_l.x", 8, (0.0, -0.44, 0.0)),
    ("upper_leg_r.x", 0, (0.18, -0.05, 0.0)),
    ("lower_leg_r.x", 10, (0.0, -0.44, 0.0)),
]
NAMES = [p[0] for p in PARTS]
INDEX = {name: i for i, name in enumerate(NAMES)}

MESHES = {
    "body.x": (make_body, "The body: torso, pelvis and a chest plate textured from chest.jpg."),
    "head.x": (make_head, "The head: neck, a face screen textured from face.png, ears and an "
               "antenna."),
    "upper_arm_l.x": (lambda: make_upper_arm("UpperArmL"), "Left upper arm, from the shoulder."),
    "lower_arm_l.x": (lambda: make_lower_arm("LowerArmL"), "Left forearm, from the elbow."),
    "hand_l.x": (lambda: make_hand("HandL"), "Left hand, from the wrist."),
    "upper_arm_r.x": (lambda: make_upper_arm("UpperArmR"), "Right upper arm, from the shoulder."),
    "lower_arm_r.x": (lambda: make_lower_arm("LowerArmR"), "Right forearm, from the elbow."),
    "hand_r.x": (lambda: make_hand("HandR"), "Right hand, from the wrist."),
    "upper_leg_l.x": (lambda: make_upper_leg("UpperLegL"), "Left thigh, from the hip."),
    "lower_leg_l.x": (lambda: make_lower_leg("LowerLegL"), "Left shin and foot, from the knee."),
    "upper_leg_r.x": (lambda: make_upper_leg("UpperLegR"), "Right thigh, from the hip."),
    "lower_leg_r.x": (lambda: make_lower_leg("LowerLegR"), "Right shin and foot, from the "
                      "knee."),
}


def levels():
    result = []
    for _, parent, _ in PARTS:
        result.append(0 if parent < 0 else result[parent] + 1)
    return result


# ---------------------------------------------------------------------------------------------
# Part and animation files (fixed line layout, CR LF line ends).

IDENTITY = (0.0, 0.0, 0.0, 1.0)


def signed(value):
    return "%+1.6ff" % value


def vec3(v):
    return f"VEC3( {signed(v[0])}, {signed(v[1])}, {signed(v[2])})"


def quat(q):
    return f"QUAT( {signed(q[0])}, {signed(q[1])}, {signed(q[2])}, {signed(q[3])})"


def write_part_file(path):
    n = len(PARTS)
    lines = [f"short g_meshCount = {n};", "", "float g_scale = %ff;" % 1.0, ""]
    lines.append(f"char g_name[{n}][64] = {{")
    lines += [f'\t"{name}",' for name in NAMES]
    lines += ["};", "", f"char g_path[{n}][256] = {{"]
    lines += [f'\t"{name}",' for name in NAMES]  # found beside the part file
    lines += ["};", "", f"short g_parents[{n}] = {{"]
    lines += [f'\t{parent},\t// {name}",' for name, parent, _ in PARTS]
    lines += ["};", "", f"short g_level[{n}] = {{"]
    lines += [f'\t{level},\t// {name}",' for name, level in zip(NAMES, levels())]
    lines += ["};", "", f"VEC3 g_posDef[{n}] = {{"]
    lines += [f"\t{vec3(position)},\t// {name}" for name, _, position in PARTS]
    lines += ["};", "", f"QUAT g_quaDef[{n}] = {{"]
    lines += [f"\t{quat(IDENTITY)},\t// {name}" for name in NAMES]
    lines += ["};", ""]
    write_text(path, lines)


def turn_x(degrees):
    """Quaternion (x, y, z, w) of a turn about the x axis. With the row-vector matrices a
    positive turn moves a downward limb toward -z, backward for this robot."""
    half = math.radians(degrees) / 2
    return (math.sin(half), 0.0, 0.0, math.cos(half))


# Leg and arm angles of each key, in degrees about x (negative swings forward, toward +z).
# Key 1: left foot forward; key 2: passing on the left leg; keys 3 and 4 mirror them.
STEP = {
    "upper_leg_l.x": -20, "lower_leg_l.x": 5, "upper_leg_r.x": 20, "lower_leg_r.x": 30,
    "upper_arm_l.x": 18, "lower_arm_l.x": -10, "upper_arm_r.x": -18, "lower_arm_r.x": -25,
}
PASS = {
    "upper_leg_l.x": 0, "lower_leg_l.x": 0, "upper_leg_r.x": -30, "lower_leg_r.x": 40,
    "upper_arm_l.x": 3, "lower_arm_l.x": -12, "upper_arm_r.x": -3, "lower_arm_r.x": -15,
}
FRAMES_PER_KEY = 10


def mirrored(pose):
    def swap(name):
        return name.replace("_l.", "_x.").replace("_r.", "_l.").replace("_x.", "_r.")

    return {swap(name): angle for name, angle in pose.items()}


def lowest_foot_point(pose):
    """The lowest y of either sole's corners, relative to the body's origin. The legs turn
    only about x, so y and z are enough."""
    lowest = math.inf
    for side in ("l", "r"):
        upper, lower = f"upper_leg_{side}.x", f"lower_leg_{side}.x"
        hip_y = PARTS[INDEX[upper]][2][1]
        knee_y = PARTS[INDEX[lower]][2][1]
        thigh = math.radians(pose.get(upper, 0))
        shin = thigh + math.radians(pose.get(lower, 0))
        # Turning by a about x maps (y, z) to (y cos a - z sin a, y sin a + z cos a).
        knee = (hip_y + knee_y * math.cos(thigh), knee_y * math.sin(thigh))
        for y in (FOOT_LO[1], FOOT_HI[1]):
            for z in (FOOT_LO[2], FOOT_HI[2]):
                lowest = min(lowest, knee[0] + y * math.cos(shin) - z * math.sin(shin))
    return lowest


def write_animation_file(path):
    keys = [STEP, PASS, mirrored(STEP), mirrored(PASS)]
    lines = ["short g_frameCount[%d] = {%s};" %
             (len(keys), ", ".join(str(FRAMES_PER_KEY) for _ in keys)), ""]
    lines.append(f"QUAT g_qua[{len(keys)}][{len(PARTS)}] = {{")
    for k, pose in enumerate(keys):
        if k > 0:
            lines.append("")
        for name in NAMES:
            q = turn_x(pose[name]) if name in pose else IDENTITY
            lines.append(f"\t{quat(q)},\t// {name}")
    lines += ["};", "", f"VEC3 g_pos[{len(keys)}][{len(PARTS)}] = {{"]
    for k, pose in enumerate(keys):
        if k > 0:
            lines.append("")
        for name, _, position in PARTS:
            if name == "body.x":  # the body bobs so that the feet stay on the ground
                position = (0.0, round(-lowest_foot_point(pose), 6), 0.0)
            lines.append(f"\t{vec3(position)},\t\t// {name}")
    lines += ["};", ""]
    write_text(path, lines)


# ---------------------------------------------------------------------------------------------


def main():
    for name, (make, comment) in MESHES.items():
        write_x(os.path.join(HERE, name), make(), comment)
    write_png(os.path.join(HERE, "face.png"), 32, 32, face_pixel)
    write_chest_jpeg(os.path.join(HERE, "chest.jpg"))
    write_part_file(os.path.join(HERE, "robot.pwp"))
    write_animation_file(os.path.join(HERE, "robot.pwa"))
    # Standing, the soles touch the ground: the body's origin is the legs' length up.
    standing = -lowest_foot_point({})
    if abs(standing - PARTS[0][2][1]) > 1e-9:
        raise ValueError(f"standing height {standing} does not match the body's position")


if __name__ == "__main__":
    main()
