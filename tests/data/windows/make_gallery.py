#!/usr/bin/env python3
"""Writes the gallery model of tests/app/cli_render_windows_model_test.cpp: a part file and
.x files as a Windows exporter leaves them (CR LF line ends, backslash and drive-letter paths,
names in another letter case than the files on disk), textured from TGA and DDS files.

Fourteen unit squares facing +z in a 4 x 4 grid seen from +z: part 0 without normals and
part 1, its twin with normals, in plain grey; the others textured, each texture 4 x 4 in
quadrants (top-left, top-right, bottom-left, bottom-right). Textured squares are emissive
white with black diffuse, so the texels show as they are. Parts are drawn without blending:
a transparent texel shows its colour (DXT1's transparent texels are black).
Run from anywhere: python3 tests/data/windows/make_gallery.py
"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, '..', 'images'))
import make_tga_dds as img  # noqa: E402

RED, GREEN, BLUE, WHITE = 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF
CLEAR = 0x00FFFFFF


def quadrants(tl, tr, bl, br):
    """4 x 4 ARGB rows, top first."""
    return [[tl, tl, tr, tr]] * 2 + [[bl, bl, br, br]] * 2


def write_textures():
    parts = os.path.join(HERE, 'Parts')
    textures = os.path.join(parts, 'Textures')
    os.makedirs(textures, exist_ok=True)
    standard = quadrants(RED, GREEN, BLUE, WHITE)
    with_clear = quadrants(RED, GREEN, BLUE, CLEAR)

    img.write(textures, 'rgb24.tga', img.tga([[img.tga_pixel(c, 24) for c in r] for r in standard], 2, 24))
    img.write(textures, 'rgba32_rle.tga',
              img.tga([[img.tga_pixel(c, 32) for c in r] for r in with_clear], 10, 32, alpha_bits=8))
    palette = [RED, GREEN, BLUE, WHITE]
    img.write(textures, 'pal8_rle.tga',
              img.tga([[bytes([palette.index(c)]) for c in r] for r in standard], 9, 8,
                      colour_map=palette))
    img.write(textures, 'gray8.tga',
              img.tga([[bytes([v]) for v in r] for r in quadrants(0x00, 0x55, 0xAA, 0xFF)], 3, 8))

    # DXT: one block. Indices by quadrant, rows top first.
    def block_indices(tl, tr, bl, br):
        return [[tl, tl, tr, tr]] * 2 + [[bl, bl, br, br]] * 2
    # Three-colour DXT1 (green <= red): 0 green, 1 red, 2 their mean, 3 transparent black.
    img.write(parts, 'dxt1.dds', img.dds(4, 4, img.colour_block(
        img.GREEN, img.RED, block_indices(1, 0, 2, 3)), img.DDPF_FOURCC, b'DXT1'))
    four = img.colour_block(img.RED, img.GREEN, block_indices(0, 1, 2, 3))
    img.write(parts, 'dxt3.dds', img.dds(4, 4, img.explicit_alpha(
        block_indices(0xF, 0xF, 0xF, 0x0)) + four, img.DDPF_FOURCC, b'DXT3'))
    img.write(parts, 'dxt5.dds', img.dds(4, 4, img.interpolated_alpha(
        255, 0, block_indices(0, 0, 0, 1)) + four, img.DDPF_FOURCC, b'DXT5'))

    argb = (0xFF0000, 0xFF00, 0xFF, 0xFF000000)
    rgba_flags = img.DDPF_RGB | img.DDPF_ALPHAPIXELS
    img.write(parts, 'a8r8g8b8.dds', img.dds_masked(with_clear, 32, argb, rgba_flags))
    img.write(parts, 'x8r8g8b8.dds', img.dds_masked(with_clear, 32, argb[:3] + (0,), img.DDPF_RGB))
    img.write(parts, 'r8g8b8.dds', img.dds_masked(standard, 24, argb[:3] + (0,), img.DDPF_RGB))
    img.write(parts, 'r5g6b5.dds',
              img.dds_masked(standard, 16, (0xF800, 0x07E0, 0x001F, 0), img.DDPF_RGB))
    img.write(parts, 'a1r5g5b5.dds',
              img.dds_masked(with_clear, 16, (0x7C00, 0x03E0, 0x001F, 0x8000), rgba_flags))


def crlf(text):
    return text.replace('\n', '\r\n').encode('ascii')


def square_x(comment, normals, texture=None):
    """A unit square at the origin facing +z (clockwise seen from +z), u growing towards -x so
    the texture reads left to right from a camera on +z."""
    lines = ['xof 0302txt 0032', '// ' + comment, 'Mesh Square {', '  4;',
             '  0.5;0.5;0.0;,', '  -0.5;0.5;0.0;,', '  -0.5;-0.5;0.0;,', '  0.5;-0.5;0.0;;',
             '  1;', '  4;0,1,2,3;;']
    if normals:
        lines += ['  MeshNormals {', '    1;', '    0.0;0.0;1.0;;', '    1;', '    4;0,0,0,0;;',
                  '  }']
    if texture:
        lines += ['  MeshTextureCoords {', '    4;', '    0.0;0.0;,', '    1.0;0.0;,',
                  '    1.0;1.0;,', '    0.0;1.0;;', '  }']
    lines += ['  MeshMaterialList {', '    1;', '    1;', '    0;;', '    Material {']
    if texture:
        lines += ['      0.0;0.0;0.0;1.0;;', '      0.0;', '      0.0;0.0;0.0;;',
                  '      1.0;1.0;1.0;;', '      TextureFilename {',
                  '        "%s";' % texture, '      }']
    else:
        lines += ['      0.8;0.8;0.8;1.0;;', '      0.0;', '      0.0;0.0;0.0;;',
                  '      0.0;0.0;0.0;;']
    lines += ['    }', '  }', '}', '']
    return crlf('\n'.join(lines))


# (file on disk, path stored in the part file, texture name stored in the .x file)
PARTS = [
    ('frame.x', 'C:\\Users\\Artist\\Desktop\\Gallery\\FRAME.X', None),
    ('frame_normals.x', 'Frame_Normals.X', None),
    ('Parts/tga_rgb24.x', 'parts\\\\TGA_RGB24.X', 'Textures\\\\RGB24.TGA'),
    ('Parts/tga_rgba32_rle.x', 'parts\\TGA_RGBA32_RLE.X', 'Textures\\\\RGBA32_RLE.TGA'),
    ('Parts/tga_pal8_rle.x', '.\\Parts\\tga_pal8_rle.x', 'textures\\Pal8_RLE.tga'),
    ('Parts/tga_gray8.x', 'Parts\\TGA_GRAY8.x', 'TEXTURES\\GRAY8.TGA'),
    ('Parts/dds_dxt1.x', 'Parts\\DDS_DXT1.X', '.\\\\DXT1.DDS'),
    ('Parts/dds_dxt3.x', 'Parts\\DDS_DXT3.X', '.\\DXT3.dds'),
    ('Parts/dds_dxt5.x', 'Parts\\DDS_DXT5.X', 'DXT5.DDS'),
    ('Parts/dds_a8r8g8b8.x', 'Parts\\DDS_A8R8G8B8.X', 'C:\\\\Art\\\\Maps\\\\A8R8G8B8.DDS'),
    ('Parts/dds_x8r8g8b8.x', 'Parts\\DDS_X8R8G8B8.X', 'X8R8G8B8.dds'),
    ('Parts/dds_r8g8b8.x', 'Parts\\DDS_R8G8B8.X', 'R8G8B8.DDS'),
    ('Parts/dds_r5g6b5.x', 'Parts\\DDS_R5G6B5.X', 'R5G6B5.DDS'),
    ('Parts/dds_a1r5g5b5.x', 'Parts\\DDS_A1R5G5B5.X', 'A1R5G5B5.DDS'),
]


def grid_position(i):
    return 1.8 - 1.2 * (i % 4), 1.8 - 1.2 * (i // 4), 0.0


def f(v):
    return ('+' if v >= 0 else '-') + '%.6ff' % abs(v)


def part_file():
    n = len(PARTS)
    names = [stored.replace('\\\\', '\\').split('\\')[-1] for _, stored, _ in PARTS]
    root = grid_position(0)
    positions = [root] + [tuple(a - b for a, b in zip(grid_position(i), root))
                          for i in range(1, n)]
    out = ['short g_meshCount = %d;' % n, '', 'float g_scale = 1.000000f;', '',
           'char g_name[%d][64] = {' % n] + ['\t"%s",' % s for s in names] + ['};', '',
           'char g_path[%d][256] = {' % n] + ['\t"%s",' % p for _, p, _ in PARTS] + ['};', '',
           'short g_parents[%d] = {' % n]
    out += ['\t%d,\t// %s",' % (-1 if i == 0 else 0, names[i]) for i in range(n)] + ['};', '']
    out += ['short g_level[%d] = {' % n]
    out += ['\t%d,\t// %s",' % (0 if i == 0 else 1, names[i]) for i in range(n)] + ['};', '']
    out += ['VEC3 g_posDef[%d] = {' % n]
    out += ['\tVEC3( %s, %s, %s),\t// %s' % (f(x), f(y), f(z), names[i])
            for i, (x, y, z) in enumerate(positions)] + ['};', '']
    out += ['QUAT g_quaDef[%d] = {' % n]
    out += ['\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// %s' % s
            for s in names] + ['};', '']
    return crlf('\n'.join(out))


def scaled_part_file(scale):
    """One part, the square with normals, under a model scale other than 1."""
    out = ['short g_meshCount = 1;', '', 'float g_scale = %.6ff;' % scale, '',
           'char g_name[1][64] = {', '\t"Frame_Normals.X",', '};', '',
           'char g_path[1][256] = {', '\t"FRAME_NORMALS.X",', '};', '',
           'short g_parents[1] = {', '\t-1,\t// Frame_Normals.X",', '};', '',
           'short g_level[1] = {', '\t0,\t// Frame_Normals.X",', '};', '',
           'VEC3 g_posDef[1] = {', '\tVEC3( +0.000000f, +0.000000f, +0.000000f),\t// Frame_Normals.X',
           '};', '', 'QUAT g_quaDef[1] = {',
           '\tQUAT( +0.000000f, +0.000000f, +0.000000f, +1.000000f),\t// Frame_Normals.X', '};',
           '']
    return crlf('\n'.join(out))


def main():
    write_textures()
    for i, (file, _, texture) in enumerate(PARTS):
        comment = 'Gallery square %d, written the way a Windows exporter writes it.' % i
        with open(os.path.join(HERE, file), 'wb') as out:
            out.write(square_x(comment, normals=(i != 0), texture=texture))
    with open(os.path.join(HERE, 'Gallery.pwp'), 'wb') as out:
        out.write(part_file())
    with open(os.path.join(HERE, 'Scaled.pwp'), 'wb') as out:
        out.write(scaled_part_file(3.0))


if __name__ == '__main__':
    main()
