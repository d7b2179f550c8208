#!/usr/bin/env python3
"""Writes the glTF test files of this folder: run it here to make them again."""
import base64
import json
import math
import struct
import zlib


def png(width, height, pixel):
    """An RGBA PNG whose texel (x, y) is pixel(x, y)."""
    rows = b"".join(
        b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width)) for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


CHECKER = png(4, 4, lambda x, y: (255, 255, 255, 255) if (x + y) % 2 else (200, 30, 30, 255))
RED = png(2, 2, lambda x, y: (255, 0, 0, 255))


class Buffer:
    """One binary buffer with its views and accessors, added to a glTF document."""

    def __init__(self, doc):
        self.doc, self.data = doc, bytearray()
        doc.setdefault("bufferViews", [])
        doc.setdefault("accessors", [])

    def view(self, data):
        while len(self.data) % 4:
            self.data += b"\0"
        self.doc["bufferViews"].append(
            {"buffer": 0, "byteOffset": len(self.data), "byteLength": len(data)})
        self.data += data
        return len(self.doc["bufferViews"]) - 1

    def accessor(self, fmt, component, kind, values, normalized=False, **extra):
        flat = [v for item in values for v in (item if isinstance(item, (list, tuple)) else [item])]
        accessor = {"bufferView": self.view(struct.pack("<%d%s" % (len(flat), fmt), *flat)),
                    "componentType": component, "count": len(values), "type": kind}
        if normalized:
            accessor["normalized"] = True
        if kind == "VEC3" and fmt == "f":
            accessor["min"] = [min(v[i] for v in values) for i in range(3)]
            accessor["max"] = [max(v[i] for v in values) for i in range(3)]
        accessor.update(extra)
        self.doc["accessors"].append(accessor)
        return len(self.doc["accessors"]) - 1

    def floats(self, kind, values):
        return self.accessor("f", 5126, kind, values)

    def indices(self, values, fmt="H"):
        return self.accessor(fmt, {"B": 5121, "H": 5123, "I": 5125}[fmt], "SCALAR", values)


def box(buf, index_format="H"):
    """A unit box of 24 vertices (split normals) and 12 triangles wound counter-clockwise seen
    from outside, as glTF wants; the first 8 triangles and the last 4 as two index accessors."""
    positions, normals, uvs, tris = [], [], [], []
    for axis in range(3):
        for sign in (1, -1):
            n = [0.0, 0.0, 0.0]
            n[axis] = float(sign)
            u = [0.0, 0.0, 0.0]
            u[(axis + 1) % 3] = 1.0
            v = [0.0, 0.0, 0.0]
            v[(axis + 2) % 3] = float(sign)
            base = len(positions)
            for a, b in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
                positions.append([0.5 * (n[i] + a * u[i] + b * v[i]) for i in range(3)])
                normals.append(n)
                uvs.append([(a + 1) / 2, (1 - b) / 2])
            tris += [base, base + 1, base + 2, base, base + 2, base + 3]
    attributes = {"POSITION": buf.floats("VEC3", positions), "NORMAL": buf.floats("VEC3", normals),
                  "TEXCOORD_0": buf.floats("VEC2", uvs)}
    return attributes, buf.indices(tris[:24], index_format), buf.indices(tris[24:], index_format)


def data_uri(data, mime="application/octet-stream"):
    return "data:%s;base64,%s" % (mime, base64.b64encode(data).decode())


def write_json(name, doc):
    with open(name, "w", encoding="utf-8") as out:
        json.dump(doc, out, indent=1)
        out.write("\n")


def nodes_gltf():
    """A box at the root (two materials, one with checker.png) and, under a moved child node,
    one triangle without a material: .gltf + .bin + .png."""
    doc = {"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}]}
    buf = Buffer(doc)
    attributes, first, second = box(buf)
    triangle = buf.floats("VEC3", [[0, 0, 0], [1, 0, 0], [0, 1, 0]])
    half = math.sqrt(0.5)
    doc["nodes"] = [
        {"name": "base", "mesh": 0, "translation": [1, 0, 0], "children": [1]},
        {"name": "arm", "mesh": 1, "translation": [0, 3, 0], "rotation": [0, 0, half, half],
         "scale": [2, 2, 2]},
    ]
    doc["meshes"] = [
        {"name": "box", "primitives": [
            {"attributes": attributes, "indices": first, "material": 0},
            {"attributes": attributes, "indices": second, "material": 1}]},
        {"name": "triangle", "primitives": [{"attributes": {"POSITION": triangle}}]},
    ]
    doc["materials"] = [
        {"name": "checker", "pbrMetallicRoughness": {"baseColorFactor": [1, 0.5, 0.25, 1],
                                                      "baseColorTexture": {"index": 0}}},
        {"name": "glow", "pbrMetallicRoughness": {"baseColorFactor": [0, 0, 1, 0.5]},
         "emissiveFactor": [0.25, 0.5, 0.75], "alphaMode": "BLEND"},
    ]
    doc["textures"] = [{"source": 0}]
    doc["images"] = [{"uri": "checker.png"}]
    doc["buffers"] = [{"uri": "nodes.bin", "byteLength": len(buf.data)}]
    with open("nodes.bin", "wb") as out:
        out.write(buf.data)
    with open("checker.png", "wb") as out:
        out.write(CHECKER)
    write_json("nodes.gltf", doc)


def embedded_doc():
    """A strip of 4 vertices (u8 indices), a fan of 5 (u16), a plain triangle list and a line
    list, with vertex colours and 16-bit texture coordinates; everything in data URIs."""
    doc = {"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}],
           "nodes": [{"mesh": 0}]}
    buf = Buffer(doc)
    strip = buf.floats("VEC3", [[0, 0, 0], [0, 1, 0], [1, 0, 0], [1, 1, 0]])
    colours = buf.accessor("B", 5121, "VEC4", [[255, 0, 0, 255]] * 4, normalized=True)
    uvs = buf.accessor("H", 5123, "VEC2", [[0, 0], [0, 65535], [65535, 0], [65535, 65535]],
                       normalized=True)
    fan = buf.floats("VEC3", [[0, 0, 1], [1, 0, 1], [1, 1, 1], [0, 1, 1], [-1, 1, 1]])
    plain = buf.floats("VEC3", [[0, 0, 2], [1, 0, 2], [0, 1, 2]])
    doc["meshes"] = [{"name": "shapes", "primitives": [
        {"attributes": {"POSITION": strip, "COLOR_0": colours, "TEXCOORD_0": uvs},
         "indices": buf.indices([0, 1, 2, 3], "B"), "mode": 5, "material": 0},
        {"attributes": {"POSITION": fan}, "indices": buf.indices([0, 1, 2, 3, 4], "H"), "mode": 6},
        {"attributes": {"POSITION": plain}},
        {"attributes": {"POSITION": plain}, "mode": 1},
    ]}]
    doc["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}]
    doc["textures"] = [{"source": 0}]
    doc["images"] = [{"uri": data_uri(RED, "image/png")}]
    doc["buffers"] = [{"uri": data_uri(bytes(buf.data)), "byteLength": len(buf.data)}]
    return doc


def glb(doc, binary):
    text = json.dumps(doc).encode()
    text += b" " * (-len(text) % 4)
    binary = bytes(binary) + b"\0" * (-len(binary) % 4)
    body = (struct.pack("<I4s", len(text), b"JSON") + text +
            struct.pack("<I4s", len(binary), b"BIN\0") + binary)
    return struct.pack("<4sII", b"glTF", 2, 12 + len(body)) + body


def box_glb():
    """A red box with 32-bit indices whose PNG texture sits in a buffer view of the .glb."""
    doc = {"asset": {"version": "2.0"}, "scene": 0, "scenes": [{"nodes": [0]}],
           "nodes": [{"mesh": 0}]}
    buf = Buffer(doc)
    attributes, first, second = box(buf, "I")
    image = buf.view(RED)
    doc["meshes"] = [{"primitives": [{"attributes": attributes, "indices": first, "material": 0},
                                     {"attributes": attributes, "indices": second,
                                      "material": 0}]}]
    doc["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}]
    doc["textures"] = [{"source": 0}]
    doc["images"] = [{"bufferView": image, "mimeType": "image/png"}]
    doc["buffers"] = [{"byteLength": len(buf.data)}]
    with open("box.glb", "wb") as out:
        out.write(glb(doc, buf.data))


def square_glb():
    """A 2 x 2 square facing glTF's +z, white and fully emissive, with a 2 x 2 texture in the .glb:
    red, green over blue, yellow as the image's rows run from the top."""
    doc = {"asset": {"version": "2.0"}, "scenes": [{"nodes": [0]}], "nodes": [{"mesh": 0}]}
    buf = Buffer(doc)
    quadrants = [[(255, 0, 0, 255), (0, 255, 0, 255)], [(0, 0, 255, 255), (255, 255, 0, 255)]]
    image = buf.view(png(2, 2, lambda x, y: quadrants[y][x]))
    attributes = {
        "POSITION": buf.floats("VEC3", [[-1, 1, 0], [-1, -1, 0], [1, -1, 0], [1, 1, 0]]),
        "NORMAL": buf.floats("VEC3", [[0, 0, 1]] * 4),
        "TEXCOORD_0": buf.floats("VEC2", [[0, 0], [0, 1], [1, 1], [1, 0]]),
    }
    doc["meshes"] = [{"primitives": [{"attributes": attributes, "material": 0,
                                      "indices": buf.indices([0, 1, 2, 0, 2, 3])}]}]
    doc["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}},
                         "emissiveFactor": [1, 1, 1]}]
    doc["samplers"] = [{"magFilter": 9728, "minFilter": 9728}]
    doc["textures"] = [{"source": 0, "sampler": 0}]
    doc["images"] = [{"bufferView": image, "mimeType": "image/png"}]
    doc["buffers"] = [{"byteLength": len(buf.data)}]
    with open("square.glb", "wb") as out:
        out.write(glb(doc, buf.data))


def broken(name, change):
    doc = embedded_doc()
    buffer = bytearray(base64.b64decode(doc["buffers"][0]["uri"].split(",", 1)[1]))
    change(doc, buffer)
    doc["buffers"][0]["uri"] = data_uri(bytes(buffer))
    write_json(name, doc)


def set_index(doc, buffer):
    # The strip's second index names vertex 9 of its 4.
    buffer[doc["bufferViews"][doc["accessors"][5]["bufferView"]]["byteOffset"] + 1] = 9


def set_nan(doc, buffer):
    offset = doc["bufferViews"][doc["accessors"][0]["bufferView"]]["byteOffset"] + 4
    buffer[offset:offset + 4] = struct.pack("<f", float("nan"))


def main():
    nodes_gltf()
    write_json("embedded.gltf", embedded_doc())
    box_glb()
    square_glb()
    broken("index_past.gltf", set_index)
    broken("accessor_past.gltf", lambda doc, b: doc["accessors"][4].update(count=9))
    broken("view_past.gltf", lambda doc, b: doc["bufferViews"][4].update(byteLength=4096))
    broken("not_triangles.gltf", lambda doc, b: doc["meshes"][0]["primitives"][2].update(
        indices=doc["accessors"].__len__() - 1, mode=4))
    broken("nan_position.gltf", set_nan)
    doc = embedded_doc()
    doc["buffers"][0]["uri"] = "gone.bin"
    write_json("missing_bin.gltf", doc)
    with open("box.glb", "rb") as whole, open("truncated.glb", "wb") as out:
        out.write(whole.read()[:40])
    with open("not_gltf.gltf", "w", encoding="utf-8") as out:
        out.write("solid cube\nendsolid cube\n")


main()
