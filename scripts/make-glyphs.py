#!/usr/bin/env python3
"""Draws the push-button glyphs of Brovane into assets/glyphs/ and the application icon in its
usual sizes into assets/icons/. Each glyph comes at 16 x 16 (NAME.png) and, for displays scaled
to 150 % and 200 %, at 24 x 24 and 32 x 32 (NAME-24.png, NAME-32.png), each drawn at its own size
so that none is a blurred enlargement.

Only the standard library: every shape is a signed distance function (negative inside),
sampled 8 x 8 times per pixel, so the edges come out anti-aliased. Each shape has a dark
outline band around a fill with a vertical gradient.

    scripts/make-glyphs.py                 # writes assets/glyphs/*.png, assets/icons/*.png
    scripts/make-glyphs.py --preview DIR   # also writes 8x enlarged copies on a checkerboard
"""

import argparse
import math
import os
import struct
import zlib

SIZE = 16
SUBSAMPLES = 8
GLYPH_SIZES = (16, 24, 32)


# ---- geometry -------------------------------------------------------------------------------

def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def stroke(points, half_width):
    """A polyline with round joins and caps."""
    segments = list(zip(points, points[1:]))

    def sdf(x, y):
        return min(segment_distance(x, y, *a, *b) for a, b in segments) - half_width

    return sdf


def polygon(points):
    """A closed polygon (any winding); even-odd inside test."""
    edges = list(zip(points, points[1:] + points[:1]))

    def sdf(x, y):
        distance = min(segment_distance(x, y, *a, *b) for a, b in edges)
        inside = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                inside = not inside
        return -distance if inside else distance

    return sdf


def rectangle(left, top, right, bottom):
    return polygon([(left, top), (right, top), (right, bottom), (left, bottom)])


def rounded_rectangle(left, top, right, bottom, radius):
    inner = rectangle(left + radius, top + radius, right - radius, bottom - radius)
    return lambda x, y: inner(x, y) - radius


def union(*shapes):
    return lambda x, y: min(shape(x, y) for shape in shapes)


def mirrored(shape):
    return lambda x, y: shape(SIZE - x, y)


# ---- colour ---------------------------------------------------------------------------------

def rgb(hex_colour):
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16) & 255) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0


def gradient(top_colour, bottom_colour, top=2.0, bottom=14.0):
    a, b = rgb(top_colour), rgb(bottom_colour)

    def colour(y):
        t = max(0.0, min(1.0, (y - top) / (bottom - top)))
        return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))

    return colour


class Layer:
    """A shape filled with a gradient and ringed by an outline band of the given width."""

    def __init__(self, shape, fill, outline=None, outline_width=0.0):
        self.shape = shape
        self.fill = fill
        self.outline = rgb(outline) if outline else None
        self.outline_width = outline_width


def render(layers, size=SIZE):
    """Premultiplied RGBA floats per pixel, row by row. Shapes are drawn in a 16 x 16 design
    space scaled to `size` pixels; large sizes take fewer samples per pixel."""
    pixels = []
    subsamples = max(3, SUBSAMPLES * SIZE // size)
    step = 1.0 / subsamples
    scale = SIZE / size
    for row in range(size):
        for column in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(subsamples):
                y = (row + (sy + 0.5) * step) * scale
                for sx in range(subsamples):
                    x = (column + (sx + 0.5) * step) * scale
                    r = g = b = a = 0.0
                    for layer in layers:
                        d = layer.shape(x, y)
                        colour = None
                        if d <= 0.0:
                            colour = layer.fill(y)
                        elif layer.outline and d <= layer.outline_width:
                            colour = layer.outline
                        if colour:  # opaque sample covers what lies below
                            r, g, b, a = colour[0], colour[1], colour[2], 1.0
                    total[0] += r
                    total[1] += g
                    total[2] += b
                    total[3] += a
            samples = subsamples * subsamples
            pixels.append([channel / samples for channel in total])
    return pixels


def to_rgba_bytes(pixels):
    """Straight (not premultiplied) 8-bit RGBA."""
    out = bytearray()
    for r, g, b, a in pixels:
        if a <= 0.0:
            out += b"\x00\x00\x00\x00"
            continue
        out += bytes(round(min(1.0, channel / a) * 255) for channel in (r, g, b))
        out.append(round(a * 255))
    return bytes(out)


# ---- PNG ------------------------------------------------------------------------------------

def png(width, height, rgba):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    stride = width * 4
    raw = b"".join(b"\x00" + rgba[y * stride:(y + 1) * stride] for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def ico(images):
    """A Windows icon file holding the given PNG images (size -> PNG bytes) as they are."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, image in sorted(images.items()):
        side = size if size < 256 else 0  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return header + entries + data


def glyph_file_name(name, size):
    return name + (".png" if size == SIZE else "-%d.png" % size)


def enlarged_on_checkerboard(rgba, side=SIZE, factor=8):
    size = side * factor
    out = bytearray()
    for y in range(size):
        for x in range(size):
            light = ((x // 8) + (y // 8)) % 2 == 0
            background = 235 if light else 200
            i = ((y // factor) * side + x // factor) * 4
            alpha = rgba[i + 3] / 255.0
            out += bytes(round(rgba[i + c] * alpha + background * (1 - alpha)) for c in range(3))
            out.append(255)
    return png(size, size, bytes(out))


# ---- the glyphs -----------------------------------------------------------------------------

# Straight edges sit on pixel boundaries (fill edge plus a whole-pixel outline) so they stay crisp.
BLUE = dict(fill=gradient("#64b5f6", "#1565c0"), outline="#0d3c87", outline_width=1.0)

ARROW_RIGHT = polygon([(3.0, 6.0), (8.0, 6.0), (8.0, 2.2), (13.8, 8.0),
                       (8.0, 13.8), (8.0, 10.0), (3.0, 10.0)])

ARROW_DOWN = polygon([(7.0, 1.0), (9.0, 1.0), (9.0, 4.0), (12.4, 4.0),
                      (8.0, 9.6), (3.6, 4.0), (7.0, 4.0)])

# Three one-pixel legs on each side of the chip, on pixel rows 10, 12 and 14.
CHIP_PINS = union(*[rectangle(x0, y, x1, y + 1.0)
                    for y in (10.0, 12.0, 14.0)
                    for x0, x1 in ((2.0, 5.0), (11.0, 14.0))])

GLYPHS = {
    "ok": [Layer(stroke([(2.9, 8.4), (6.3, 11.9), (13.1, 4.3)], 1.4),
                 gradient("#7bd67f", "#2e7d32"), "#1b5e20", 0.9)],
    "cancel": [Layer(union(stroke([(4.3, 4.3), (11.7, 11.7)], 1.45),
                           stroke([(11.7, 4.3), (4.3, 11.7)], 1.45)),
                     gradient("#f26b68", "#c62828"), "#7f0000", 0.9)],
    "program": [Layer(CHIP_PINS, gradient("#78909c", "#546e7a", 10.0, 15.0)),
                Layer(rectangle(5.0, 9.0, 11.0, 15.0), gradient("#607d8b", "#263238", 9.0, 15.0),
                      "#1c262b", 1.0),
                Layer(ARROW_DOWN, **BLUE)],
    "add": [Layer(ARROW_RIGHT, **BLUE)],
    "remove": [Layer(mirrored(ARROW_RIGHT), **BLUE)],
}


# The application icon: the Quorix card, a green board with its chip, a status light and the gold
# fingers of its edge connector. Drawn in the glyphs' 16 x 16 design space, scaled per size.
ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)

GOLD = dict(fill=gradient("#ffe082", "#f9a825", 12.0, 15.0), outline="#8d6e00", outline_width=0.35)

ICON = [
    Layer(union(*[rectangle(3.2 + 1.75 * i, 11.0, 4.3 + 1.75 * i, 14.6) for i in range(6)]),
          **GOLD),
    Layer(rounded_rectangle(1.4, 1.8, 14.6, 12.8, 1.2), gradient("#66bb6a", "#2e7d32", 2.0, 13.0),
          "#1b5e20", 0.6),
    Layer(union(*[rectangle(4.2, 4.2 + 1.4 * i, 11.8, 4.9 + 1.4 * i) for i in range(4)]),
          gradient("#b0bec5", "#78909c", 4.0, 10.0)),
    Layer(rectangle(5.3, 3.4, 10.7, 9.6), gradient("#546e7a", "#263238", 3.4, 9.6), "#1c262b", 0.45),
    Layer(lambda x, y: math.hypot(x - 12.6, y - 3.8) - 0.75, gradient("#ff8a80", "#d50000", 3.0, 4.6),
          "#7f0000", 0.3),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", metavar="DIR", help="also write 8x enlarged copies here")
    args = parser.parse_args()

    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = os.path.join(root, "assets", "glyphs")
    os.makedirs(target, exist_ok=True)
    for name, layers in GLYPHS.items():
        for size in GLYPH_SIZES:
            rgba = to_rgba_bytes(render(layers, size))
            with open(os.path.join(target, glyph_file_name(name, size)), "wb") as out:
                out.write(png(size, size, rgba))
            if args.preview:
                os.makedirs(args.preview, exist_ok=True)
                preview = glyph_file_name(name, size).replace(".png", "-8x.png")
                with open(os.path.join(args.preview, preview), "wb") as out:
                    out.write(enlarged_on_checkerboard(rgba, size))

    icons = os.path.join(root, "assets", "icons")
    os.makedirs(icons, exist_ok=True)
    images = {}
    for size in ICON_SIZES:
        images[size] = png(size, size, to_rgba_bytes(render(ICON, size)))
        with open(os.path.join(icons, "brovane-%d.png" % size), "wb") as out:
            out.write(images[size])
    with open(os.path.join(icons, "brovane.ico"), "wb") as out:
        out.write(ico(images))


if __name__ == "__main__":
    main()
