#!/usr/bin/env python3
"""Paints the editor's face, face.bmp (resource 128), next to this script.

Standard library only: a panel with a bevelled edge, a knob without its pointer (the Knob
control draws that as a line) and eleven ticks around it. The BMP is kept in the repository,
so a build never needs this; run it after changing the picture or the layout. The positions
must match kKnobBounds in StarterGainEditor.cpp.

Usage: make-face.py [OUTPUT.bmp]
"""
import math
import os
import struct
import sys

W, H = 220, 150
KNOB_BOUNDS = (78, 18, 64, 64)  # left, top, width, height: kKnobBounds
# The Knob control turns about the pixel (left - 1 + width / 2, top + height / 2).
CX = KNOB_BOUNDS[0] - 1 + KNOB_BOUNDS[2] // 2 + 0.5
CY = KNOB_BOUNDS[1] + KNOB_BOUNDS[3] // 2 + 0.5
KNOB_RADIUS = 25.0
TOP_RADIUS = 20.5
TICKS = 11  # from 225 degrees (value 0) clockwise to -45 degrees (value 1), as the control turns
TICK_FROM, TICK_TO = 27.5, 31.0


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def coverage(distance):
    """How much of a pixel lies inside an edge at the signed distance (negative is inside)."""
    return max(0.0, min(1.0, 0.5 - distance))


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def panel(x, y):
    colour = mix((60, 66, 76), (33, 37, 44), y / (H - 1))
    if x == 0 or y == 0:
        return (96, 104, 116)
    if x == W - 1 or y == H - 1:
        return (14, 16, 20)
    return colour


def ticks():
    for k in range(TICKS):
        a = math.radians(225.0 - 270.0 * k / (TICKS - 1))
        c, s = math.cos(a), -math.sin(a)
        yield (CX + TICK_FROM * c, CY + TICK_FROM * s, CX + TICK_TO * c, CY + TICK_TO * s)


def knob(x, y, under):
    """The knob over the colour under it: a dark skirt, a top lit from the upper left."""
    d = math.hypot(x - CX, y - CY)
    if d > KNOB_RADIUS + 1.0:
        return under
    light = max(0.0, -((x - CX) + (y - CY)) / (KNOB_RADIUS * math.sqrt(2.0)))
    skirt = mix((22, 24, 28), (58, 62, 70), light)
    top = mix((40, 43, 49), (70, 75, 84), light * (d / TOP_RADIUS))
    colour = mix(skirt, top, coverage(d - TOP_RADIUS))
    return mix(under, colour, coverage(d - KNOB_RADIUS))


def pixel(x, y, tick_list):
    px, py = x + 0.5, y + 0.5
    colour = panel(x, y)
    near = min(segment_distance(px, py, *t) for t in tick_list)
    colour = mix(colour, (160, 166, 176), coverage(near - 0.7))
    return knob(px, py, colour)


def write_bmp(path, rows):
    stride = (W * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((round(b), round(g), round(r)))
        data += line + bytes(stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "face.bmp")
    tick_list = list(ticks())
    write_bmp(out, [[pixel(x, y, tick_list) for x in range(W)] for y in range(H)])


if __name__ == "__main__":
    main()
