#!/usr/bin/env python3
# Writes FRAMES stereo frames of raw 32-bit float noise to OUT, from SEED. Every sample is a
# multiple of 2^-16 between 0.05 and 0.95 in size, so it survives sox's conversions bit for bit.
# usage: write-signal.py OUT FRAMES SEED
import array
import sys

out, frames, state = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
samples = array.array('f')
for _ in range(2 * frames):
    state = (state * 1103515245 + 12345) % 2**31
    size = 3277 + state % 58982
    samples.append((size if state & 0x10000 else -size) / 65536.0)
with open(out, 'wb') as file:
    samples.tofile(file)
