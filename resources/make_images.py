#!/usr/bin/env python3
"""Draws Velmaro's list images and window icons as 16-colour pixel art.

Writes resources/images/<name>.ico (classic 4-bit BMP image plus AND mask) and <name>.png (RGBA,
alpha from the same mask) for every picture, and preview.png with all of them enlarged.
Standard library only, byte-for-byte reproducible:  python3 resources/make_images.py
"""

import struct
import sys
import zlib
from pathlib import Path

# The Windows 16-colour palette, in its usual index order.
PALETTE = [
    (0, 0, 0),        # 0 black
    (128, 0, 0),      # 1 maroon
    (0, 128, 0),      # 2 green
    (128, 128, 0),    # 3 olive
    (0, 0, 128),      # 4 navy
    (128, 0, 128),    # 5 purple
    (0, 128, 128),    # 6 teal
    (192, 192, 192),  # 7 silver
    (128, 128, 128),  # 8 grey
    (255, 0, 0),      # 9 red
    (0, 255, 0),      # 10 lime
    (255, 255, 0),    # 11 yellow
    (0, 0, 255),      # 12 blue
    (255, 0, 255),    # 13 fuchsia
    (0, 255, 255),    # 14 aqua
    (255, 255, 255),  # 15 white
]

# One letter per palette entry in the drawings; '.' is transparent.
INK = {
    "k": 0, "m": 1, "g": 2, "o": 3, "n": 4, "p": 5, "t": 6, "s": 7,
    "G": 8, "r": 9, "l": 10, "y": 11, "b": 12, "f": 13, "a": 14, "w": 15,
}
CLEAR = None


def parse(rows):
    """A drawing (list of equal-length strings) as rows of palette indices or CLEAR."""
    width = len(rows[0])
    picture = []
    for row in rows:
        if len(row) != width:
            raise ValueError("ragged drawing row: %r" % row)
        picture.append([CLEAR if c == "." else INK[c] for c in row])
    return picture


def blank(size):
    return [[CLEAR] * size for _ in range(size)]


def overlay(base, top, dx=0, dy=0):
    """Paints the opaque pixels of top onto base at (dx, dy); returns base."""
    for y, row in enumerate(top):
        for x, ink in enumerate(row):
            if ink is not CLEAR and 0 <= y + dy < len(base) and 0 <= x + dx < len(base[0]):
                base[y + dy][x + dx] = ink
    return base


def fill_ellipse(picture, cx, cy, rx, ry, ink):
    for y in range(len(picture)):
        for x in range(len(picture[0])):
            if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                picture[y][x] = ink
    return picture


# ---------------------------------------------------------------- drawings, 16 x 16

# USB trident: round base on the left, arrow to the right, branches ending in a circle and a square.
USB = [
    "...........GG...",
    "..........GGGG..",
    "........GGGGGG..",
    ".......G...GG...",
    "......G.........",
    ".....G......G...",
    ".GG.G.......GG..",
    "GGGGGGGGGGGGGGGG",
    "GGGGGGGGGGGGGGGG",
    ".GG.....G...GG..",
    ".........G..G...",
    "..........GGG...",
    "..........GGG...",
    "..........GGG...",
    "................",
    "................",
]

WARNING = [
    ".......rr.......",
    "......rrrr......",
    "......rwwr......",
    ".....rwwwwr.....",
    ".....rwkkwr.....",
    "....rwwkkwwr....",
    "....rwwkkwwr....",
    "...rwwwkkwwwr...",
    "...rwwwkkwwwr...",
    "..rwwwwwwwwwwr..",
    "..rwwwwkkwwwwr..",
    ".rwwwwwkkwwwwwr.",
    ".rwwwwwwwwwwwwr.",
    "rwwwwwwwwwwwwwwr",
    "rrrrrrrrrrrrrrrr",
    "................",
]

# Drawn over a blue oval (see bt_picture).
BT_RUNE = [
    "................",
    "................",
    ".......w........",
    ".......ww.......",
    "....w..w.w......",
    ".....w.w..w.....",
    "......ww.w......",
    ".......ww.......",
    ".......w........",
    ".......ww.......",
    "......ww.w......",
    ".....w.w..w.....",
    "....w..w.w......",
    ".......ww.......",
    ".......w........",
    "................",
]

# Adapter box with its infrared window on the right and the cable curling away on the left.
IRDA = [
    "................",
    "................",
    "................",
    "....kkkkkkkkkkk.",
    "....ksssssssssk.",
    "....ksGGGGGGmmkk",
    "....ksGGGGGGrrmk",
    "..kkksGGGGGGrrmk",
    "lgggksGGGGGGrrmk",
    "gggkksGGGGGGmmkk",
    "lg..kGGGGGGGGGk.",
    "lg..kkkkkkkkkkk.",
    "lg..............",
    "lg..............",
    "lg..............",
    "lg..............",
]

# Nine-pin plug seen from the front: flange, D-shaped shell with 5 + 4 pins, hood and cable.
COM = [
    "................",
    "GGGGGGGGGGGGGGG.",
    "GskkkkkkkkkkksG.",
    "GkGGGGGGGGGGGkG.",
    "GkGwGwGwGwGwGkG.",
    "GskGGGGGGGGGksG.",
    "GskGwGwGwGwGksG.",
    "GsskkkkkkkkkssG.",
    "GGGGGGGGGGGGGGG.",
    "....GsssssG.....",
    ".....GsssG......",
    "......GsG.......",
    "......kGk.......",
    ".......kGk......",
    "........kGGk....",
    "..........kGGk..",
]


def bt_picture():
    picture = fill_ellipse(blank(16), 7.0, 8.0, 6.6, 7.6, INK["b"])
    return overlay(picture, parse(BT_RUNE))


def clamped(picture):
    """The picture's pixel at (x, y), an edge pixel for a place outside it."""
    size = len(picture)
    return lambda x, y: picture[min(max(y, 0), size - 1)][min(max(x, 0), size - 1)]


def scale2x(picture):
    """Twice the size by the EPX rule: a corner takes its two neighbours' ink where they agree, so
    diagonal edges stay diagonal instead of turning into steps."""
    size, at = len(picture), clamped(picture)
    out = blank(2 * size)
    for y in range(size):
        for x in range(size):
            p, a, b, c, d = at(x, y), at(x, y - 1), at(x + 1, y), at(x - 1, y), at(x, y + 1)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return out


def scale3x(picture):
    """Three times the size by the Scale3x rule, the same idea as scale2x with a middle row."""
    size, at = len(picture), clamped(picture)
    out = blank(3 * size)
    for y in range(size):
        for x in range(size):
            a, b, c = at(x - 1, y - 1), at(x, y - 1), at(x + 1, y - 1)
            d, e, f = at(x - 1, y), at(x, y), at(x + 1, y)
            g, h, i = at(x - 1, y + 1), at(x, y + 1), at(x + 1, y + 1)
            block = [e] * 9
            if b != h and d != f:
                block = [
                    d if d == b else e,
                    b if (d == b and e != c) or (b == f and e != a) else e,
                    f if b == f else e,
                    d if (d == b and e != g) or (d == h and e != a) else e,
                    e,
                    f if (b == f and e != i) or (h == f and e != c) else e,
                    d if d == h else e,
                    h if (d == h and e != i) or (h == f and e != g) else e,
                    f if h == f else e,
                ]
            for k, ink in enumerate(block):
                out[3 * y + k // 3][3 * x + k % 3] = ink
    return out


def scale24(picture):
    """16 to 24 pixels: Scale3x, then every other pixel; a one-pixel line of the 16-pixel picture
    is three pixels at 48 and so never lost."""
    big = scale3x(picture)
    return [row[::2] for row in big[::2]]


def pictures16():
    return {
        "usb": parse(USB),
        "warning": parse(WARNING),
        "bt": bt_picture(),
        "irda": parse(IRDA),
        "com": parse(COM),
    }


# ---------------------------------------------------------------- drawings, 32 x 32

def fill_rect(picture, x0, y0, x1, y1, ink):
    """Fills the pixels x0..x1, y0..y1 (inclusive)."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            picture[y][x] = ink
    return picture


def fill_polygon(picture, points, ink):
    """Fills every pixel whose centre lies inside the polygon (even-odd rule)."""
    for y in range(len(picture)):
        for x in range(len(picture[0])):
            px, py = x + 0.5, y + 0.5
            inside = False
            for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
                if (ay > py) != (by > py) and px < ax + (py - ay) * (bx - ax) / (by - ay):
                    inside = not inside
            if inside:
                picture[y][x] = ink
    return picture


def stroke(picture, points, radius, ink):
    """Paints every pixel whose centre lies within radius of the polyline."""
    def distance(px, py, ax, ay, bx, by):
        dx, dy = bx - ax, by - ay
        t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / float(dx * dx + dy * dy)))
        return ((px - ax - t * dx) ** 2 + (py - ay - t * dy) ** 2) ** 0.5
    for y in range(len(picture)):
        for x in range(len(picture[0])):
            if any(distance(x + 0.5, y + 0.5, *a, *b) <= radius for a, b in zip(points, points[1:])):
                picture[y][x] = ink
    return picture


def plug32():
    """The nine-pin plug at 32 x 32, same design as COM."""
    p = blank(32)
    G, s, k, w = INK["G"], INK["s"], INK["k"], INK["w"]
    fill_rect(p, 0, 3, 31, 17, k)          # flange outline
    fill_rect(p, 1, 4, 30, 16, G)
    fill_rect(p, 1, 4, 30, 4, s)           # lit top edge
    for cx in (1, 28):                      # screw holes
        fill_rect(p, cx, 9, cx + 2, 11, k)
        p[10][cx + 1] = s
    fill_polygon(p, [(4, 5.5), (28, 5.5), (25, 16.5), (7, 16.5)], s)   # metal shell
    fill_polygon(p, [(5, 6), (27, 6), (24.2, 16), (7.8, 16)], k)       # shell rim
    fill_polygon(p, [(6, 7), (26, 7), (23.5, 15), (8.5, 15)], G)       # insulator
    for left in (7, 11, 15, 19, 23):       # five pins above ...
        fill_rect(p, left, 8, left + 1, 9, w)
    for left in (9, 13, 17, 21):           # ... four below
        fill_rect(p, left, 12, left + 1, 13, w)
    fill_polygon(p, [(8, 18), (24, 18), (19, 24), (13, 24)], k)        # hood
    fill_polygon(p, [(9, 18), (23, 18), (18.5, 23), (13.5, 23)], s)
    fill_rect(p, 14, 24, 17, 25, k)
    cable = [(15.5, 25), (16.5, 27.5), (19, 29.5), (23, 30.5), (32, 30.5)]
    stroke(p, cable, 1.6, k)
    stroke(p, cable, 0.6, G)
    return p


def info32():
    """Guidance dialog icon: the plug with a blue information sign."""
    p = blank(32)
    overlay(p, parse(COM), 0, 16)
    fill_ellipse(p, 20.5, 11.5, 11.0, 11.0, INK["n"])
    fill_ellipse(p, 20.5, 11.5, 10.0, 10.0, INK["b"])
    fill_rect(p, 19, 4, 22, 6, INK["w"])        # dot of the i
    fill_rect(p, 18, 9, 22, 10, INK["w"])       # stem with its serifs
    fill_rect(p, 19, 11, 22, 17, INK["w"])
    fill_rect(p, 18, 18, 23, 19, INK["w"])
    return p


# ---------------------------------------------------------------- file formats

def ico_image(picture):
    """One classic icon image: BITMAPINFOHEADER, 16-entry palette, 4-bit XOR bitmap, AND mask."""
    size = len(picture)
    xor_stride = ((size * 4 + 31) // 32) * 4
    and_stride = ((size + 31) // 32) * 4
    xor_rows = []
    and_rows = []
    for row in reversed(picture):  # BMP rows run bottom-up
        nibbles = [0 if ink is CLEAR else ink for ink in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_rows.append(packed.ljust(xor_stride, b"\0"))
        bits = 0
        for ink in row:
            bits = (bits << 1) | (1 if ink is CLEAR else 0)
        and_rows.append(bits.to_bytes((size + 7) // 8, "big").ljust(and_stride, b"\0"))
    xor = b"".join(xor_rows)
    mask = b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    return header + palette + xor + mask


def ico_file(pictures):
    """An .ico holding the given square pictures, smallest first."""
    images = [ico_image(p) for p in pictures]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for picture, data in zip(pictures, images):
        size = len(picture)
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_file(rgba_rows, alpha=True):
    """8-bit RGBA (or RGB) PNG from rows of (r, g, b, a) tuples."""
    height = len(rgba_rows)
    width = len(rgba_rows[0])
    raw = bytearray()
    for row in rgba_rows:
        raw.append(0)  # filter: none
        for (r, g, b, a) in row:
            raw.extend((r, g, b, a) if alpha else (r, g, b))
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def rgba(picture):
    return [[(0, 0, 0, 0) if ink is CLEAR else PALETTE[ink] + (255,) for ink in row] for row in picture]


def preview(list_images, icons):
    """The list images at 8x in a row, the 32 x 32 icons at 4x below, on a light background."""
    gap = 16
    backdrop = (236, 236, 236)
    tiles = [(p, 8) for p in list_images]
    icon_tiles = [(p, 4) for p in icons]
    width = gap + sum(len(p) * z + gap for p, z in tiles)
    row_heights = [max(len(p) * z for p, z in tiles), max(len(p) * z for p, z in icon_tiles)]
    height = gap + sum(h + gap for h in row_heights)
    canvas = [[backdrop] * width for _ in range(height)]
    top = gap
    for tiles_in_row, row_height in zip((tiles, icon_tiles), row_heights):
        left = gap
        for picture, zoom in tiles_in_row:
            for y, row in enumerate(picture):
                for x, ink in enumerate(row):
                    if ink is CLEAR:
                        continue
                    for yy in range(zoom):
                        line = canvas[top + y * zoom + yy]
                        for xx in range(zoom):
                            line[left + x * zoom + xx] = PALETTE[ink]
            left += len(picture) * zoom + gap
        top += row_height + gap
    return [[c + (255,) for c in row] for row in canvas]


def render_all():
    """Every output file name with its bytes."""
    small = pictures16()
    files = {}
    for name in ("usb", "warning", "bt", "irda", "com"):
        # Larger monitors' resolutions take the 24 and 32 pixel pictures.
        sizes = [small[name], scale24(small[name]), scale2x(small[name])]
        files[name + ".ico"] = ico_file(sizes)
        files[name + ".png"] = png_file(rgba(sizes[0]))
        for picture in sizes[1:]:
            files["%s%d.png" % (name, len(picture))] = png_file(rgba(picture))
    files["velmaro.ico"] = ico_file([small["com"], plug32()])
    files["velmaro.png"] = png_file(rgba(small["com"]))
    files["info32.ico"] = ico_file([info32()])
    files["info32.png"] = png_file(rgba(info32()))
    list_order = [small[n] for n in ("usb", "warning", "bt", "irda", "com")]
    files["preview.png"] = png_file(preview(list_order, [info32(), plug32()]), alpha=False)
    return files


def main():
    out_dir = Path(__file__).resolve().parent / "images"
    out_dir.mkdir(exist_ok=True)
    for name, data in render_all().items():
        (out_dir / name).write_bytes(data)
        print("wrote images/%s (%d bytes)" % (name, len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
