#!/usr/bin/env python3
"""Writes adfrm.ico, the promotional panels' own icon: one 32 x 32, 16-colour image of a tall page
standing at a screen edge, with an arrow pointing into the edge.

Written by the ICO writer of app/make_icon.py. Run:  python3 promo/make_icon.py
"""

import importlib.util
import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def program_icon_module():
    found = importlib.util.spec_from_file_location("make_icon", HERE.parent / "app" / "make_icon.py")
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


ICON = program_icon_module()  # the ICO writer and the standard 16-colour palette
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


if __name__ == "__main__":
    target = pathlib.Path(__file__).with_name("adfrm.ico")
    target.write_bytes(ICON.icon_bytes(pixel))
    print(f"wrote {target} ({target.stat().st_size} bytes)")
