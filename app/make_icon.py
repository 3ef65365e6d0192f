#!/usr/bin/env python3
"""Writes korvena.ico: one 32 x 32, 16-colour image of a hill drawn as contour lines on a map sheet.

The file is a plain BMP-in-ICO: icon directory, one entry, a BITMAPINFOHEADER of double height, the
16-entry palette, the 4-bit colour rows (bottom row first) and the 1-bit transparency mask.
Run it from anywhere; it writes next to itself:  python3 app/make_icon.py
"""

import math
import pathlib
import struct

SIZE = 32

# The standard 16-colour palette (blue, green, red, reserved per entry as the BMP stores it).
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]  # as (red, green, blue)
BLACK, DARK_RED, DARK_GREEN, OLIVE, DARK_BLUE = 0, 1, 2, 3, 4
GREY, DARK_GREY, RED, WHITE = 7, 8, 9, 15
YELLOW = 11


def hill_level(x: float, y: float) -> float:
    """Normalised distance from the summit, stretched by an uneven outline so the rings look drawn."""
    dx, dy = x - 16.0, y - 16.5
    angle = math.atan2(dy, dx)
    radius = 1.0 + 0.16 * math.sin(2 * angle + 0.6) + 0.09 * math.cos(3 * angle - 0.4)
    return math.hypot(dx * 0.92, dy * 1.08) / radius


def band(x: int, y: int) -> int:
    """Which ring band a pixel centre falls in: 0 at the summit, growing outwards."""
    return int(hill_level(x + 0.5, y + 0.5) / 2.65)


def pixel(x: int, y: int) -> int | None:
    """Palette index of one pixel, or None where the icon is transparent."""
    inset = 1
    if x < inset or y < inset or x >= SIZE - inset or y >= SIZE - inset:
        return None
    if x in (inset, SIZE - inset - 1) or y in (inset, SIZE - inset - 1):
        return DARK_GREY  # edge of the map sheet
    here = band(x, y)
    if here >= 5:
        return WHITE
    # A line runs along the inner edge of each band: where a neighbour lies one band further out.
    if any(band(x + dx, y + dy) > here for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
        return RED if here == 2 else OLIVE  # the third line from the top is the index contour
    if here == 0 and abs(x - 16) <= 1 and abs(y - 16) <= 1:
        return DARK_BLUE if (x, y) == (16, 16) else WHITE  # the spot height at the summit
    return WHITE


def icon_bytes(pixel=pixel) -> bytes:
    """The ICO file of a 32 x 32 picture given as pixel(x, y) -> palette index, or None (transparent)."""
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        for x in range(0, SIZE, 2):
            high, low = (row[x] or 0), (row[x + 1] or 0)
            colour.append((high << 4) | low)
        bits = 0
        for x in range(SIZE):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += bits.to_bytes(SIZE // 8, "big")
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(colour) + len(mask), 0, 0, 16, 0)
    image = header + palette + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    target = pathlib.Path(__file__).with_name("korvena.ico")
    target.write_bytes(icon_bytes())
    print(f"wrote {target} ({target.stat().st_size} bytes)")
