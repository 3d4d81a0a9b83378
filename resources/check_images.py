#!/usr/bin/env python3
"""Checks the committed images: .ico and .png structure, sizes, bit depth, transparency, colours.

Parses the files on its own (not with the generator's writers) and also checks that
make_images.py still reproduces every committed file byte for byte.
Run:  python3 resources/check_images.py     (exit code 1 when a check fails)
"""

import struct
import sys
import zlib
from pathlib import Path

HERE = Path(__file__).resolve().parent
IMAGES = HERE / "images"

WINDOWS_16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, RED, GREEN, GREY, BLUE, WHITE = (0, 0, 0), (255, 0, 0), (0, 128, 0), (128, 128, 128), (0, 0, 255), (255, 255, 255)

# name, icon sizes in the .ico, colours the picture must contain, colours it may contain at most
# (None: no limit). The colour rules follow the pictures' descriptions.
ICONS = [
    ("usb", [16, 24, 32], {GREY}, {GREY}),
    ("warning", [16, 24, 32], {RED, WHITE, BLACK}, {RED, WHITE, BLACK}),
    ("bt", [16, 24, 32], {BLUE, WHITE}, {BLUE, WHITE}),
    ("irda", [16, 24, 32], {GREY, RED, GREEN}, None),
    ("com", [16, 24, 32], {GREY, BLACK, WHITE}, None),
    ("velmaro", [16, 32], {GREY, BLACK, WHITE}, None),
    ("info32", [32], {BLUE, WHITE, GREY}, None),
]

results = []


def check(name, condition, detail=""):
    results.append((name, bool(condition), detail))
    return bool(condition)


# ---------------------------------------------------------------- parsers

def read_ico(data):
    """List of (width, height, pixels) where pixels[y][x] is (r, g, b) or None for transparent."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count < 1:
        raise ValueError("not an icon header: %d %d %d" % (reserved, kind, count))
    images = []
    for i in range(count):
        w, h, colours, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        if colours != 16 or res != 0 or planes != 1 or bits != 4:
            raise ValueError("entry %d: colours %d planes %d bits %d" % (i, colours, planes, bits))
        if offset < 6 + 16 * count or offset + size > len(data):
            raise ValueError("entry %d lies outside the file" % i)
        hdr = struct.unpack_from("<IiiHHIIiiII", data, offset)
        hsize, bw, bh, bplanes, bbits, compression = hdr[:6]
        if (hsize, bw, bh, bplanes, bbits, compression) != (40, w, 2 * h, 1, 4, 0):
            raise ValueError("entry %d: bitmap header %r" % (i, hdr[:6]))
        palette = []
        for c in range(16):
            b, g, r, zero = struct.unpack_from("<BBBB", data, offset + 40 + 4 * c)
            palette.append((r, g, b))
        xor_stride = ((w * 4 + 31) // 32) * 4
        and_stride = ((w + 31) // 32) * 4
        xor_at = offset + 40 + 64
        and_at = xor_at + xor_stride * h
        if and_at + and_stride * h != offset + size:
            raise ValueError("entry %d: size %d does not fit a %dx%d 4-bit image with mask" % (i, size, w, h))
        pixels = []
        for y in range(h):
            row_from_bottom = h - 1 - y
            row = []
            for x in range(w):
                byte = data[xor_at + row_from_bottom * xor_stride + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                masked = (data[and_at + row_from_bottom * and_stride + x // 8] >> (7 - x % 8)) & 1
                if masked and index != 0:
                    raise ValueError("entry %d: transparent pixel (%d,%d) has colour %d" % (i, x, y, index))
                row.append(None if masked else palette[index])
            pixels.append(row)
        images.append((w, h, pixels, palette))
    return images


def read_png(data):
    """(width, height, colour type, rows of (r, g, b, a)) after checking signature and chunk CRCs."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("no PNG signature")
    pos = 8
    chunks = []
    while pos < len(data):
        length, = struct.unpack_from(">I", data, pos)
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", data, pos + 8 + length)
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            raise ValueError("bad CRC in %r" % kind)
        chunks.append((kind, body))
        pos += 12 + length
    if chunks[0][0] != b"IHDR" or chunks[-1][0] != b"IEND":
        raise ValueError("chunk order")
    width, height, depth, colour, comp, filt, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if depth != 8 or colour not in (2, 6) or comp or filt or interlace:
        raise ValueError("unexpected IHDR %r" % (chunks[0][1],))
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    stride = width * channels
    if len(raw) != height * (stride + 1):
        raise ValueError("image data has %d bytes, expected %d" % (len(raw), height * (stride + 1)))
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if ftype > 4:
            raise ValueError("row %d: filter type %d" % (y, ftype))
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            up_left = previous[i - channels] if i >= channels else 0
            if ftype == 1:
                line[i] = (line[i] + left) & 0xFF
            elif ftype == 2:
                line[i] = (line[i] + up) & 0xFF
            elif ftype == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif ftype == 4:
                estimate = left + up - up_left
                nearest = min((abs(estimate - left), 0, left), (abs(estimate - up), 1, up),
                              (abs(estimate - up_left), 2, up_left))[2]
                line[i] = (line[i] + nearest) & 0xFF
        rows.append([tuple(line[x * channels:(x + 1) * channels]) + ((255,) if channels == 3 else ())
                     for x in range(width)])
        previous = line
    return width, height, colour, rows


# ---------------------------------------------------------------- checks

def check_icon(name, sizes, must, may):
    data = (IMAGES / (name + ".ico")).read_bytes()
    try:
        images = read_ico(data)
    except (ValueError, struct.error) as error:
        check(name + ".ico parses", False, str(error))
        return None
    check(name + ".ico parses", True)
    check(name + ".ico sizes", [w for w, h, _, _ in images] == sizes and all(w == h for w, h, _, _ in images),
          "got %r" % [(w, h) for w, h, _, _ in images])
    check(name + ".ico standard palette", all(p == WINDOWS_16 for _, _, _, p in images))
    for w, h, pixels, _ in images:
        flat = [c for row in pixels for c in row]
        clear = sum(1 for c in flat if c is None)
        check("%s.ico %dx%d has its own transparency" % (name, w, h), 0 < clear < len(flat),
              "%d of %d transparent" % (clear, len(flat)))
        used = {c for c in flat if c is not None}
        check("%s.ico %dx%d has its colours" % (name, w, h), must <= used, "missing %r" % (must - used))
        if may is not None:
            check("%s.ico %dx%d only its colours" % (name, w, h), used <= may, "extra %r" % (used - may))
    return images


def check_png_matches(name, pixels):
    data = (IMAGES / (name + ".png")).read_bytes()
    try:
        width, height, colour, rows = read_png(data)
    except (ValueError, struct.error, zlib.error) as error:
        check(name + ".png parses", False, str(error))
        return
    check(name + ".png parses", True)
    check(name + ".png is 8-bit RGBA of the icon's size", (width, height, colour) == (len(pixels[0]), len(pixels), 6),
          "got %dx%d type %d" % (width, height, colour))
    same = all((rows[y][x][3] == 0) if pixels[y][x] is None else (rows[y][x] == pixels[y][x] + (255,))
               for y in range(min(height, len(pixels))) for x in range(min(width, len(pixels[0]))))
    check(name + ".png pixels and alpha equal the .ico", same)


def check_preview():
    try:
        width, height, colour, rows = read_png((IMAGES / "preview.png").read_bytes())
    except (ValueError, struct.error, zlib.error) as error:
        check("preview.png parses", False, str(error))
        return
    # Five 16 x 16 pictures at 8x with 16-pixel gaps, then a row of 32 x 32 icons at 4x.
    check("preview.png size", (width, height) == (16 + 5 * (128 + 16), 16 + 128 + 16 + 128 + 16),
          "got %dx%d" % (width, height))
    check("preview.png has a light background", rows[0][0][:3] == rows[-1][-1][:3] and min(rows[0][0][:3]) >= 200)


def check_reproducible():
    sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
    sys.path.insert(0, str(HERE))
    import make_images
    rendered = make_images.render_all()
    committed = {p.name for p in IMAGES.iterdir() if p.is_file()}
    check("no stray files in images/", committed == set(rendered), "differs: %r" % (committed ^ set(rendered)))
    stale = [n for n, data in rendered.items() if not (IMAGES / n).is_file() or (IMAGES / n).read_bytes() != data]
    check("committed images are what make_images.py draws", not stale, "stale: %r" % stale)


def main():
    icons = {}
    for name, sizes, must, may in ICONS:
        images = check_icon(name, sizes, must, may)
        if images:
            icons[name] = images
            check_png_matches(name, images[0][2])
            for width, _, pixels, _ in images[1:]:
                if (IMAGES / ("%s%d.png" % (name, width))).is_file():
                    check_png_matches("%s%d" % (name, width), pixels)
    if "com" in icons and "velmaro" in icons:
        check("window icon at 16 x 16 is the COM picture", icons["com"][0][2] == icons["velmaro"][0][2])
    check_preview()
    check_reproducible()
    failed = [r for r in results if not r[1]]
    for name, ok, detail in failed:
        print("FAILED %s %s" % (name, detail))
    print("%d passed, %d failed" % (len(results) - len(failed), len(failed)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
