#!/usr/bin/env python3
"""Writes the slider handle and track bitmaps that PictureTest.rc compiles into the GUI test program.

The colours are repeated in SliderTest.cpp; change both together.
"""
import os
import struct

HANDLE_SIZE = (12, 8)
HANDLE = (200, 30, 40)  # the top-left pixel is white, the key colour
TRACK_SIZE = (12, 130)


def track_colour(row):
    return (0, 60 + row, 120)


def bmp24(width, height, rows):
    stride = (width * 3 + 3) & ~3
    pixels = b"".join(
        b"".join(struct.pack("<BBB", b, g, r) for r, g, b in row) + b"\0" * (stride - width * 3)
        for row in reversed(rows))  # bottom-up
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    width, height = HANDLE_SIZE
    handle = [[HANDLE] * width for _ in range(height)]
    handle[0][0] = (255, 255, 255)
    width, height = TRACK_SIZE
    track = [[track_colour(row)] * width for row in range(height)]
    with open(os.path.join(here, "slider-test-handle.bmp"), "wb") as f:
        f.write(bmp24(*HANDLE_SIZE, handle))
    with open(os.path.join(here, "slider-test-track.bmp"), "wb") as f:
        f.write(bmp24(*TRACK_SIZE, track))


if __name__ == "__main__":
    main()
