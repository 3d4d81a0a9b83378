#!/usr/bin/env python3
"""Writes Velmaro's program icon for the hicolor icon theme from the drawings of make_images.py:
hicolor/<n>x<n>/apps/velmaro.png for 16 to 256 pixels (the 16 x 16 picture at 16, the 32 x 32 plug
enlarged by whole pixels above) and hicolor/scalable/apps/velmaro.svg (the plug, one square a pixel).
Usage: make_icons.py OUTPUT_FOLDER
"""

import sys
from pathlib import Path

sys.dont_write_bytecode = True  # leave no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "resources"))
import make_images  # noqa: E402

SIZES = (16, 32, 48, 64, 128, 256)


def enlarged(picture, size):
    """Nearest-neighbour scaling, so the pixel art stays sharp at every size."""
    source = len(picture)
    return [[picture[y * source // size][x * source // size] for x in range(size)] for y in range(size)]


def svg(picture):
    """The picture as one rectangle per run of same-coloured pixels in a row."""
    size = len(picture)
    rects = []
    for y, row in enumerate(picture):
        x = 0
        while x < size:
            ink = row[x]
            run = 1
            while x + run < size and row[x + run] == ink:
                run += 1
            if ink is not make_images.CLEAR:
                r, g, b = make_images.PALETTE[ink]
                rects.append('<rect x="%d" y="%d" width="%d" height="1" fill="#%02x%02x%02x"/>' % (x, y, run, r, g, b))
            x += run
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d" '
            'shape-rendering="crispEdges" stroke="none">\n<title>Velmaro</title>\n%s\n</svg>\n'
            % (size, size, size, size, "\n".join(rects)))


def main(argv):
    if len(argv) != 2:
        print("usage: make_icons.py OUTPUT_FOLDER", file=sys.stderr)
        return 2
    out = Path(argv[1]) / "hicolor"
    small = make_images.pictures16()["com"]
    plug = make_images.plug32()
    for size in SIZES:
        picture = small if size == 16 else plug
        folder = out / ("%dx%d" % (size, size)) / "apps"
        folder.mkdir(parents=True, exist_ok=True)
        data = make_images.png_file(make_images.rgba(enlarged(picture, size)))
        (folder / "velmaro.png").write_bytes(data)
    folder = out / "scalable" / "apps"
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "velmaro.svg").write_text(svg(plug), encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
