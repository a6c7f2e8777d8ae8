#!/usr/bin/env python3
"""Draws the program's banner and icon. Deterministic: run it again and the files come
out byte for byte the same. Only the standard library.

    python3 resources/tools/make_artwork.py   # writes into resources/
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.dirname(HERE)

# 5 x 7 capitals for the lettering.
GLYPHS = {
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "L": ["#....", "#....", "#....", "#....", "#....", "#....", "#####"],
    "V": ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    "E": ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    "K": ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    "U": ["#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "P": ["####.", "#...#", "#...#", "####.", "#....", "#....", "#...."],
    "D": ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    " ": [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        for y in range(int(cy - ry), int(cy + ry) + 1):
            for x in range(int(cx - rx), int(cx + rx) + 1):
                if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0:
                    self.put(x, y, colour)

    def line(self, x0, y0, x1, y1, thickness, colour):
        steps = int(max(abs(x1 - x0), abs(y1 - y0))) * 2 + 1
        for i in range(steps + 1):
            t = i / steps
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            half = thickness / 2
            for yy in range(int(y - half), int(y + half) + 1):
                for xx in range(int(x - half), int(x + half) + 1):
                    self.put(xx, yy, colour)

    def text(self, x, y, word, scale, colour):
        for glyph in word:
            for row, bits in enumerate(GLYPHS[glyph]):
                for col, bit in enumerate(bits):
                    if bit == "#":
                        self.rect(x + col * scale, y + row * scale,
                                  x + (col + 1) * scale, y + (row + 1) * scale, colour)
            x += 6 * scale


def helicopter(c, cx, cy, size, body, rotor):
    """A side view: rotor disc, cabin, tail boom, tail rotor and skids."""
    c.line(cx - size * 1.3, cy - size * 0.95, cx + size * 1.3, cy - size * 0.85, size * 0.08, rotor)
    c.rect(int(cx - size * 0.05), int(cy - size * 0.95), int(cx + size * 0.08), int(cy - size * 0.4), rotor)
    c.line(cx, cy - size * 0.05, cx + size * 1.6, cy - size * 0.25, size * 0.16, body)
    c.line(cx + size * 1.6, cy - size * 0.55, cx + size * 1.6, cy + size * 0.05, size * 0.08, rotor)
    c.ellipse(cx - size * 0.15, cy, size * 0.6, size * 0.42, body)
    c.ellipse(cx - size * 0.42, cy - size * 0.08, size * 0.2, size * 0.18, (0xBF, 0xE3, 0xF7))
    c.line(cx - size * 0.7, cy + size * 0.6, cx + size * 0.45, cy + size * 0.6, size * 0.07, rotor)
    c.line(cx - size * 0.4, cy + size * 0.35, cx - size * 0.45, cy + size * 0.6, size * 0.06, rotor)
    c.line(cx + size * 0.15, cy + size * 0.35, cx + size * 0.2, cy + size * 0.6, size * 0.06, rotor)


def banner():
    c = Canvas(400, 150, (0, 0, 0))
    for y in range(150):  # evening sky, dark at the top
        t = y / 149
        colour = (int(0x14 + 0x40 * t), int(0x2A + 0x5A * t), int(0x55 + 0x70 * t))
        c.rect(0, y, 400, y + 1, colour)
    for i in range(40):  # stars in fixed places
        x = (i * 97 + 13) % 400
        y = (i * i * 31 + 11) % 70
        c.put(x, y, (0xE8, 0xE8, 0xF0))
    c.rect(0, 132, 400, 150, (0x2C, 0x4A, 0x2A))
    for x in range(0, 400, 2):  # a ridge line
        h = int(6 + 4 * math.sin(x / 23.0) + 3 * math.sin(x / 7.0))
        c.rect(x, 132 - h, x + 2, 132, (0x2C, 0x4A, 0x2A))
    helicopter(c, 92, 78, 52, (0xD8, 0x3A, 0x1E), (0x20, 0x20, 0x24))
    c.text(190, 34, "TALVEK", 5, (0xF4, 0xF4, 0xF0))
    c.text(192, 90, "UPDATER", 3, (0xF2, 0xC1, 0x3A))
    return c


def icon():
    c = Canvas(32, 32, (0x3A, 0x6E, 0xA5))
    c.rect(0, 0, 32, 1, (0x1E, 0x3C, 0x60))
    c.rect(0, 31, 32, 32, (0x1E, 0x3C, 0x60))
    c.rect(0, 0, 1, 32, (0x1E, 0x3C, 0x60))
    c.rect(31, 0, 32, 32, (0x1E, 0x3C, 0x60))
    helicopter(c, 12, 17, 8.5, (0xD8, 0x3A, 0x1E), (0x10, 0x10, 0x14))
    return c


def write_bmp(path, c):
    row_size = (c.width * 3 + 3) // 4 * 4
    image = bytearray()
    for y in reversed(range(c.height)):
        row = bytearray()
        for r, g, b in c.pixels[y]:
            row += bytes((b, g, r))
        image += row + b"\0" * (row_size - len(row))
    header = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, 24, 0, len(image), 3780, 3780, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(image), 0, 0, 14 + len(header))
    with open(path, "wb") as f:
        f.write(file_header + header + image)


def palette_256():
    """A 6 x 6 x 6 colour cube, then greys and the icon's own colours, to 256."""
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(0x3A, 0x6E, 0xA5), (0x1E, 0x3C, 0x60), (0xD8, 0x3A, 0x1E), (0x10, 0x10, 0x14),
                (0xBF, 0xE3, 0xF7)]
    level = 8
    while len(colours) < 256:
        colours.append((level, level, level))
        level += 7
    return colours


def indexed(c, palette):
    def nearest(rgb):
        return min(range(len(palette)),
                   key=lambda i: sum((a - b) ** 2 for a, b in zip(palette[i], rgb)))
    return [[nearest(rgb) for rgb in row] for row in c.pixels]


def write_ico(path, c, palette, indices):
    xor = bytearray()
    for y in reversed(range(c.height)):
        xor += bytes(indices[y])
    and_mask = b"\0" * (4 * c.height)  # 32 px wide: 4 bytes a row, all opaque
    header = struct.pack("<IiiHHIIiiII", 40, c.width, 2 * c.height, 1, 8, 0,
                         len(xor) + len(and_mask), 0, 0, 256, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    dib = header + table + xor + and_mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", c.width, c.height, 0, 0, 1, 8, len(dib), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + dib)


def write_png(path, c, palette, indices):
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    raw = b"".join(b"\0" + bytes(row) for row in indices)
    plte = b"".join(bytes(rgb) for rgb in palette)
    ihdr = struct.pack(">IIBBBBB", c.width, c.height, 8, 3, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"PLTE", plte) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    write_bmp(os.path.join(OUT, "banner.bmp"), banner())
    art = icon()
    palette = palette_256()
    indices = indexed(art, palette)
    write_ico(os.path.join(OUT, "talvek-updater.ico"), art, palette, indices)
    write_png(os.path.join(OUT, "talvek-updater.png"), art, palette, indices)


if __name__ == "__main__":
    main()
