#!/usr/bin/env python3
"""Paints the Backtwister editor bitmaps (resources 128 to 133).

Standard library only.  ImageMagick's `convert` renders the lettering into
grey masks and writes the finished pictures as BMP files; everything else
(enclosure, name plate, screws, footswitch, LED, knob, digits) is shaded here
pixel by pixel from signed distance functions, so the edges are
anti-aliased without supersampling.

Usage: artwork.py OUTPUT_DIR [WORK_DIR]
"""
import math
import os
import random
import subprocess
import sys
import tempfile

W, H = 320, 240

# Where things sit on the face (window coordinates).
SWITCH_RECT = (120, 95, 190, 165)        # the footswitch picture is drawn here
SWITCH_SIZE = 70
SWITCH_CENTRE = (35.0, 41.5)             # footswitch centre inside its 70 x 70 frame
LED_CENTRE = (35.0, 10.5)                # LED centre inside the frame
KNOB_FRAME = (37, 43)
KNOB_FRAMES = 80
KNOB_POS = (223, 92)                     # top left of the knob frame on the full face
KNOB_CENTRE = (18.5, 20.5)               # knob centre inside its frame
LABEL_SIZE = (41, 14)
LABEL_POS = (63, 92)                     # the "(ms)"/"(note)" label on the full face
DIGIT_W, DIGIT_H, DIGIT_CELLS = 7, 9, 11
DISPLAY_RECT = (41, 108, 97, 129)        # bezel of the time display on the full face

CONVERT = os.environ.get("CONVERT", "convert")

# Light comes from the upper left, a little in front of the pedal.
def norm3(x, y, z):
    l = math.sqrt(x * x + y * y + z * z)
    return (x / l, y / l, z / l)

LIGHT = norm3(-0.45, -0.65, 0.62)
HALF = norm3(LIGHT[0], LIGHT[1], LIGHT[2] + 1.0)


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def mix(a, b, t):
    return a + (b - a) * t


def mixc(c1, c2, t):
    return (mix(c1[0], c2[0], t), mix(c1[1], c2[1], t), mix(c1[2], c2[2], t))


def scale(c, k):
    return (c[0] * k, c[1] * k, c[2] * k)


# --------------------------------------------------------------------------
# Image buffer

class Image:
    def __init__(self, w, h, color=(0.0, 0.0, 0.0)):
        self.w, self.h = w, h
        self.px = [list(color) for _ in range(w * h)]

    def get(self, x, y):
        return tuple(self.px[y * self.w + x])

    def put(self, x, y, c):
        self.px[y * self.w + x] = [c[0], c[1], c[2]]

    def blend(self, x, y, c, a):
        if a <= 0.0:
            return
        p = self.px[y * self.w + x]
        if a >= 1.0:
            p[0], p[1], p[2] = c[0], c[1], c[2]
        else:
            p[0] += (c[0] - p[0]) * a
            p[1] += (c[1] - p[1]) * a
            p[2] += (c[2] - p[2]) * a

    def add(self, x, y, c):
        p = self.px[y * self.w + x]
        p[0] += c[0]
        p[1] += c[1]
        p[2] += c[2]

    def crop(self, x0, y0, w, h):
        out = Image(w, h)
        for y in range(h):
            for x in range(w):
                out.px[y * w + x] = list(self.px[(y0 + y) * self.w + x0 + x])
        return out

    def paste(self, img, x0, y0):
        for y in range(img.h):
            for x in range(img.w):
                self.px[(y0 + y) * self.w + x0 + x] = list(img.px[y * img.w + x])

    def copy(self):
        return self.crop(0, 0, self.w, self.h)

    def to_bytes(self):
        out = bytearray()
        for p in self.px:
            for v in p:
                v = int(v + 0.5)
                out.append(0 if v < 0 else 255 if v > 255 else v)
        return bytes(out)

    def write_ppm(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.w, self.h))
            f.write(self.to_bytes())

    @staticmethod
    def read_ppm(path):
        w, h, maxval, data = read_pnm(path, b"P6")
        img = Image(w, h)
        for i in range(w * h):
            img.px[i] = [data[3 * i], data[3 * i + 1], data[3 * i + 2]]
        return img


def read_pnm(path, magic):
    with open(path, "rb") as f:
        raw = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while raw[pos:pos + 1].isspace():
            pos += 1
        if raw[pos:pos + 1] == b"#":
            while raw[pos:pos + 1] not in (b"\n", b""):
                pos += 1
            continue
        start = pos
        while not raw[pos:pos + 1].isspace():
            pos += 1
        fields.append(raw[start:pos])
    pos += 1
    if fields[0] != magic:
        raise ValueError("%s: expected %s" % (path, magic))
    w, h, maxval = int(fields[1]), int(fields[2]), int(fields[3])
    return w, h, maxval, raw[pos:]


def fill(img, box, sdf, shade, alpha=1.0):
    """Paints the shape sdf < 0 inside box with colours from shade(x, y, d).
    Coverage of the edge pixel comes from the distance: one pixel of ramp."""
    x0, y0, x1, y1 = box
    x0 = max(0, int(math.floor(x0)))
    y0 = max(0, int(math.floor(y0)))
    x1 = min(img.w, int(math.ceil(x1)))
    y1 = min(img.h, int(math.ceil(y1)))
    for y in range(y0, y1):
        py = y + 0.5
        for x in range(x0, x1):
            px = x + 0.5
            d = sdf(px, py)
            a = 0.5 - d
            if a <= 0.0:
                continue
            if a > 1.0:
                a = 1.0
            c = shade(px, py, d)
            if c is None:
                continue
            if len(c) == 4:
                img.blend(x, y, c, a * alpha * c[3])
            else:
                img.blend(x, y, c, a * alpha)


def shadow(img, sdf, box, dx, dy, soft, strength, color=(0.0, 0.0, 0.0)):
    """Soft shadow of a shape, offset by (dx, dy); fades over `soft` pixels."""
    x0, y0, x1, y1 = box
    for y in range(max(0, y0), min(img.h, y1)):
        for x in range(max(0, x0), min(img.w, x1)):
            d = sdf(x + 0.5 - dx, y + 0.5 - dy)
            a = strength * (1.0 - smoothstep(-soft * 0.5, soft, d))
            if a > 0.002:
                img.blend(x, y, color, a)


# --------------------------------------------------------------------------
# Distance functions

def sd_circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def sd_rrect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) * 0.5, (y0 + y1) * 0.5
    hx, hy = (x1 - x0) * 0.5 - r, (y1 - y0) * 0.5 - r

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        return math.hypot(max(qx, 0.0), max(qy, 0.0)) + min(max(qx, qy), 0.0) - r
    return f


def sd_hexagon(cx, cy, inradius, rot, round_r=0.0):
    normals = [(math.cos(rot + k * math.pi / 3), math.sin(rot + k * math.pi / 3)) for k in range(6)]
    ir = inradius - round_r

    def f(x, y):
        px, py = x - cx, y - cy
        m = max(px * nx + py * ny for nx, ny in normals) - ir
        return m - round_r
    return f


def sd_segment(ax, ay, bx, by, r):
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy

    def f(x, y):
        wx, wy = x - ax, y - ay
        t = clamp((wx * vx + wy * vy) / ll) if ll > 0 else 0.0
        return math.hypot(wx - vx * t, wy - vy * t) - r
    return f


def gradient(sdf, x, y, e=0.35):
    gx = sdf(x + e, y) - sdf(x - e, y)
    gy = sdf(x, y + e) - sdf(x, y - e)
    l = math.hypot(gx, gy)
    if l < 1e-9:
        return 0.0, 0.0
    return gx / l, gy / l


# --------------------------------------------------------------------------
# Noise

class ValueNoise:
    def __init__(self, seed, size=64):
        rnd = random.Random(seed)
        self.n = size
        self.t = [rnd.random() * 2.0 - 1.0 for _ in range(size * size)]

    def __call__(self, x, y):
        n, t = self.n, self.t
        xf, yf = math.floor(x), math.floor(y)
        fx, fy = x - xf, y - yf
        ux = fx * fx * (3.0 - 2.0 * fx)
        uy = fy * fy * (3.0 - 2.0 * fy)
        x0, y0 = int(xf) % n, int(yf) % n
        x1, y1 = (x0 + 1) % n, (y0 + 1) % n
        a = t[y0 * n + x0]
        b = t[y0 * n + x1]
        c = t[y1 * n + x0]
        d = t[y1 * n + x1]
        return a + (b - a) * ux + (c - a) * uy + (a - b - c + d) * ux * uy


def fbm(noises, x, y, base_scale):
    s, amp, f = 0.0, 1.0, 1.0 / base_scale
    for nz in noises:
        s += amp * nz(x * f, y * f)
        amp *= 0.5
        f *= 2.03
    return s


# --------------------------------------------------------------------------
# Lettering through ImageMagick

class Mask:
    def __init__(self, w, h, a):
        self.w, self.h, self.a = w, h, a


_mask_cache = {}


def text_mask(text, font, size, kerning=0.0, workdir=None):
    key = (text, font, size, kerning)
    if key in _mask_cache:
        return _mask_cache[key]
    path = os.path.join(workdir, "text-%d.pgm" % len(_mask_cache))
    cmd = [CONVERT, "-background", "black", "-fill", "white", "-font", font,
           "-pointsize", str(size), "-density", "72"]
    if kerning:
        cmd += ["-kerning", str(kerning)]
    cmd += ["label:" + text, "-trim", "+repage", "-depth", "8", "pgm:" + path]
    subprocess.run(cmd, check=True)
    w, h, maxval, data = read_pnm(path, b"P5")
    m = Mask(w, h, [v / maxval for v in data[:w * h]])
    _mask_cache[key] = m
    return m


def draw_mask(img, m, x0, y0, color, alpha=1.0):
    for y in range(m.h):
        iy = y0 + y
        if iy < 0 or iy >= img.h:
            continue
        for x in range(m.w):
            ix = x0 + x
            if ix < 0 or ix >= img.w:
                continue
            a = m.a[y * m.w + x] * alpha
            if a > 0.0:
                img.blend(ix, iy, color, a)


def print_text(img, m, x0, y0, ink, relief=0.0):
    """Silk-screened lettering: a faint dark edge under the ink so it sits on
    the paint instead of floating above it."""
    if relief:
        draw_mask(img, m, x0, y0 + 1, (0.0, 0.0, 0.0), relief)
    draw_mask(img, m, x0, y0, ink)


def engrave_text(img, m, x0, y0, ink, light, light_alpha=0.55):
    """Letters stamped into metal: the lower lip of each cut catches light."""
    draw_mask(img, m, x0, y0 + 1, light, light_alpha)
    draw_mask(img, m, x0, y0, ink)


# --------------------------------------------------------------------------
# Materials

PAINT = (26.0, 98.0, 88.0)        # deep kelp-green hammertone
INK = (238.0, 228.0, 196.0)       # cream silk-screen ink
BACKDROP = (30.0, 30.0, 34.0)
HAMMER = 0.62


def chrome_env(nx, ny, nz, bright=1.0):
    """Brightness of polished metal with surface normal n, seen from the front,
    in a room lit from the upper left: a pale ceiling straight up, darker walls
    towards the horizon with a bright window on the light's side, and a floor
    below the horizon."""
    rx, ry, rz = 2.0 * nz * nx, 2.0 * nz * ny, 2.0 * nz * nz - 1.0
    h = math.hypot(rx, ry)
    s = -(rx * 0.55 + ry * 0.83) / h if h > 1e-6 else 0.0   # towards the light's side
    ceiling = 196.0 + 26.0 * s * h
    wall = 58.0 + 170.0 * max(0.0, s) ** 3
    floor = 112.0 + 30.0 * s
    if rz > 0.62:
        v = ceiling
    elif rz > 0.48:
        v = mix(wall, ceiling, smoothstep(0.48, 0.62, rz))
    elif rz > 0.1:
        v = wall
    else:
        v = mix(floor, wall, smoothstep(0.0, 0.1, rz))
    glint = rx * LIGHT[0] + ry * LIGHT[1] + rz * LIGHT[2]
    if glint > 0.0:
        v += 120.0 * glint ** 30
    return clamp(v * bright, 8.0, 252.0)


def lambert(n):
    return max(0.0, n[0] * LIGHT[0] + n[1] * LIGHT[1] + n[2] * LIGHT[2])


def blinn(n, power):
    d = n[0] * HALF[0] + n[1] * HALF[1] + n[2] * HALF[2]
    return d ** power if d > 0.0 else 0.0


# --------------------------------------------------------------------------
# The face

BODY = (10.0, 6.0, 310.0, 233.0)
BODY_R = 17.0
PLATE = (66.0, 15.0, 254.0, 69.0)


def paint_backdrop(img):
    rnd = random.Random(7)
    grain = ValueNoise(11)
    for y in range(H):
        for x in range(W):
            g = grain(x / 2.5, y / 2.5) * 3.0 + (rnd.random() - 0.5) * 5.0
            vign = 1.0 - 0.35 * (((x - W / 2) / (W / 2)) ** 2 + ((y - H / 2) / (H / 2)) ** 2)
            img.put(x, y, (BACKDROP[0] * vign + g, BACKDROP[1] * vign + g, BACKDROP[2] * vign + g))


def paint_enclosure(img):
    body = sd_rrect(BODY[0], BODY[1], BODY[2], BODY[3], BODY_R)
    shadow(img, body, (0, 0, W, H), 2.0, 4.0, 9.0, 0.75)

    # Hammertone: shallow round dents (a jittered grid of dimples, each the
    # nearest-point distance) with a little fine noise; precomputed once.
    rnd = random.Random(3)
    cell = 10.0
    gw, gh = int(W / cell) + 3, int(H / cell) + 3
    pts = [[((i + 0.15 + 0.7 * rnd.random()) * cell, (j + 0.15 + 0.7 * rnd.random()) * cell,
             0.6 + 0.4 * rnd.random()) for i in range(-1, gw)] for j in range(-1, gh)]
    octs = [ValueNoise(101 + i) for i in range(3)]

    def dent(x, y):
        ci, cj = int(math.floor(x / cell)) + 1, int(math.floor(y / cell)) + 1
        best = 1e9
        for j in range(cj - 1, cj + 2):
            row = pts[j]
            for i in range(ci - 1, ci + 2):
                px, py, depth = row[i]
                dd = ((x - px) ** 2 + (y - py) ** 2) / (cell * cell) / depth
                if dd < best:
                    best = dd
        return min(best, 0.6)

    hf = [[dent(x, y) * HAMMER + fbm(octs, x, y, 5.0) * 0.05 for x in range(-1, W + 1)]
          for y in range(-1, H + 1)]
    flake = [rnd.random() - 0.5 for _ in range(W * H)]
    bevel = 8.0

    def shade(x, y, d):
        ix, iy = int(x), int(y)
        e = -d
        nx, ny, nz = 0.0, 0.0, 1.0
        if e < bevel:
            gx, gy = gradient(body, x, y)
            t = 1.0 - clamp(e / bevel)
            ang = (t ** 1.6) * 1.25
            nx, ny, nz = gx * math.sin(ang), gy * math.sin(ang), math.cos(ang)
        dhx = hf[iy + 1][ix + 2] - hf[iy + 1][ix]
        dhy = hf[iy + 2][ix + 1] - hf[iy][ix + 1]
        bump = 0.9
        n = norm3(nx - dhx * bump, ny - dhy * bump, nz)
        diff = lambert(n)
        glint = blinn(n, 28)
        sheen = 1.06 - 0.16 * (y - BODY[1]) / (BODY[3] - BODY[1]) - 0.05 * (x - BODY[0]) / (BODY[2] - BODY[0])
        k = (0.5 + 0.66 * diff) * sheen * (1.0 + 0.07 * flake[iy * W + ix])
        c = scale(PAINT, k)
        sp = 120.0 * glint + 40.0 * glint * glint
        c = (c[0] + sp * 0.85, c[1] + sp, c[2] + sp * 0.95)
        # the very rim is darker: the paint rolls away from the light there
        if e < 1.2:
            c = scale(c, 0.55 + 0.45 * clamp(e / 1.2))
        return c

    fill(img, (BODY[0] - 1, BODY[1] - 1, BODY[2] + 1, BODY[3] + 1), body, shade)


def paint_screw(img, cx, cy, r, angle):
    sink = sd_circle(cx, cy, r + 1.3)
    fill(img, (cx - r - 3, cy - r - 3, cx + r + 3, cy + r + 3), sink,
         lambda x, y, d: (0.0, 0.0, 0.0, 0.45 * clamp(-d / 1.3 + 0.3)))
    head = sd_circle(cx, cy, r)
    dome = r * 1.9

    def shade(x, y, d):
        dx, dy = (x - cx) / dome, (y - cy) / dome
        nz = math.sqrt(max(0.0, 1.0 - dx * dx - dy * dy))
        v = chrome_env(dx, dy, nz, 0.92)
        # Phillips cross
        ca, sa = math.cos(angle), math.sin(angle)
        u = (x - cx) * ca + (y - cy) * sa
        w = -(x - cx) * sa + (y - cy) * ca
        slot = min(max(abs(u) - 0.75, abs(w) - r * 0.62), max(abs(w) - 0.75, abs(u) - r * 0.62))
        if slot < 0.6:
            a = clamp(0.6 - slot)
            inner = 55.0 + 40.0 * clamp((u * -0.5 + w * -0.5) / r + 0.5)
            v = mix(v, inner, a)
        edge = clamp(-d / 1.0)
        v *= 0.6 + 0.4 * edge
        return (v * 0.98, v, v * 1.02)

    fill(img, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), head, shade)


def paint_rivet(img, cx, cy, r):
    shadow(img, sd_circle(cx, cy, r), (int(cx - 5), int(cy - 5), int(cx + 7), int(cy + 7)), 0.6, 0.9, 1.5, 0.5)

    def shade(x, y, d):
        dx, dy = (x - cx) / (r * 1.4), (y - cy) / (r * 1.4)
        nz = math.sqrt(max(0.0, 1.0 - dx * dx - dy * dy))
        v = chrome_env(dx, dy, nz, 0.95)
        return (v, v, v * 1.02)

    fill(img, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), sd_circle(cx, cy, r), shade)


def paint_name_plate(img, box, title, workdir, seed=21, sheen=(0.32, 0.1, 0.22, 0.82, 0.12), title_size=26,
                     kerning=1.2, title_margin=30, title_top=10, maker_size=10, maker_gap=5, rivet=2.3):
    """Brushed plate with the title stamped in and the maker's name under it between fine
    rules, riveted at the corners. sheen: centre, slant and width of the broad highlight,
    centre and width of the narrow one, across the plate. The gallery's bench reuses it."""
    x0, y0, x1, y1 = box
    plate = sd_rrect(x0, y0, x1, y1, 4.0)
    shadow(img, plate, (int(x0) - 4, int(y0) - 4, int(x1) + 6, int(y1) + 7), 1.0, 2.0, 3.5, 0.6)
    rnd = random.Random(seed)
    rows = [rnd.random() - 0.5 for _ in range(img.h)]
    rows = [(rows[i - 1] + 2 * rows[i] + rows[(i + 1) % img.h]) * 0.25 for i in range(img.h)]
    streak = ValueNoise(seed + 2)
    fine = [rnd.random() - 0.5 for _ in range(img.w * img.h)]
    pw, ph = x1 - x0, y1 - y0
    broad, slant, broad_w, narrow, narrow_w = sheen

    def shade(x, y, d):
        u, v = (x - x0) / pw, (y - y0) / ph
        ix, iy = int(x), int(y)
        base = 172.0 + 44.0 * math.exp(-((u - broad - slant * v) / broad_w) ** 2) \
            + 16.0 * math.exp(-((u - narrow) / narrow_w) ** 2) - 18.0 * v
        base += rows[iy] * 16.0 + streak(x / 23.0, y * 1.3) * 7.0 + fine[iy * img.w + ix] * 5.0
        e = -d
        if e < 2.0:
            gx, gy = gradient(plate, x, y)
            lit = -(gx * 0.55 + gy * 0.83)
            base += lit * 55.0 * (1.0 - e / 2.0)
        return (base * 0.985, base, base * 1.02)

    fill(img, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), plate, shade)

    # The title at the largest size that fits, stamped into the plate.
    size = title_size
    while True:
        name = text_mask(title, "DejaVu-Sans-Condensed-Bold", size, kerning, workdir)
        if name.w <= pw - title_margin:
            break
        size -= 1
    nx = int(round((x0 + x1) / 2 - name.w / 2))
    ny = int(y0) + title_top
    engrave_text(img, name, nx, ny, (26.0, 34.0, 36.0), (250.0, 250.0, 250.0), 0.5)

    maker = text_mask("Kelpworks", "DejaVu-Serif-Bold-Italic", maker_size, 0.5, workdir)
    mx = int(round((x0 + x1) / 2 - maker.w / 2))
    my = ny + name.h + maker_gap
    engrave_text(img, maker, mx, my, (20.0, 92.0, 84.0), (245.0, 245.0, 245.0), 0.4)
    # fine rules either side of the maker's name
    ry = my + maker.h // 2
    for (a, b) in ((nx + 2, mx - 6), (mx + maker.w + 6, nx + name.w - 2)):
        for x in range(a, b):
            img.blend(x, ry, (60.0, 70.0, 72.0), 0.8)
            img.blend(x, ry + 1, (250.0, 250.0, 250.0), 0.35)

    for (rx, ry2) in ((x0 + 6, y0 + 6), (x1 - 6, y0 + 6), (x0 + 6, y1 - 6), (x1 - 6, y1 - 6)):
        paint_rivet(img, rx, ry2, rivet)


def paint_waveform(img):
    """A note played backwards: it swells out of silence and stops dead."""
    rnd = random.Random(5)
    left, right, cy = 58, 262, 199.0
    n = right - left
    amp = 17.0
    for i in range(0, n, 2):
        u = i / n
        env = math.exp(-(1.0 - u) * 3.6) * (0.35 + 0.65 * smoothstep(0.0, 0.15, u))
        wig = 0.55 + 0.45 * abs(math.sin(u * 97.0) * 0.6 + (rnd.random() - 0.5) * 0.8)
        hgt = max(0.6, amp * env * wig)
        x = left + i
        top, bot = cy - hgt, cy + hgt
        alpha = 0.5 + 0.5 * smoothstep(0.05, 0.7, u)
        for y in range(int(top) - 1, int(bot) + 2):
            cov = clamp(min(y + 1.0, bot) - max(float(y), top))
            if cov > 0:
                img.blend(x, y, INK, cov * alpha)
                img.blend(x, y + 1, (0.0, 0.0, 0.0), cov * alpha * 0.12)
    # the centre line runs on as silence before the swell
    for x in range(left - 26, left):
        img.blend(x, int(cy), INK, 0.55 * smoothstep(left - 26, left - 6, x))


def paint_arrow(img, cx, cy, size, ink):
    """A small solid triangle pointing left."""
    tip = cx - size

    def tri(x, y):
        # inside the two slanted sides and left of the flat back
        return max(abs(y - cy) - (x - tip) * 0.55, x - (cx + size * 0.6))

    fill(img, (cx - size - 2, cy - size - 2, cx + size + 2, cy + size + 2), tri, lambda x, y, d: ink)


def paint_jack_labels(img, workdir):
    out = text_mask("OUT", "DejaVu-Sans-Bold", 8, 0.8, workdir)
    inp = text_mask("IN", "DejaVu-Sans-Bold", 8, 0.8, workdir)
    y = 176
    print_text(img, out, 30, y, INK, 0.25)
    paint_arrow(img, 25.0, y + out.h / 2.0, 3.2, INK)
    print_text(img, inp, 290 - inp.w, y, INK, 0.25)
    paint_arrow(img, 290 - inp.w - 6.0, y + inp.h / 2.0, 3.2, INK)


def make_face(workdir):
    img = Image(W, H)
    paint_backdrop(img)
    paint_enclosure(img)
    for (cx, cy, a) in ((28.5, 24.5, 0.3), (291.5, 24.5, 1.1), (28.5, 214.5, 0.7), (291.5, 214.5, 0.05)):
        paint_screw(img, cx, cy, 5.5, a)
    paint_name_plate(img, PLATE, "BACKTWISTER", workdir)
    paint_waveform(img)
    paint_jack_labels(img, workdir)
    return img


# --------------------------------------------------------------------------
# Footswitch and LED (drawn into a 70 x 70 frame whose background is the face)

def paint_footswitch(img, ox, oy):
    cx, cy = ox + SWITCH_CENTRE[0], oy + SWITCH_CENTRE[1]
    box = (int(cx - 26), int(cy - 26), int(cx + 27), int(cy + 27))
    washer_r = 22.3
    washer = sd_circle(cx, cy, washer_r)
    rnd = random.Random(41)
    rings = [rnd.random() - 0.5 for _ in range(100)]
    shadow(img, washer, box, 1.2, 2.2, 3.0, 0.62)

    def washer_shade(x, y, d):
        dx, dy = x - cx, y - cy
        phi = math.atan2(dy, dx)
        # circular brushing: two bright wedges facing the light
        aniso = math.cos(2.0 * (phi - math.atan2(LIGHT[1], LIGHT[0]) - math.pi / 2))
        r = math.hypot(dx, dy)
        v = 118.0 + 34.0 * aniso + 18.0 * -(dx * 0.55 + dy * 0.83) / washer_r
        v += rings[min(len(rings) - 1, int(r * 4.0))] * 10.0
        e = -d
        if e < 1.6:
            gx, gy = dx / max(1e-6, math.hypot(dx, dy)), dy / max(1e-6, math.hypot(dx, dy))
            v += -(gx * 0.55 + gy * 0.83) * 50.0 * (1.0 - e / 1.6)
        return (v * 0.97, v, v * 1.03)

    fill(img, (cx - 24, cy - 24, cx + 24, cy + 24), washer, washer_shade)

    # Hex nut, with the top chamfer that rounds its corners off.
    rot = 0.22
    nut_in = 15.9
    nut = sd_hexagon(cx, cy, nut_in, rot, 0.8)
    shadow(img, nut, box, 0.8, 1.4, 2.2, 0.55)
    chamfer_r = 16.3

    def nut_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        if r < chamfer_r:
            # flat top, satin finish with a soft gradient
            v = 200.0 - 44.0 * (dx * 0.55 + dy * 0.83) / nut_in
        else:
            t = clamp((r - chamfer_r) / 2.5)
            g = (dx / r, dy / r)
            s = math.sin(0.75)
            v = chrome_env(g[0] * s, g[1] * s, math.cos(0.75), 1.0)
            v = mix(200.0 - 44.0 * (dx * 0.55 + dy * 0.83) / nut_in, v, smoothstep(0.0, 0.6, t))
        e = -d
        if e < 1.4:
            gx, gy = gradient(nut, x, y)
            lit = -(gx * 0.55 + gy * 0.83)
            v = mix(v, 70.0 + 150.0 * max(0.0, lit), 0.75 * (1.0 - e / 1.4))
        return (v * 0.98, v, v * 1.03)

    fill(img, (cx - 20, cy - 20, cx + 20, cy + 20), nut, nut_shade)

    # Threaded bushing around the plunger.
    bush_r = 12.7
    bush = sd_circle(cx, cy, bush_r)
    fill(img, (cx - 14, cy - 14, cx + 14, cy + 14), sd_circle(cx, cy, bush_r + 1.2),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.35 * clamp(-d)))

    def bush_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        thread = math.sin(r * 2.0 * math.pi / 1.35)
        g = (dx / max(r, 1e-6), dy / max(r, 1e-6))
        tilt = 0.35 * thread
        v = chrome_env(g[0] * tilt, g[1] * tilt, math.sqrt(1 - tilt * tilt), 0.78)
        return (v * 0.98, v, v * 1.02)

    fill(img, (cx - 13, cy - 13, cx + 13, cy + 13), bush, bush_shade)

    # The plunger cap: a polished dome.
    cap_r = 10.2
    cap = sd_circle(cx, cy, cap_r)
    fill(img, (cx - 12, cy - 12, cx + 12, cy + 12), sd_circle(cx + 0.5, cy + 0.9, cap_r + 0.8),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.5 * clamp(-d * 0.6 + 0.2)))
    dome = cap_r * 1.25

    def cap_shade(x, y, d):
        dx, dy = (x - cx) / dome, (y - cy) / dome
        nz = math.sqrt(max(0.0, 1.0 - dx * dx - dy * dy))
        v = chrome_env(dx, dy, nz, 1.0)
        e = -d
        if e < 1.0:
            v *= 0.7 + 0.3 * e
        return (v * 0.98, v, v * 1.03)

    fill(img, (cx - 11, cy - 11, cx + 11, cy + 11), cap, cap_shade)


def paint_led(img, ox, oy, lit):
    cx, cy = ox + LED_CENTRE[0], oy + LED_CENTRE[1]
    bezel_r, lens_r = 5.6, 3.9
    bezel = sd_circle(cx, cy, bezel_r)
    box = (int(cx - 9), int(cy - 9), int(cx + 10), int(cy + 10))
    shadow(img, bezel, box, 0.6, 1.2, 1.8, 0.55)

    def bezel_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        # a rounded ring: normal runs from inward at the lens to outward at the rim
        t = clamp((r - lens_r) / (bezel_r - lens_r))
        ang = (t - 0.5) * 2.0 * 1.0
        g = (dx / max(r, 1e-6), dy / max(r, 1e-6))
        v = chrome_env(g[0] * math.sin(ang), g[1] * math.sin(ang), math.cos(ang), 0.95)
        return (v * 0.98, v, v * 1.03)

    fill(img, (cx - 7, cy - 7, cx + 7, cy + 7), bezel, bezel_shade)

    lens = sd_circle(cx, cy, lens_r)

    def lens_shade(x, y, d):
        dx, dy = (x - cx) / lens_r, (y - cy) / lens_r
        r = math.hypot(dx, dy)
        if lit:
            core = math.exp(-(((dx + 0.05) ** 2 + (dy + 0.05) ** 2) / 0.22))
            c = mixc((200.0, 14.0, 10.0), (255.0, 58.0, 36.0), clamp(1.1 - r))
            c = mixc(c, (255.0, 196.0, 160.0), core)
        else:
            c = mixc((92.0, 16.0, 16.0), (40.0, 6.0, 8.0), clamp(r * 0.9 + dy * 0.25))
        # highlight dot of the dome, upper left
        sp = math.exp(-(((dx + 0.38) ** 2 + (dy + 0.42) ** 2) / 0.045))
        c = mixc(c, (250.0, 240.0, 236.0), sp * (0.9 if not lit else 0.6))
        # a faint reflection low on the right
        rr = math.exp(-(((dx - 0.45) ** 2 + (dy - 0.45) ** 2) / 0.05))
        c = mixc(c, (255.0, 120.0, 110.0) if lit else (150.0, 60.0, 60.0), rr * 0.35)
        e = -d
        if e < 0.9:
            c = scale(c, 0.7 + 0.3 * e / 0.9)
        return c

    fill(img, (cx - 5, cy - 5, cx + 5, cy + 5), lens, lens_shade)

    if lit:
        # Glow: light thrown onto the bezel and paint around the lens; it dies out
        # well inside the frame so the picture has no edge on the face.
        for y in range(int(cy - 10), int(cy + 11)):
            for x in range(int(cx - 10), int(cx + 11)):
                r = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                dd = r - lens_r
                if dd <= -0.5:
                    continue
                # a tight halo on the bezel plus a wide soft one on the paint
                a = 0.45 * math.exp(-(max(dd, 0.0) / 1.6) ** 2) \
                    + 0.62 * math.exp(-(max(dd, 0.0) / 4.0) ** 2)
                a *= 1.0 - smoothstep(2.8, 4.9, dd)
                if a > 0.0:
                    p = img.px[y * img.w + x]
                    # screen blend: the glow never bleaches the bezel to white
                    for i, g in enumerate((255.0 * a, 34.0 * a, 20.0 * a)):
                        p[i] = 255.0 - (255.0 - p[i]) * (255.0 - g) / 255.0


def make_footswitch(face):
    """Two 70 x 70 frames, off above on, drawn over the face's own pixels."""
    x0, y0 = SWITCH_RECT[0], SWITCH_RECT[1]
    strip = Image(SWITCH_SIZE, 2 * SWITCH_SIZE)
    for state in (0, 1):
        frame = face.crop(x0, y0, SWITCH_SIZE, SWITCH_SIZE)
        paint_footswitch(frame, 0.0, 0.0)
        paint_led(frame, 0.0, 0.0, state == 1)
        strip.paste(frame, 0, state * SWITCH_SIZE)
    return strip


# --------------------------------------------------------------------------
# Knob film strip

def knob_angle(k):
    return math.radians(-135.0 + 270.0 * k / (KNOB_FRAMES - 1))


def paint_knob_scale(img, cx, cy):
    for i in range(11):
        a = math.radians(-135.0 + 27.0 * i)
        sx, sy = math.sin(a), -math.cos(a)
        r0, r1 = 15.0, 17.6 if i in (0, 5, 10) else 16.9
        seg = sd_segment(cx + sx * r0, cy + sy * r0, cx + sx * r1, cy + sy * r1, 0.45)
        fill(img, (cx - 19, cy - 19, cx + 19, cy + 19), seg, lambda x, y, d: INK)


def paint_knob(img, cx, cy, angle):
    skirt_r, cap_r = 12.6, 8.6
    skirt = sd_circle(cx, cy, skirt_r)
    box = (int(cx - 16), int(cy - 16), int(cx + 18), int(cy + 20))
    shadow(img, skirt, box, 1.3, 2.6, 3.2, 0.7)
    ridges = 26
    px, py = math.sin(angle), -math.cos(angle)

    def skirt_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        g = (dx / r, dy / r)
        phi = math.atan2(dy, dx)
        rib = math.sin((phi - angle) * ridges)
        tang = (-g[1], g[0])
        slope = 0.95
        nx = g[0] * math.sin(slope) + tang[0] * rib * 0.45
        ny = g[1] * math.sin(slope) + tang[1] * rib * 0.45
        n = norm3(nx, ny, math.cos(slope))
        v = 18.0 + 70.0 * lambert(n) + 90.0 * blinn(n, 18)
        e = -d
        if e < 1.0:
            v *= 0.6 + 0.4 * e
        c = (v, v, v * 1.05)
        # pointer line on the skirt
        along = dx * px + dy * py
        across = abs(dx * py - dy * px)
        if along > 0:
            a = clamp(1.3 - across) * clamp((along - cap_r + 0.5)) * clamp(skirt_r - 1.2 - along + 0.5)
            c = mixc(c, INK, a)
        return c

    fill(img, (cx - 14, cy - 14, cx + 14, cy + 14), skirt, skirt_shade)

    cap = sd_circle(cx, cy, cap_r)
    fill(img, (cx - 11, cy - 11, cx + 11, cy + 11), sd_circle(cx, cy, cap_r + 0.9),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.6 * clamp(-d)))
    light_phi = math.atan2(LIGHT[1], LIGHT[0])

    def cap_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        phi = math.atan2(dy, dx)
        aniso = math.cos(2.0 * (phi - light_phi - math.pi / 2))
        v = 160.0 + 52.0 * aniso * 0.5 - 22.0 * (dx * 0.55 + dy * 0.83) / cap_r
        v += 6.0 * math.sin(r * 4.1)
        # engraved pointer line across the cap
        along = dx * px + dy * py
        across = abs(dx * py - dy * px)
        if along > 1.0:
            a = clamp(1.2 - across) * clamp(along - 1.0)
            v = mix(v, 40.0, a * 0.9)
        e = -d
        if e < 1.0:
            v *= 0.75 + 0.25 * e
        return (v * 0.98, v, v * 1.02)

    fill(img, (cx - 10, cy - 10, cx + 10, cy + 10), cap, cap_shade)


def make_knob_strip(face):
    fw, fh = KNOB_FRAME
    strip = Image(fw, fh * KNOB_FRAMES)
    base = face.crop(KNOB_POS[0], KNOB_POS[1], fw, fh)
    paint_knob_scale(base, KNOB_CENTRE[0], KNOB_CENTRE[1])
    for k in range(KNOB_FRAMES):
        frame = base.copy()
        paint_knob(frame, KNOB_CENTRE[0], KNOB_CENTRE[1], knob_angle(k))
        strip.paste(frame, 0, k * fh)
    return strip


# --------------------------------------------------------------------------
# Seven-segment digits

DISPLAY_BG = (16.0, 9.0, 9.0)
SEG_ON = (255.0, 44.0, 28.0)
SEG_GHOST = (48.0, 14.0, 12.0)

# Segment rectangles (x0, y0, x1, y1) inside a 7 x 9 cell: a 5 x 7 digit with a
# one-pixel margin all round.
SEGMENTS = {
    "a": (2.0, 1.0, 5.0, 2.0),
    "b": (5.0, 1.6, 6.0, 4.4),
    "c": (5.0, 4.6, 6.0, 7.4),
    "d": (2.0, 7.0, 5.0, 8.0),
    "e": (1.0, 4.6, 2.0, 7.4),
    "f": (1.0, 1.6, 2.0, 4.4),
    "g": (2.0, 4.0, 5.0, 5.0),
}
DIGIT_SEGMENTS = ["abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg", ""]


def make_digit_cell(segs):
    ss = 6
    cell = Image(DIGIT_W, DIGIT_H, DISPLAY_BG)
    for y in range(DIGIT_H):
        for x in range(DIGIT_W):
            on = ghost = 0.0
            for sy in range(ss):
                for sx in range(ss):
                    px, py = x + (sx + 0.5) / ss, y + (sy + 0.5) / ss
                    for name, (a, b, c, d) in SEGMENTS.items():
                        # bevelled ends, as on a real segment
                        if a <= px < c and b <= py < d:
                            if name in segs:
                                on += 1.0
                            else:
                                ghost += 1.0
                            break
            n = ss * ss
            on, ghost = min(1.0, on / n), min(1.0, ghost / n)
            c = mixc(DISPLAY_BG, SEG_GHOST, ghost)
            c = mixc(c, SEG_ON, on)
            cell.put(x, y, c)
    # a little bloom around lit segments
    glow = Image(DIGIT_W, DIGIT_H)
    for y in range(DIGIT_H):
        for x in range(DIGIT_W):
            p = cell.get(x, y)
            if p[0] > 150:
                for yy in range(max(0, y - 1), min(DIGIT_H, y + 2)):
                    for xx in range(max(0, x - 1), min(DIGIT_W, x + 2)):
                        if (xx, yy) != (x, y):
                            glow.add(xx, yy, (9.0, 1.5, 1.0))
    for i, p in enumerate(cell.px):
        g = glow.px[i]
        cell.px[i] = [min(255.0, p[0] + g[0]), p[1] + g[1], p[2] + g[2]]
    return cell


def make_digit_strip():
    strip = Image(DIGIT_W, DIGIT_H * DIGIT_CELLS)
    for i, segs in enumerate(DIGIT_SEGMENTS):
        strip.paste(make_digit_cell(segs), 0, i * DIGIT_H)
    return strip


# --------------------------------------------------------------------------
# Unit labels and the full face

def label_masks(workdir):
    font, size = "DejaVu-Sans-Bold", 9
    return (text_mask("(ms)", font, size, 0.4, workdir), text_mask("(note)", font, size, 0.4, workdir))


def make_labels(face, workdir):
    lw, lh = LABEL_SIZE
    strip = Image(lw, 2 * lh)
    for i, m in enumerate(label_masks(workdir)):
        frame = face.crop(LABEL_POS[0], LABEL_POS[1], lw, lh)
        print_text(frame, m, 1, (lh - m.h) // 2, INK, 0.25)
        strip.paste(frame, 0, i * lh)
    return strip


def paint_display(img, digits, text):
    x0, y0, x1, y1 = DISPLAY_RECT
    bezel = sd_rrect(x0, y0, x1, y1, 3.5)
    shadow(img, bezel, (x0 - 4, y0 - 4, x1 + 6, y1 + 7), 1.0, 1.8, 3.0, 0.6)

    def bezel_shade(x, y, d):
        e = -d
        gx, gy = gradient(bezel, x, y)
        v = 52.0 - 14.0 * (y - y0) / (y1 - y0)
        if e < 2.5:
            v += -(gx * 0.55 + gy * 0.83) * 40.0 * (1.0 - e / 2.5)
        return (v, v * 1.02, v * 1.05)

    fill(img, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), bezel, bezel_shade)
    wx0, wy0, wx1, wy1 = x0 + 3, y0 + 3, x1 - 3, y1 - 3
    for y in range(wy0, wy1):
        for x in range(wx0, wx1):
            img.put(x, y, DISPLAY_BG)
    # inner lip: the window is sunk into the bezel
    for x in range(wx0, wx1):
        img.blend(x, wy0, (0.0, 0.0, 0.0), 0.6)
    for y in range(wy0, wy1):
        img.blend(wx0, y, (0.0, 0.0, 0.0), 0.4)
    pitch = DIGIT_W + 2
    total = pitch * len(text) - 2
    dx0 = wx0 + (wx1 - wx0 - total) // 2
    dy0 = wy0 + (wy1 - wy0 - DIGIT_H) // 2
    for i, ch in enumerate(text):
        k = 10 if ch == " " else int(ch)
        cell = digits.crop(0, k * DIGIT_H, DIGIT_W, DIGIT_H)
        img.paste(cell, dx0 + i * pitch, dy0)
    # glass: a faint diagonal sheen over the window
    for y in range(wy0 + 1, wy1):
        for x in range(wx0 + 1, wx1):
            s = (x - wx0) * 0.35 - (y - wy0) * 1.0
            a = 0.06 * (1.0 - smoothstep(0.0, 6.0, abs(s - 6.0)))
            img.blend(x, y, (255.0, 255.0, 255.0), a)


def make_full_face(face, digits, workdir):
    img = face.copy()
    # Time display, with its caption and unit
    cap = text_mask("Time", "DejaVu-Sans-Bold", 9, 0.4, workdir)
    ms, _ = label_masks(workdir)
    ly = LABEL_POS[1] + (LABEL_SIZE[1] - ms.h) // 2
    print_text(img, cap, LABEL_POS[0] - 3 - cap.w, ly, INK, 0.25)
    print_text(img, ms, LABEL_POS[0] + 1, ly, INK, 0.25)
    paint_display(img, digits, "0500")
    # Buffer size knob, half way, with its caption
    kx, ky = KNOB_POS[0] + KNOB_CENTRE[0], KNOB_POS[1] + KNOB_CENTRE[1]
    paint_knob_scale(img, kx, ky)
    paint_knob(img, kx, ky, knob_angle(40))
    bs = text_mask("Buffer Size", "DejaVu-Sans-Bold", 9, 0.4, workdir)
    print_text(img, bs, int(round(kx - bs.w / 2)), KNOB_POS[1] + KNOB_FRAME[1] + 1, INK, 0.25)
    # footswitch, on
    sx, sy = SWITCH_RECT[0], SWITCH_RECT[1]
    paint_footswitch(img, sx, sy)
    paint_led(img, sx, sy, True)
    return img


# --------------------------------------------------------------------------

def convert(args):
    subprocess.run([CONVERT] + args, check=True)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    work = sys.argv[2] if len(sys.argv) > 2 else tempfile.mkdtemp(prefix="backtwister-art-")
    os.makedirs(work, exist_ok=True)
    p = lambda name: os.path.join(work, name)
    o = lambda name: os.path.join(out, name)

    # 8-bit pictures.  The dither setting must come before any quantising
    # option (-type Palette quantises too), and frames that must agree pixel
    # for pixel are mapped without dithering.
    pal8 = ["-colors", "256", "-type", "Palette"]
    bmp_opts = ["-compress", "None", "-define", "bmp:format=bmp3"]

    face = make_face(work)
    face.write_ppm(p("face.ppm"))
    convert([p("face.ppm"), "-dither", "FloydSteinberg"] + pal8 + bmp_opts + ["BMP3:" + o("face.bmp")])
    # The footswitch is drawn opaquely over the palette face, so its
    # background is taken from the face exactly as stored.
    convert([o("face.bmp"), "-depth", "8", "ppm:" + p("face-stored.ppm")])
    stored = Image.read_ppm(p("face-stored.ppm"))

    make_footswitch(stored).write_ppm(p("footswitch.ppm"))
    convert([p("footswitch.ppm"), "-type", "TrueColor"] + bmp_opts + ["BMP3:" + o("footswitch.bmp")])

    make_knob_strip(face).write_ppm(p("knob.ppm"))
    convert([p("knob.ppm"), "+dither"] + pal8 + bmp_opts + ["BMP3:" + o("knob-strip.bmp")])

    make_labels(face, work).write_ppm(p("labels.ppm"))
    convert([p("labels.ppm"), "+dither"] + pal8 + bmp_opts + ["BMP3:" + o("unit-labels.bmp")])

    digits = make_digit_strip()
    digits.write_ppm(p("digits.ppm"))
    convert([p("digits.ppm"), "+dither"] + pal8 + bmp_opts + ["BMP3:" + o("digits.bmp")])

    make_full_face(face, digits, work).write_ppm(p("full-face.ppm"))
    convert([p("full-face.ppm"), "-type", "TrueColor"] + bmp_opts + ["BMP3:" + o("full-face.bmp")])


if __name__ == "__main__":
    main()
