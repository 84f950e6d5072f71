#!/usr/bin/env python3
"""Writes the controls tests' icons: 32 x 32, 32-bit colour, one solid square each with a
4-pixel transparent margin, so that a test can tell from a pixel which icon was drawn.

    python3 tests/controls/make_test_icons.py    (writes next to this script)

Each icon is written as the image of one icon resource (.icon: what an RT_ICON resource
holds), which ControlsTest.rc lists under an image number of its own. An ICON statement
would let the resource compiler number the images from 1 in every script, and those
numbers clash with the program's icons, which every test binary links too.
"""
import os
import struct

ICONS = {
    "test_orange.icon": (255, 128, 0),
    "test_green.icon": (0, 160, 64),
    "test_purple.icon": (128, 0, 160),
}
SIZE = 32
MARGIN = 4


def icon_bytes(rgb):
    r, g, b = rgb
    pixels = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        for x in range(SIZE):
            inside = MARGIN <= x < SIZE - MARGIN and MARGIN <= y < SIZE - MARGIN
            pixels += bytes((b, g, r, 255)) if inside else bytes((0, 0, 0, 0))
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):
        bits = 0
        for x in range(SIZE):
            inside = MARGIN <= x < SIZE - MARGIN and MARGIN <= y < SIZE - MARGIN
            bits = (bits << 1) | (0 if inside else 1)
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    for name, rgb in ICONS.items():
        with open(os.path.join(here, name), "wb") as out:
            out.write(icon_bytes(rgb))


if __name__ == "__main__":
    main()
