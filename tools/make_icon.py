#!/usr/bin/env python3
"""Draws the program icon (a disc with a check mark) and writes app/Halcyra.ico.

Ten images in the order the executable's icon group lists them: 48, 32, 16 pixels at
4 bits, the same at 8 bits, 256 pixels as PNG, then 48, 32, 16 pixels at 32 bits with
alpha. Standard library only, so anyone can regenerate the committed .ico.
"""
import math
import os
import struct
import sys
import zlib

RIM = (44, 74, 138)
DISC_INNER = (226, 234, 246)
DISC_OUTER = (132, 160, 210)
HUB = (96, 116, 150)
CHECK = (28, 156, 64)
CHECK_EDGE = (255, 255, 255)


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def sample(x, y, size):
    """Colour and opacity of the artwork at (x, y) in pixel units of a size x size icon."""
    u, v = x / size, y / size
    r = math.hypot(u - 0.5, v - 0.5)
    # Small icons get proportionally thicker strokes so they stay legible.
    rim = max(0.045, 1.2 / size)
    hole = max(0.07, 1.5 / size)
    colour, alpha = None, 0.0
    if r <= 0.47:
        if r > 0.47 - rim:
            colour = RIM
        elif r < hole:
            colour = None
        elif r < hole + max(0.05, 1.0 / size):
            colour = HUB
        else:
            colour = lerp(DISC_INNER, DISC_OUTER, (r - hole) / (0.47 - hole))
        alpha = 1.0 if colour else 0.0
    points = [(0.27, 0.53), (0.44, 0.71), (0.78, 0.30)]
    stroke = max(0.075, 1.6 / size)
    edge = max(0.035, 0.9 / size)
    d = min(segment_distance(u, v, *points[0], *points[1]),
            segment_distance(u, v, *points[1], *points[2]))
    if d <= stroke:
        return CHECK, 1.0
    if d <= stroke + edge:
        return CHECK_EDGE, 1.0
    return colour or (0, 0, 0), alpha


def render(size):
    """RGBA rows, top to bottom, with 4 x 4 supersampling."""
    n = 4
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0]
            cover = 0.0
            for sy in range(n):
                for sx in range(n):
                    c, a = sample(x + (sx + 0.5) / n, y + (sy + 0.5) / n, size)
                    for i in range(3):
                        acc[i] += c[i] * a
                    cover += a
            if cover:
                row.append(tuple(round(acc[i] / cover) for i in range(3)) + (round(255 * cover / (n * n)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    cube = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    extra = [RIM, DISC_INNER, DISC_OUTER, HUB, CHECK] + \
            [lerp(DISC_INNER, DISC_OUTER, i / 24) for i in range(25)]
    palette = cube + extra
    return (palette + [(0, 0, 0)] * 256)[:256]


def nearest(palette, colour):
    return min(range(len(palette)),
               key=lambda i: sum((p - c) ** 2 for p, c in zip(palette[i], colour)))


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def and_mask(rows, size):
    out = b""
    for row in reversed(rows):
        bits = bytearray((size + 7) // 8)
        for x, px in enumerate(row):
            if px[3] < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        out += pad4(bytes(bits))
    return out


def bitmap_header(size, bits, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colours, 0)


def indexed_image(rows, size, bits, palette):
    cache = {}
    pixels = b""
    for row in reversed(rows):
        indices = []
        for px in row:
            if px[3] < 128:
                indices.append(0)
                continue
            key = px[:3]
            if key not in cache:
                cache[key] = nearest(palette, key)
            indices.append(cache[key])
        if bits == 4:
            line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        else:
            line = bytes(indices)
        pixels += pad4(line)
    colour_table = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    return bitmap_header(size, bits, len(palette)) + colour_table + pixels + and_mask(rows, size)


def true_colour_image(rows, size):
    pixels = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(rows) for r, g, b, a in row)
    return bitmap_header(size, 32, 0) + pixels + and_mask(rows, size)


def png_image(rows, size):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "app", "Halcyra.ico")
    art = {size: render(size) for size in (16, 32, 48, 256)}
    vga, full = VGA16, palette256()
    images = []  # (size, colour count, bit count, data)
    for size in (48, 32, 16):
        images.append((size, 16, 4, indexed_image(art[size], size, 4, vga)))
    for size in (48, 32, 16):
        images.append((size, 0, 8, indexed_image(art[size], size, 8, full)))
    images.append((256, 0, 32, png_image(art[256], 256)))
    for size in (48, 32, 16):
        images.append((size, 0, 32, true_colour_image(art[size], size)))

    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, colours, bits, data in images:
        edge = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", edge, edge, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
    out += b"".join(data for *_, data in images)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
