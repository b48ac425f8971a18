#!/usr/bin/env python3
"""Draws TAVO's icons anew and writes them as PNG files (no libraries needed).

    python3 resources/make_icons.py      # from the repository root

The tool-bar buttons are 16 x 16 pixel art (one character a pixel, palette
below); the application icon is drawn from shapes at several sizes."""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "icons")

PALETTE = {
    ".": (0, 0, 0, 0),
    "k": (40, 40, 40, 255),       # outline
    "w": (255, 255, 255, 255),
    "g": (200, 200, 200, 255),
    "d": (128, 128, 128, 255),
    "y": (240, 200, 60, 255),     # folder
    "o": (200, 150, 30, 255),
    "b": (40, 90, 200, 255),      # blue
    "l": (150, 190, 240, 255),
    "r": (200, 40, 40, 255),
    "G": (30, 150, 60, 255),      # green
    "p": (230, 230, 180, 255),    # paper of the clipboard
}

BUTTONS = {
    "new": """
..kkkkkkkk......
..kwwwwwwkk.....
..kwwwwwwkwk....
..kwwwwwwkkkk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kwwwwwwwwwk...
..kkkkkkkkkkk...
................""",
    "open": """
................
................
.kkkk...........
kyyyyk....kkk...
kyyyyykkkk..kk..
kyyyyyyyyyk..k..
kyykkkkkkkkkkk..
kyko........ok..
kyk.o........ok.
kkyoooooooooook.
kkoooooooooook..
kooooooooooook..
kkkkkkkkkkkkkk..
................
................
................""",
    "save": """
kkkkkkkkkkkkkkk.
kbkwwwwwwwwwkbk.
kbkwwwwwwwwwkbk.
kbkwwwwwwwwwkbk.
kbkwwwwwwwwwkbk.
kbkwwwwwwwwwkbk.
kbbkkkkkkkkkbbk.
kbbbbbbbbbbbbbk.
kbbkkkkkkkkkbbk.
kbbkggkddddkbbk.
kbbkggkddddkbbk.
kbbkggkddddkbbk.
kbbkggkddddkbbk.
.kbkkkkkkkkkkbk.
..kkkkkkkkkkkkk.
................""",
    "cut": """
................
...k.....k......
...k.....k......
...k.....k......
...kk...kk......
....k...k.......
....kk.kk.......
.....k.k........
......k.........
.....bkb........
....bb.bbb......
..bbb..b..b.....
.b..b..b..b.....
.b..b..b..b.....
..bb....bb......
................""",
    "copy": """
kkkkkk..........
kwwwwkk.........
kwkkwkwk........
kwwwwkkkk.......
kwkkkkkkkkkk....
kwwwkwwwwkkwk...
kwkkkwkkwkkkkk..
kwwwkwwwwwwwwk..
kwkkkwkkkkkkwk..
kwwwkwwwwwwwwk..
kkkkkwkkkkkkwk..
.....wwwwwwwwk..
.....wkkkkkkwk..
.....wwwwwwwwk..
.....kkkkkkkkk..
................""",
    "paste": """
....kkkkk.......
.kkkkgggkkkk....
kooookkkoooook..
koookwwwkooook..
koooooooooook...
kooookkkkkkkkk..
koook.wwwwwk.k..
koook.wkkkwkkkk.
koook.wwwwwwwwk.
koook.wkkkkkkwk.
koook.wwwwwwwwk.
koook.wkkkkkkwk.
koook.wwwwwwwwk.
.kkkk.wkkkkkkwk.
......wwwwwwwwk.
......kkkkkkkkk.""",
    "settings": """
................
..k.....k.....k.
..k.....k.....k.
..k.....k.....k.
..k...kkkkk...k.
..k...kbbbk...k.
.kkkk.kkkkk...k.
.kbbk...k.....k.
.kkkk...k...kkkkk
..k.....k...kbbbk
..k.....k...kkkkk
..k.....k.....k.
..k.....k.....k.
..k.....k.....k.
................
................""",
    "optimise": """
................
.kkk............
.kGGk...........
.kGGGkk.........
.kGGGGGkk.......
.kGGGGGGGkk.....
.kGGGGGGGGGkk...
.kGGGGGGGGGGGk..
.kGGGGGGGGGGGk..
.kGGGGGGGGGkk...
.kGGGGGGGkk.....
.kGGGGGkk.......
.kGGGkk.........
.kGGk...........
.kkk............
................""",
    "results": """
kkkkkkkkkkkkkkk.
kbbbbbbbbbbbbbk.
kkkkkkkkkkkkkkk.
kwwkwwwwkwwwwwk.
kkkkkkkkkkkkkkk.
kwwkwwwwkwwwwwk.
kkkkkkkkkkkkkkk.
kwwkwwwwkwwwwwk.
kkkkkkkkkkkkkkk.
kwwkwwwwkwwwwwk.
kkkkkkkkkkkkkkk.
kwwkwwwwkwwwwwk.
kkkkkkkkkkkkkkk.
................
................
................""",
    "print": """
................
....kkkkkkkk....
....kwwwwwwk....
....kwkkkkwk....
....kwwwwwwk....
..kkkkkkkkkkkk..
.kggggggggggggk.
.kgggggggggGGgk.
.kggggggggggggk.
.kkkkkkkkkkkkkk.
.kgkwwwwwwwwkgk.
.kkkwkkkkkkwkkk.
...kwwwwwwwwk...
...kkkkkkkkkk...
................
................""",
    "about": """
................
.....kkkkkk.....
...kkbbbbbbkk...
..kbbbbwwbbbbk..
..kbbbbwwbbbbk..
.kbbbbbbbbbbbbk.
.kbbbbwwwbbbbbk.
.kbbbbbwwbbbbbk.
.kbbbbbwwbbbbbk.
.kbbbbbwwbbbbbk.
..kbbbbwwbbbbk..
..kbbbwwwwbbbk..
...kkbbbbbbkk...
.....kkkkkk.....
................
................""",
    "contexthelp": """
k...............
kk..............
kwk.............
kwwk.....kkkk...
kwwwk...kbbbbk..
kwwwwk.kbb..bbk.
kwwwwwk.....bbk.
kwwwkkkk...bbk..
kwkwk.....bbk...
kk.kwk....bbk...
k..kwk..........
....kwk...bbk...
....kwk...bbk...
.....k..........
................
................""",
}


def png(path, width, height, pixels):
    """pixels: rows of (r, g, b, a) tuples."""
    raw = b"".join(b"\x00" + b"".join(struct.pack("BBBB", *p) for p in row) for row in pixels)

    def chunk(kind, data):
        c = struct.pack(">I", len(data)) + kind + data
        return c + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        f.write(chunk(b"IEND", b""))


def button(name, art):
    rows = [r for r in art.strip("\n").split("\n")]
    rows = [(r + "." * 16)[:16] for r in rows][:16]
    while len(rows) < 16:
        rows.append("." * 16)
    png(os.path.join(OUT, name + ".png"), 16, 16, [[PALETTE[c] for c in r] for r in rows])


def app_icon(size):
    """A blue rounded tile with a target (the goal) and a white 'T' over it,
    drawn with 4 x 4 supersampling."""
    ss = 4
    n = size * ss
    out = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    u = (x * ss + sx + 0.5) / n  # 0..1
                    v = (y * ss + sy + 0.5) / n
                    c = sample(u, v)
                    a = c[3] / 255.0
                    for i in range(3):
                        acc[i] += c[i] * a
                    acc[3] += a
            k = ss * ss
            if acc[3] > 0:
                row.append(tuple(int(round(acc[i] / acc[3])) for i in range(3)) + (int(round(255 * acc[3] / k)),))
            else:
                row.append((0, 0, 0, 0))
        out.append(row)
    return out


def sample(u, v):
    # Rounded square tile.
    r = 0.18
    m = 0.04
    dx = max(m + r - u, 0, u - (1 - m - r))
    dy = max(m + r - v, 0, v - (1 - m - r))
    if u < m or u > 1 - m or v < m or v > 1 - m or dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    color = (30, 80, 170, 255)
    # Target rings, centre low right.
    cx, cy = 0.62, 0.62
    d = math.hypot(u - cx, v - cy)
    if d < 0.30 and int(d / 0.075) % 2 == 0:
        color = (240, 245, 255, 255)
    elif d < 0.30:
        color = (200, 40, 40, 255)
    # A white "T".
    if (0.16 < u < 0.62 and 0.16 < v < 0.28) or (0.33 < u < 0.45 and 0.16 < v < 0.80):
        color = (255, 255, 255, 255)
    return color


def main():
    os.makedirs(OUT, exist_ok=True)
    for name, art in BUTTONS.items():
        button(name, art)
    for size in (16, 32, 48, 128, 256):
        png(os.path.join(OUT, "tavo-%d.png" % size), size, size, app_icon(size))


if __name__ == "__main__":
    main()
