#!/usr/bin/env python3
"""Writes adfrm.ico, the promotional panels' own icon: one 32 x 32, 16-colour image of a tall page
standing at a screen edge, with an arrow pointing into the edge.

Same plain BMP-in-ICO layout as app/make_icon.py. Run:  python3 promo/make_icon.py
"""

import pathlib
import struct

SIZE = 32
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]  # the standard 16 colours, as (red, green, blue)
DARK_GREY, GREY, DARK_BLUE, BLUE, WHITE = 8, 7, 4, 12, 15


def pixel(x: int, y: int) -> int | None:
    """Palette index of one pixel, or None where the icon is transparent."""
    if x >= 28:
        return DARK_GREY  # the screen edge
    if 14 <= x <= 26 and 2 <= y <= 29:
        if x in (14, 26) or y in (2, 29):
            return DARK_BLUE  # the page's outline
        return GREY if (y - 6) % 4 == 0 and 16 <= x <= 24 and y < 26 else WHITE
    # An arrow from the left towards the page and the edge: shaft and head.
    if 13 <= y <= 18 and 2 <= x <= 8:
        return BLUE
    if 9 <= x <= 13 and abs(y - 15.5) <= 13 - x + 0.5:
        return BLUE
    return None


def icon_bytes() -> bytes:
    rows = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    colour = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # bottom-up, as bitmaps are stored
        for x in range(0, SIZE, 2):
            colour.append(((row[x] or 0) << 4) | (row[x + 1] or 0))
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
    target = pathlib.Path(__file__).with_name("adfrm.ico")
    target.write_bytes(icon_bytes())
    print(f"wrote {target} ({target.stat().st_size} bytes)")
