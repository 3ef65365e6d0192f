#!/usr/bin/env python3
"""Writes the About window's pictures next to itself:

- hand.cur: the link labels' cursor, a 32 x 32 monochrome pointing hand, hot spot (6, 0) at the tip
  of the finger. A cursor file stores a 1-bit XOR image (black / white) and a 1-bit AND mask
  (transparent where set), rows bottom-up, under a BITMAPINFOHEADER of double height.
- header.ico: the header band's 32 x 32 true-colour picture, the program's own hill drawn in
  32-bit colour with alpha.

Run it from anywhere:  python3 about/make_pictures.py
"""

import importlib.util
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
SIZE = 32
HOT_SPOT = (6, 0)

# '#' black outline, 'o' white inside, anything else transparent. Row 0 is the top.
HAND = [
    "     ##",
    "    #oo#",
    "    #oo#",
    "    #oo#",
    "    #oo#",
    "    #oo###",
    "    #oo#oo###",
    "    #oo#oo#oo###",
    "    #oo#oo#oo#oo#",
    " ## #oo#oo#oo#oo#",
    "#oo##ooooooooooo#",
    "#ooo#ooooooooooo#",
    "#ooooooooooooooo#",
    " #oooooooooooooo#",
    " #oooooooooooooo#",
    "  #ooooooooooooo#",
    "  #oooooooooooo#",
    "   #ooooooooooo#",
    "   #ooooooooooo#",
    "    #ooooooooo#",
    "    #ooooooooo#",
    "    ###########",
]


def bits_row(values) -> bytes:
    bits = 0
    for value in values:
        bits = (bits << 1) | value
    return bits.to_bytes(SIZE // 8, "big")


def cursor_bytes() -> bytes:
    grid = [row.ljust(SIZE)[:SIZE] for row in HAND] + [" " * SIZE] * (SIZE - len(HAND))
    assert grid[HOT_SPOT[1]][HOT_SPOT[0]] == "#", "the hot spot must lie on the finger tip"
    xor = b"".join(bits_row(1 if c == "o" else 0 for c in row) for row in reversed(grid))
    mask = b"".join(bits_row(0 if c in "#o" else 1 for c in row) for row in reversed(grid))
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    image = header + palette + xor + mask
    directory = struct.pack("<HHH", 0, 2, 1)  # type 2: cursor
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image), 6 + 16)
    return directory + entry + image


def program_icon_module():
    found = importlib.util.spec_from_file_location("make_icon", HERE.parent / "app" / "make_icon.py")
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


def header_icon_bytes() -> bytes:
    art = program_icon_module()
    rows = [[art.pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colour = bytearray()
    for row in reversed(rows):
        for index in row:
            if index is None:
                colour += bytes((0, 0, 0, 0))
            else:
                red, green, blue = art.PALETTE[index]
                colour += bytes((blue, green, red, 255))
    mask = b"".join(bits_row(1 if index is None else 0 for index in row) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + bytes(colour) + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    for name, data in (("hand.cur", cursor_bytes()), ("header.ico", header_icon_bytes())):
        target = HERE / name
        target.write_bytes(data)
        print(f"wrote {target} ({len(data)} bytes)")
