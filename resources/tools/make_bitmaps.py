#!/usr/bin/env python3
"""Draws the plug-in's two bitmap resources and writes them as C++ byte
arrays (resources/Bitmaps.cpp): 102 "IDB_SPLASH", the 450 x 231 about-box
picture with the title "Veyra!", and 106 "IDB_DROPPER", the 20 x 10
eye-dropper icon. Each is the body of a Windows bitmap resource: a
BITMAPINFOHEADER, then 24-bit BGR rows, bottom row first, padded to 4 bytes.

Usage: make_bitmaps.py [OUTPUT.cpp]   (default: ../Bitmaps.cpp beside this folder)
"""
import math
import os
import struct
import sys

# A 5 x 7 pixel font for the few letters the splash needs.
GLYPHS = {
    'V': ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".####"],
    'y': [".....", ".....", "#...#", "#...#", ".####", "....#", ".###."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    'a': [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    '!': ["..#..", "..#..", "..#..", "..#..", "..#..", ".....", "..#.."],
    'K': ["#...#", "#..#.", "#.#..", "##...", "#.#..", "#..#.", "#...#"],
    'O': [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    'l': [".#...", ".#...", ".#...", ".#...", ".#...", ".#...", "..##."],
    'i': ["..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."],
    'g': [".....", ".....", ".####", "#...#", ".####", "....#", ".###."],
    'h': ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    't': [".#...", ".#...", "###..", ".#...", ".#...", ".#..#", "..##."],
    'n': [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    'd': ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    's': [".....", ".....", ".####", "#....", ".###.", "....#", "####."],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    'w': [".....", ".....", "#...#", "#...#", "#.#.#", "#.#.#", ".#.#."],
    ' ': [".....", ".....", ".....", ".....", ".....", ".....", "....."],
}


def text_mask(text, scale):
    """Pixels (x, y) covered by the text at the scale, and its size."""
    cells = set()
    for i, ch in enumerate(text):
        for gy, row in enumerate(GLYPHS[ch]):
            for gx, c in enumerate(row):
                if c == '#':
                    for sy in range(scale):
                        for sx in range(scale):
                            cells.add((i * 6 * scale + gx * scale + sx, gy * scale + sy))
    return cells, (len(text) * 6 - 1) * scale, 7 * scale


def splash():
    w, h = 450, 231
    px = [[(0, 0, 0)] * w for _ in range(h)]
    # A dark scene lit by a warm spot up and to the left of the centre.
    cx, cy = 150.0, 80.0
    for y in range(h):
        for x in range(w):
            d = math.hypot((x - cx) / 1.4, y - cy)
            light = max(0.0, 1.0 - d / 260.0) ** 1.6
            r = int(18 + 225 * light)
            g = int(16 + 190 * light)
            b = int(30 + 120 * light)
            px[y][x] = (min(r, 255), min(g, 255), min(b, 255))

    def stamp(text, scale, left, top, colour, shadow):
        cells, _, _ = text_mask(text, scale)
        off = max(1, scale // 2)
        for (x, y) in cells:
            xx, yy = left + x + off, top + y + off
            if 0 <= xx < w and 0 <= yy < h:
                px[yy][xx] = shadow
        for (x, y) in cells:
            xx, yy = left + x, top + y
            if 0 <= xx < w and 0 <= yy < h:
                px[yy][xx] = colour

    _, tw, th = text_mask("Veyra!", 10)
    stamp("Veyra!", 10, (w - tw) // 2, 60, (255, 248, 220), (40, 24, 10))
    _, sw, _ = text_mask("KVO", 3)
    stamp("KVO", 3, (w - sw) // 2, 30, (250, 230, 190), (40, 24, 10))
    _, lw, _ = text_mask("light and shadow", 2)
    stamp("light and shadow", 2, (w - lw) // 2, 60 + th + 24, (235, 220, 200), (30, 20, 10))
    return w, h, px


def dropper():
    # A pipette lying left to right: glass tip, body, rubber bulb.
    rows = [
        "....................",
        "..............RRRR..",
        ".....GGGGGGGGRRRRRR.",
        "..GGGWWWWWWWGRRRRRR.",
        "GGWWWWWWWWWWGRRRRRR.",
        "..GGGWWWWWWWGRRRRRR.",
        ".....GGGGGGGGRRRRRR.",
        "..............RRRR..",
        "....................",
        "....................",
    ]
    colours = {'.': (192, 192, 192), 'G': (40, 40, 48), 'W': (200, 225, 240), 'R': (170, 30, 30)}
    px = [[colours[c] for c in row] for row in rows]
    return 20, 10, px


def dib(w, h, px):
    row_bytes = (w * 3 + 3) // 4 * 4
    header = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, row_bytes * h, 2835, 2835, 0, 0)
    body = bytearray()
    for y in range(h - 1, -1, -1):  # bottom row first
        row = bytearray()
        for (r, g, b) in px[y]:
            row += bytes((b, g, r))
        row += b'\0' * (row_bytes - len(row))
        body += row
    return header + bytes(body)


def emit(name, data):
    lines = [f"const unsigned char {name}[] = {{"]
    for i in range(0, len(data), 20):
        lines.append("    " + ",".join(str(v) for v in data[i:i + 20]) + ",")
    lines.append("};")
    lines.append(f"const unsigned int {name}Size = sizeof {name};")
    return "\n".join(lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "Bitmaps.cpp")
    splash_bytes = dib(*splash())
    dropper_bytes = dib(*dropper())
    with open(out, "w") as f:
        f.write("// Generated by resources/tools/make_bitmaps.py; do not edit. The bytes of\n"
                "// the bitmap resources 102 \"IDB_SPLASH\" and 106 \"IDB_DROPPER\".\n"
                "#include \"resources/Bitmaps.h\"\n\n"
                "namespace veyra::resources {\n\n")
        f.write(emit("kSplashBitmap", splash_bytes) + "\n\n")
        f.write(emit("kDropperBitmap", dropper_bytes) + "\n\n")
        f.write("}  // namespace veyra::resources\n")


if __name__ == "__main__":
    main()
