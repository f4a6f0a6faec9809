#!/usr/bin/env python3
"""Writes the small bitmaps that PictureTest.rc compiles into the GUI test program.

The pixel values are repeated in the tests that use them; change both together.
"""
import os
import struct

WHITE = (255, 255, 255)
NEAR_WHITE = (254, 255, 255)

# Rows from the top; (red, green, blue).
TRUE_COLOUR = [
    [(255, 0, 0), WHITE, (0, 255, 0), (0, 0, 255)],
    [WHITE, WHITE, (0, 0, 0), (10, 20, 30)],
    [(255, 255, 0), (0, 255, 255), (255, 0, 255), (127, 127, 127)],
    [(200, 100, 50), WHITE, (1, 2, 3), NEAR_WHITE],
]

PALETTE = [WHITE, (12, 34, 56), (200, 0, 100), (0, 128, 255)]
INDEXED = [
    [1, 0, 2, 3],
    [0, 0, 0, 1],
    [3, 2, 1, 0],
    [2, 3, 0, 1],
]


def bmp(width, height, bits, palette, rows):
    stride = (width * bits // 8 + 3) & ~3
    pixels = b"".join(r + b"\0" * (stride - len(r)) for r in reversed(rows))  # bottom-up
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(pixels), 2835, 2835,
                       len(palette), len(palette))
    return header + info + colours + pixels


# Strips of solid frames, one colour per frame from the top, none of them the white key.
STRIP_FRAMES = [(200, 0, 0), (0, 160, 0), (0, 0, 200)]  # the rocker's -1, 0, +1
METER_ON = [(0, 200, 0)]
METER_OFF = [(0, 0, 120)]


def solid_strip(width, frame_height, colours):
    rows = []
    for r, g, b in colours:
        rows += [struct.pack("<BBB", b, g, r) * width] * frame_height
    return bmp(width, frame_height * len(colours), 24, [], rows)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    rows24 = [b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row) for row in TRUE_COLOUR]
    rows8 = [bytes(row) for row in INDEXED]
    palette = PALETTE + [(0, 0, 0)] * (256 - len(PALETTE))
    with open(os.path.join(here, "picture-test-24.bmp"), "wb") as f:
        f.write(bmp(4, 4, 24, [], rows24))
    with open(os.path.join(here, "picture-test-8.bmp"), "wb") as f:
        f.write(bmp(4, 4, 8, palette, rows8))
    for name, width, frame_height, colours in [("strip-test-3.bmp", 20, 10, STRIP_FRAMES),
                                               ("meter-test-on.bmp", 100, 10, METER_ON),
                                               ("meter-test-off.bmp", 100, 10, METER_OFF)]:
        with open(os.path.join(here, name), "wb") as f:
            f.write(solid_strip(width, frame_height, colours))


if __name__ == "__main__":
    main()
