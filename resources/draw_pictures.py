#!/usr/bin/env python3
"""Draws the program's pictures as pixel art and writes them in Windows formats:

  quorlane.ico  the window and file icon, a green robot, 16 x 16 and 32 x 32, 24-bit with mask
  console.bmp   the command runner's face, a 32 x 32 console window, 24-bit; magenta pixels are
                transparent (the control paints its own background behind them)

The output files are kept in the repository so that a build needs no Python; run this again after
changing a picture:  python3 draw_pictures.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

ROBOT_COLOURS = {
    "K": (0x1B, 0x5E, 0x20),  # outline, dark green
    "G": (0x43, 0xA0, 0x47),  # body, green
    "L": (0x9C, 0xD8, 0x5C),  # highlight, light green
    "W": (0xFF, 0xFF, 0xFF),  # eyes
    "B": (0x10, 0x10, 0x10),  # pupils
    "Y": (0xFF, 0xC1, 0x07),  # antenna lamp and chest light
}

ROBOT = [
    "......YYYY......",
    ".......KK.......",
    "..KKKKKKKKKKKK..",
    "..KLLLLLLLLLLK..",
    "..KGWWGGGGWWGK..",
    "..KGWBGGGGWBGK..",
    "..KGGGGGGGGGGK..",
    "..KGGGKKKKGGGK..",
    "..KKKKKKKKKKKK..",
    "KK.KLLLLLLLLK.KK",
    "KGKKGGGYYGGGKKGK",
    "KGKKGGGGGGGGKKGK",
    "KK.KGGGGGGGGK.KK",
    "...KKKKKKKKKK...",
    "....KGK..KGK....",
    "....KKK..KKK....",
]

TRANSPARENT = (0xFF, 0x00, 0xFF)


def robot(scale):
    """Rows of RGB tuples (None for transparent), top row first."""
    rows = []
    for line in ROBOT:
        assert len(line) == 16, line
        row = []
        for ch in line:
            colour = ROBOT_COLOURS.get(ch)
            row.extend([colour] * scale)
        rows.extend([list(row) for _ in range(scale)])
    return rows


GLYPHS = {  # 3 x 5 pixels
    "C": [".##", "#..", "#..", "#..", ".##"],
    ":": ["...", ".#.", "...", ".#.", "..."],
    "\\": ["#..", "#..", ".#.", "..#", "..#"],
    ">": ["#..", ".#.", "..#", ".#.", "#.."],
    "_": ["...", "...", "...", "...", "###"],
}


def console():
    size = 32
    img = [[TRANSPARENT] * size for _ in range(size)]

    def rect(x0, y0, x1, y1, colour):  # inclusive
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                img[y][x] = colour

    grey, dark, light = (0xC0, 0xC0, 0xC0), (0x60, 0x60, 0x60), (0xF0, 0xF0, 0xF0)
    blue, sky = (0x00, 0x2A, 0xA8), (0x3A, 0x7B, 0xE8)
    black, prompt = (0x00, 0x00, 0x00), (0xD0, 0xD0, 0xD0)
    # Window: light top-left edge, dark bottom-right edge, grey frame.
    rect(1, 3, 29, 28, grey)
    rect(1, 3, 29, 3, light)
    rect(1, 3, 1, 28, light)
    rect(1, 28, 29, 28, dark)
    rect(29, 3, 29, 28, dark)
    # Title bar with a lighter band and three caption buttons.
    rect(3, 5, 27, 9, blue)
    rect(3, 5, 27, 5, sky)
    for bx in (18, 21, 24):
        rect(bx, 6, bx + 1, 8, grey)
    rect(4, 7, 7, 7, light)  # the caption's text, suggested
    # The console: black, with a drive prompt and a cursor.
    rect(3, 11, 27, 26, black)
    x = 5
    for ch in "C:\\>_":
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, px in enumerate(line):
                if px == "#":
                    img[13 + gy][x + gx] = prompt
        x += 4
    # A drop shadow to the lower right keeps the window apart from the background.
    shadow = (0x80, 0x80, 0x80)
    rect(2, 29, 30, 29, shadow)
    rect(30, 4, 30, 29, shadow)
    return img


def bmp_rows_24(rows, transparent_as):
    """Bottom-up 24-bit rows, each padded to a multiple of 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for px in row:
            r, g, b = px if px is not None else transparent_as
            line += bytes((b, g, r))
        line += b"\0" * ((4 - len(line) % 4) % 4)
        out += line
    return bytes(out)


def and_mask(rows):
    out = bytearray()
    for row in reversed(rows):
        bits = 0
        line = bytearray()
        for i, px in enumerate(row):
            bits = (bits << 1) | (1 if px is None else 0)
            if i % 8 == 7:
                line.append(bits)
                bits = 0
        line += b"\0" * ((4 - len(line) % 4) % 4)
        out += line
    return bytes(out)


def write_ico(path, images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        size = len(rows)
        xor = bmp_rows_24(rows, (0, 0, 0))
        mask = and_mask(rows)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = header + xor + mask
        entries.append(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)))
        for e in entries:
            f.write(e)
        for b in blobs:
            f.write(b)


def write_bmp(path, rows):
    size = len(rows)
    pixels = bmp_rows_24(rows, TRANSPARENT)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(file_header + info + pixels)


if __name__ == "__main__":
    write_ico(os.path.join(HERE, "quorlane.ico"), [robot(1), robot(2)])
    write_bmp(os.path.join(HERE, "console.bmp"), console())
