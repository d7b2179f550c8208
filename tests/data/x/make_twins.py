#!/usr/bin/env python3
"""Writes the binary and compressed twins of the hand-written text .x fixtures.

For every NAME.x listed below this writes NAME.bin.x (binary tokens), NAME.tzip.x (the text
compressed) and NAME.bzip.x (the binary compressed); frames.x also gets a 64-bit-float binary
twin and a compressed twin whose chunk sizes leave out the "CK" signature. grid.x, a mesh large
enough for several 32 KiB chunks, is generated here too. Run from any directory:
    python3 tests/data/x/make_twins.py
"""
import os
import re
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = ["frames", "split_normals", "materials", "skinned", "colours", "grid"]

TOKEN = dict(name=1, string=2, integer=3, guid=5, int_list=6, float_list=7, obrace=10,
             cbrace=11, obracket=14, cbracket=15, dot=18, comma=19, semicolon=20, template=31)
PRIMITIVES = dict(WORD=40, DWORD=41, FLOAT=42, DOUBLE=43, CHAR=44, UCHAR=45, SWORD=46,
                  SDWORD=47, VOID=48, STRING=49, LPSTR=49, UNICODE=50, CSTRING=51, ARRAY=52)


def tokenize(text):
    """Text tokens: (kind, value) with kinds name, num, str, guid and punctuation."""
    tokens = []
    pattern = re.compile(r'\s+|//[^\n]*|#[^\n]*|"([^"]*)"|<([^>]*)>|([{}\[\];,])|'
                         r'(\.(?![0-9]))|([^\s{}\[\];,"<>#]+)')
    for m in pattern.finditer(text):
        if m.group(1) is not None:
            tokens.append(("str", m.group(1)))
        elif m.group(2) is not None:
            tokens.append(("guid", m.group(2)))
        elif m.group(3) is not None:
            tokens.append((m.group(3), m.group(3)))
        elif m.group(4) is not None:
            tokens.append((".", "."))
        elif m.group(5) is not None:
            word = m.group(5)
            kind = "num" if re.fullmatch(r"[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?", word) else "name"
            tokens.append((kind, word))
    return tokens


class BinaryWriter:
    def __init__(self, float_format):
        self.out = bytearray()
        self.float_format = float_format
        self.pending = []  # numbers of one type waiting to become a list

    def token(self, code):
        self.flush()
        self.out += struct.pack("<H", code)

    def name(self, text):
        self.token(TOKEN["name"])
        data = text.encode("latin-1")
        self.out += struct.pack("<I", len(data)) + data

    def string(self, text):
        self.token(TOKEN["string"])
        data = text.encode("latin-1")
        self.out += struct.pack("<I", len(data)) + data
        self.token(TOKEN["semicolon"])

    def guid(self, text):
        self.token(TOKEN["guid"])
        parts = text.split("-")
        self.out += struct.pack("<IHH", int(parts[0], 16), int(parts[1], 16), int(parts[2], 16))
        self.out += bytes.fromhex(parts[3] + parts[4])

    def number(self, kind, value):
        if self.pending and self.pending[0][0] != kind:
            self.flush()
        self.pending.append((kind, value))

    def flush(self):
        if not self.pending:
            return
        kind = self.pending[0][0]
        values = [v for _, v in self.pending]
        self.pending = []
        if kind == "i":
            self.out += struct.pack("<HI", TOKEN["int_list"], len(values))
            self.out += struct.pack("<%dI" % len(values), *values)
        else:
            self.out += struct.pack("<HI", TOKEN["float_list"], len(values))
            self.out += struct.pack("<%d%s" % (len(values), self.float_format), *values)


# Member layouts of the templates the loader reads; `pull` returns the next value.
def mesh_layout(pull):
    for _ in range(3 * pull("i")):
        pull("f")
    for _ in range(pull("i")):
        for _ in range(pull("i")):
            pull("i")


def vertex_colours_layout(pull):
    for _ in range(pull("i")):
        pull("i")
        for _ in range(4):
            pull("f")


def material_list_layout(pull):
    pull("i")
    for _ in range(pull("i")):
        pull("i")


LAYOUTS = {
    "mesh": mesh_layout,
    "meshnormals": mesh_layout,
    "meshtexturecoords": lambda pull: [pull("f") for _ in range(2 * pull("i"))],
    "meshvertexcolors": vertex_colours_layout,
    "meshmateriallist": material_list_layout,
    "material": lambda pull: [pull("f") for _ in range(11)],
    "frametransformmatrix": lambda pull: [pull("f") for _ in range(16)],
    "texturefilename": lambda pull: pull("s"),
}


class Converter:
    def __init__(self, tokens, writer):
        self.tokens = tokens
        self.i = 0
        self.w = writer

    def peek(self):
        return self.tokens[self.i][0] if self.i < len(self.tokens) else None

    def take(self):
        token = self.tokens[self.i]
        self.i += 1
        return token

    def skip_separators(self):
        while self.peek() in (";", ","):
            self.i += 1

    def pull(self, kind):
        self.skip_separators()
        token_kind, value = self.take()
        if kind == "s":
            assert token_kind == "str", value
            self.w.string(value)
            return value
        assert token_kind == "num", value
        number = int(value) if kind == "i" else float(value)
        self.w.number(kind, number)
        return number

    def file(self):
        while self.i < len(self.tokens):
            self.skip_separators()
            kind, value = self.take()
            if kind == "}":
                self.w.token(TOKEN["cbrace"])
            elif kind == "name" and value.lower() == "template":
                self.template()
            else:
                assert kind == "name", value
                self.data_object(value)
        self.w.flush()

    def template(self):
        self.w.token(TOKEN["template"])
        self.w.name(self.take()[1])
        assert self.take()[0] == "{"
        self.w.token(TOKEN["obrace"])
        while True:
            kind, value = self.take()
            if kind == "}":
                self.w.token(TOKEN["cbrace"])
                return
            if kind == "guid":
                self.w.guid(value)
            elif kind == "name":
                code = PRIMITIVES.get(value.upper()) if value.lower() != "array" else 52
                if code:
                    self.w.token(code)
                else:
                    self.w.name(value)
            elif kind == "num":
                self.w.token(TOKEN["integer"])
                self.w.out += struct.pack("<I", int(value))
            else:
                self.w.token({"[": 14, "]": 15, ";": 20, ",": 19, ".": 18}[kind])

    def data_object(self, identifier):
        self.w.name(identifier)
        if self.peek() == "name":
            self.w.name(self.take()[1])
        assert self.take()[0] == "{"
        self.w.token(TOKEN["obrace"])
        if self.peek() == "guid":
            self.w.guid(self.take()[1])
        layout = LAYOUTS.get(identifier.lower())
        if layout:
            layout(self.pull)
        while True:
            self.skip_separators()
            kind, value = self.take()
            if kind == "}":
                self.w.token(TOKEN["cbrace"])
                return
            if kind == "{":
                self.w.token(TOKEN["obrace"])
                self.w.name(self.take()[1])
                assert self.take()[0] == "}"
                self.w.token(TOKEN["cbrace"])
            elif kind == "name":
                self.data_object(value)
            elif kind == "str":
                self.w.string(value)
            else:
                # Members of templates the loader skips: typed by how they are written.
                assert kind == "num", value
                is_float = any(c in value for c in ".eE")
                self.w.number("f" if is_float else "i", float(value) if is_float else int(value))


def to_binary(text, float_size):
    header, body = text[:16], text[16:]
    writer = BinaryWriter("f" if float_size == 32 else "d")
    Converter(tokenize(body), writer).file()
    new_header = header[:8] + "bin " + ("0032" if float_size == 32 else "0064")
    return new_header.encode("latin-1") + bytes(writer.out)


def mszip(data, fmt, chunk_size, size_includes_ck=True):
    """Compresses a whole uncompressed file into the "tzip"/"bzip" encoding."""
    header, body = data[:16], data[16:]
    out = bytearray(header[:8] + fmt.encode() + header[12:16])
    out += struct.pack("<I", len(data))
    previous = b""
    for start in range(0, len(body), chunk_size):
        piece = body[start:start + chunk_size]
        if previous:
            compressor = zlib.compressobj(9, zlib.DEFLATED, -15, zdict=previous)
        else:
            compressor = zlib.compressobj(9, zlib.DEFLATED, -15)
        deflated = compressor.compress(piece) + compressor.flush()
        stored = len(deflated) + (2 if size_includes_ck else 0)
        out += struct.pack("<HH", len(piece), stored) + b"CK" + deflated
        previous = piece
    return bytes(out)


def make_grid(cells=40):
    """A (cells+1)^2-vertex grid of quads, vertex (i, j) at (i, j * 0.5, 0.25 * ((i + j) % 3))."""
    side = cells + 1
    lines = ["xof 0302txt 0032", "// Generated by make_twins.py: a grid of quads.", "Mesh Grid {",
             "  %d;" % (side * side)]
    for j in range(side):
        for i in range(side):
            end = ";;" if i == side - 1 and j == side - 1 else ";,"
            lines.append("  %.1f;%.2f;%.2f%s" % (i, j * 0.5, 0.25 * ((i + j) % 3), end))
    lines.append("  %d;" % (cells * cells))
    for j in range(cells):
        for i in range(cells):
            a = j * side + i
            end = ";;" if i == cells - 1 and j == cells - 1 else ";,"
            lines.append("  4;%d,%d,%d,%d%s" % (a, a + 1, a + side + 1, a + side, end))
    lines.append("}")
    return "\n".join(lines) + "\n"


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    write("grid.x", make_grid().encode("latin-1"))
    for name in FIXTURES:
        with open(os.path.join(HERE, name + ".x"), "rb") as f:
            text = f.read().decode("latin-1")
        binary = to_binary(text, 32)
        write(name + ".bin.x", binary)
        write(name + ".tzip.x", mszip(text.encode("latin-1"), "tzip", 32768))
        # Small chunks make later chunks refer back into earlier ones.
        write(name + ".bzip.x", mszip(binary, "bzip", 700))
    frames = open(os.path.join(HERE, "frames.x"), "rb").read().decode("latin-1")
    write("frames.bin64.x", to_binary(frames, 64))
    write("frames.tzip-nock.x", mszip(frames.encode("latin-1"), "tzip", 500, False))


if __name__ == "__main__":
    main()
