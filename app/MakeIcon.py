#!/usr/bin/env python3
"""Writes the program's icon: one 32 by 32 image in 16 colours (4 bits per pixel) with its mask.

The picture is the text below, one character per pixel; a dot is transparent. It shows a conical flask
holding the add-on's cyan liquid, with a wisp of vapour above the neck.
Usage: MakeIcon.py OUTPUT.ico
"""
import struct
import sys

# The sixteen colours of the standard Windows palette, in order; the letters used in the picture.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
COLOURS = {"k": 0, "t": 6, "s": 7, "c": 14, "w": 15, ".": 0}

PICTURE = [
    "................................",
    "................................",
    "...............s..s.............",
    "..............s..s..............",
    "..........kkkkkkkkkkkk..........",
    "..........kswwwwwwwwwk..........",
    "..........kkkkkkkkkkkk..........",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "............kswwwwwk............",
    "...........kswwwwwwwk...........",
    "..........kswwwwwwwwwk..........",
    "..........kswwwwwwwwwk..........",
    ".........kswwwwwwwwwwwk.........",
    ".........kswwwwwwwwwwwk.........",
    "........kswwwwwwwwwwwwwk........",
    "........kttttttttttttttk........",
    ".......kcccccccccccccccck.......",
    "......kccccccccccccccwccck......",
    "......kccccccccwwcccccccck......",
    ".....kcccccccccwwccccccccck.....",
    ".....kccccccccccccccccccwck.....",
    "....kccccccwcccccccwccccccck....",
    "....kcccccccccccccccccccccck....",
    "...kttttttttttttttttttttttttk...",
    "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
    "................................",
    "................................",
]

SIZE = 32


def image():
    assert len(PICTURE) == SIZE and all(len(row) == SIZE for row in PICTURE)
    rows = list(reversed(PICTURE))  # bitmaps are stored bottom row first
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    colour = bytearray()
    mask = bytearray()
    for row in rows:
        for x in range(0, SIZE, 2):
            colour.append(COLOURS[row[x]] << 4 | COLOURS[row[x + 1]])
        bits = 0
        for x, pixel in enumerate(row):
            if pixel == ".":
                bits |= 1 << (SIZE - 1 - x)
        mask += struct.pack(">I", bits)
    return header + palette + bytes(colour) + bytes(mask)


def main():
    data = image()
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(data), 6 + 16)
    with open(sys.argv[1], "wb") as out:
        out.write(directory + entry + data)


if __name__ == "__main__":
    main()
