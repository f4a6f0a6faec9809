#!/usr/bin/env python3
"""Paints the gallery example's bitmaps (resources 200 to 216).

The gallery is the toolkit's control bench: one panel with a pocket for each
family of controls.  It is the pedal's sibling, so it borrows the pedal's
materials and helpers from resources/artwork.py (imported, not copied: the
hammertone, the chrome, the screws, the lettering all come from there).

Everything that sits inside a pocket is painted on the pocket's floor colour,
FLOOR, which is perfectly flat over the pocket's inner area: such pictures can
be drawn opaquely anywhere in that area and show no seam.  Only the two slider
handles move over something that is not flat floor; they carry the key colour
(pure white) around them.  No other pixel of any picture is pure white.

Standard library only; ImageMagick's `convert` renders the lettering and
writes the BMP files.

Usage: gallery_artwork.py OUTPUT_DIR [WORK_DIR]
       gallery_artwork.py --preview OUTPUT_DIR [WORK_DIR]   (after the above)
"""
import contextlib
import math
import os
import random
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
PEDAL_DIR = os.path.normpath(os.path.join(HERE, "..", "..", "..", "resources"))
sys.path.insert(0, PEDAL_DIR)
sys.dont_write_bytecode = True     # leave no __pycache__ in the pedal's directory

import artwork as pedal  # noqa: E402  (its main only runs as a script)
from artwork import (  # noqa: E402
    INK, LIGHT, PAINT, Image, ValueNoise, blinn, chrome_env, clamp, draw_mask, engrave_text, fill,
    gradient, lambert, mix, mixc, norm3, print_text, scale, sd_circle, sd_rrect, sd_segment, shadow,
    smoothstep, text_mask,
)

W, H = 640, 400

# The six pockets: 200 x 170 each, 10 apart, the first at (10, 50).
SECTION_W, SECTION_H = 200, 170
SECTIONS = [
    ((10, 50), "KNOBS"),
    ((220, 50), "SLIDERS"),
    ((430, 50), "SWITCHES"),
    ((10, 230), "BUTTONS"),
    ((220, 230), "DISPLAYS"),
    ((430, 230), "METER & MOTION"),
]
WALL = 3                           # pixels of pocket wall on every side
SHADE = 5                          # the floor below the top and left walls lies in their shadow
# Flat floor below the label band, relative to the pocket: left, top, right, bottom (exclusive).
INNER = (WALL + SHADE, 24, SECTION_W - WALL - 1, SECTION_H - WALL - 1)
LABEL_POS = (9, 9)                 # top left of a pocket's label, relative to the pocket

# The pocket floor: a dark, slightly green slate.  Integer, so the floor is
# exactly one colour and opaque pictures painted on it match it exactly.
FLOOR = (30.0, 37.0, 38.0)

NAME_PLATE = (160.0, 5.0, 480.0, 45.0)

KEY = (255.0, 255.0, 255.0)

# Control picture sizes.
VTRACK = (24, 120)
VHANDLE = (22, 12)
SELECTOR = 40
ROCKER = (30, 50)
BUTTON = 40
LED = 20
METER = (16, 120)
METER_SEGMENTS = 12                # ten pixels each: the meter's splits fall in the gaps
REEL = 40
REEL_FRAMES = 12
SPLASH = (240, 140)
DIGIT = (12, 18)
DIGIT_CELLS = 11
KNOB = 64                          # both knob pictures are 64 x 64 (a frame of the strip, the face)
KNOB_FRAMES = 80
# The knob's axis: the middle of pixel (32, 32), where the line-handle knob
# starts its line.  Both knob pictures turn about this point.
KNOB_CENTRE = (32.5, 32.5)

CONVERT = pedal.CONVERT


# --------------------------------------------------------------------------
# Small helpers

@contextlib.contextmanager
def pedal_geometry(**values):
    """Runs one of the pedal's painters on a picture of another size.  Its
    enclosure and backdrop read the picture size and the body rectangle from
    module globals; they are swapped for the call and put back after it."""
    saved = {k: getattr(pedal, k) for k in values}
    for k, v in values.items():
        setattr(pedal, k, v)
    try:
        yield
    finally:
        for k, v in saved.items():
            setattr(pedal, k, v)


def blank(w, h, color=FLOOR):
    return Image(w, h, color)


def no_white(img, key=None):
    """Rounds every pixel to what the BMP will hold and keeps the key colour
    for the pixels that `key` (a set of indices) names: nothing else may come
    out as pure white, or keyed drawing would punch a hole there."""
    for i, p in enumerate(img.px):
        if key is not None and i in key:
            img.px[i] = list(KEY)
            continue
        q = [0 if v < 0 else 255 if v > 255 else int(v + 0.5) for v in p]
        if min(q) >= 251:
            q = [min(v, 250) for v in q]
        img.px[i] = q


def transpose(img):
    out = Image(img.h, img.w)
    for y in range(img.h):
        for x in range(img.w):
            out.px[x * out.w + y] = list(img.px[y * img.w + x])
    return out


def check_floor_edge(img, what):
    """A picture painted on the floor must end in plain floor all round, or
    it would show an edge when drawn opaquely into a pocket."""
    f = [int(v) for v in FLOOR]
    for y in range(img.h):
        for x in range(img.w):
            if x in (0, img.w - 1) or y in (0, img.h - 1):
                q = [int(v + 0.5) for v in img.px[y * img.w + x]]
                if q != f:
                    raise SystemExit("%s: pixel (%d, %d) on the edge is %s, not floor" % (what, x, y, q))


def stack(frames):
    w, h = frames[0].w, frames[0].h
    strip = Image(w, h * len(frames))
    for i, f in enumerate(frames):
        strip.paste(f, 0, i * h)
    return strip


def sd_tapered(ax, ay, bx, by, ra, rb):
    """A capsule whose radius runs from ra at a to rb at b (close enough to a
    true distance for the small tilts used here)."""
    vx, vy = bx - ax, by - ay
    ll = vx * vx + vy * vy

    def f(x, y):
        wx, wy = x - ax, y - ay
        t = clamp((wx * vx + wy * vy) / ll) if ll > 0 else 0.0
        return math.hypot(wx - vx * t, wy - vy * t) - (ra + (rb - ra) * t)
    return f


def dome_shade(cx, cy, radius, bright=1.0, tint=(0.98, 1.0, 1.03)):
    """Polished metal dome: the pedal's chrome seen on a sphere cap."""
    def shade(x, y, d):
        dx, dy = (x - cx) / radius, (y - cy) / radius
        nz = math.sqrt(max(0.0, 1.0 - dx * dx - dy * dy))
        v = chrome_env(dx, dy, nz, bright)
        e = -d
        if e < 1.0:
            v *= 0.72 + 0.28 * e
        return (v * tint[0], v * tint[1], v * tint[2])
    return shade


# --------------------------------------------------------------------------
# The pockets (background 200 and section plate 201)

def paint_pocket(img, ox, oy):
    """A 200 x 170 pocket milled into the panel: a bright lip where the paint
    turns down at the top and left, walls in shadow there and lit at the
    bottom and right, and a flat slate floor whose top and left edges lie in
    the walls' shadow.  It covers its rectangle exactly (square corners), so
    the same pixels come out wherever it is cut."""
    wall_top = scale(PAINT, 0.34)
    wall_left = scale(PAINT, 0.46)
    wall_bottom = mixc(scale(PAINT, 1.25), (150.0, 170.0, 160.0), 0.35)
    wall_right = mixc(scale(PAINT, 1.05), (120.0, 140.0, 134.0), 0.25)
    for y in range(SECTION_H):
        for x in range(SECTION_W):
            l, t = x, y
            r, b = SECTION_W - 1 - x, SECTION_H - 1 - y
            m = min(l, t, r, b)
            if m < WALL:
                # which wall: the nearest edge; the corners split on the diagonal
                if m == t and t <= l and t < r:
                    c = wall_top
                elif m == l and l < b:
                    c = wall_left
                elif m == b:
                    c = wall_bottom
                else:
                    c = wall_right
                if m == 0:
                    # the very edge: paint rolling over into the pocket
                    if c is wall_top or c is wall_left:
                        c = mixc(scale(PAINT, 1.45), (200.0, 214.0, 200.0), 0.25)
                    else:
                        c = scale(PAINT, 0.3)
                elif m == WALL - 1:
                    # the floor's corner, a dark crease
                    c = scale(c, 0.7)
            else:
                # shadow cast by the top and left walls onto the floor
                st = 1.0 - smoothstep(0.0, SHADE, t - WALL + 0.5)
                sl = 1.0 - smoothstep(0.0, SHADE, l - WALL + 0.5)
                s = max(st * 0.55, sl * 0.45)
                c = scale(FLOOR, 1.0 - s)
            img.put(ox + x, oy + y, c)


def paint_section_label(img, ox, oy, text, workdir):
    m = text_mask(text, "DejaVu-Sans-Bold", 8, 1.0, workdir)
    lx, ly = ox + LABEL_POS[0], oy + LABEL_POS[1]
    print_text(img, m, lx, ly, INK, 0.5)
    # a fine rule runs on to the right edge, like a form on the bench
    ry = ly + m.h // 2
    for x in range(lx + m.w + 6, ox + INNER[2] - 1):
        img.blend(x, ry, INK, 0.28)
    # and a short tick closes it
    for y in range(ry - 2, ry + 3):
        img.blend(ox + INNER[2] - 2, y, INK, 0.4)


def make_section_plate():
    img = Image(SECTION_W, SECTION_H)
    paint_pocket(img, 0, 0)
    return img


def paint_swell(img, left, right, cy, amp, seed):
    """The maker's mark from the pedal: a note played backwards, swelling out
    of silence and stopping dead."""
    rnd = random.Random(seed)
    n = right - left
    for i in range(0, n, 2):
        u = i / n
        env = math.exp(-(1.0 - u) * 3.6) * (0.35 + 0.65 * smoothstep(0.0, 0.15, u))
        wig = 0.55 + 0.45 * abs(math.sin(u * 61.0) * 0.6 + (rnd.random() - 0.5) * 0.8)
        hgt = max(0.6, amp * env * wig)
        x = left + i
        top, bot = cy - hgt, cy + hgt
        alpha = 0.5 + 0.5 * smoothstep(0.05, 0.7, u)
        for y in range(int(top) - 1, int(bot) + 2):
            cov = clamp(min(y + 1.0, bot) - max(float(y), top))
            if cov > 0:
                img.blend(x, y, INK, cov * alpha)
                img.blend(x, y + 1, (0.0, 0.0, 0.0), cov * alpha * 0.12)
    for x in range(left - 16, left):
        img.blend(x, int(cy), INK, 0.55 * smoothstep(left - 16, left - 4, x))


def paint_bench_marks(img, workdir):
    """Silk-screen on the header either side of the plate."""
    paint_swell(img, 58, 142, 25.0, 9.0, 5)
    top = text_mask("TOOLKIT", "DejaVu-Sans-Bold", 8, 1.6, workdir)
    bot = text_mask("GALLERY  No. 1", "DejaVu-Sans-Bold", 7, 0.8, workdir)
    right = 590
    print_text(img, top, right - top.w, 14, INK, 0.25)
    print_text(img, bot, right - bot.w, 28, INK, 0.25)
    for x in range(right - bot.w, right):
        img.blend(x, 25, INK, 0.45)


def make_background(workdir):
    img = Image(W, H)
    # The pedal's enclosure, stretched to the bench: it runs off the bottom of
    # the window, so only its top corners and side bevels show.
    with pedal_geometry(W=W, H=H, BODY=(0.0, 0.0, float(W), H + 40.0), BODY_R=14.0):
        pedal.paint_backdrop(img)
        pedal.paint_enclosure(img)
    for (cx, cy, a) in ((22.5, 25.5, 0.4), (617.5, 25.5, 1.2)):
        pedal.paint_screw(img, cx, cy, 5.5, a)
    # The pedal's plate, with its brushing and lettering sized to this panel.
    pedal.paint_name_plate(img, NAME_PLATE, "BACKTWISTER CONTROL BENCH", workdir, seed=121,
                           sheen=(0.3, 0.06, 0.2, 0.84, 0.1), title_size=17, kerning=1.0, title_margin=40,
                           title_top=7, maker_size=9, maker_gap=4, rivet=2.1)
    paint_bench_marks(img, workdir)
    for (ox, oy), label in SECTIONS:
        paint_pocket(img, ox, oy)
        paint_section_label(img, ox, oy, label, workdir)
    # rivets where the gaps between the pockets cross
    for cx in (215.0, 425.0):
        pedal.paint_rivet(img, cx, 225.0, 2.2)
    return img


# --------------------------------------------------------------------------
# Sliders (202 to 205).  The vertical pair is painted; the horizontal pair is
# the same picture turned over its diagonal, which keeps the light in the
# upper left.

TRACK_SLOT = (10.0, 4.0, 14.0, 116.0)     # the groove in the vertical track
HANDLE_TRAVEL = VTRACK[1] - VHANDLE[1]    # 108: the handle's top runs from 0 to 108


def make_vertical_track():
    w, h = VTRACK
    img = blank(w, h)
    x0, y0, x1, y1 = TRACK_SLOT
    slot = sd_rrect(x0, y0, x1, y1, 2.0)
    # a lit lip below and right of the groove, a dark one above and left
    fill(img, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), sd_rrect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, 3.0),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.35))
    fill(img, (x0 - 2, y0 - 2, x1 + 2, y1 + 2), sd_rrect(x0 + 0.6, y0 + 0.8, x1 + 1.0, y1 + 1.2, 2.4),
         lambda x, y, d: (110.0, 124.0, 122.0, 0.55))

    def slot_shade(x, y, d):
        e = -d
        v = 6.0 + 10.0 * smoothstep(0.0, 2.0, e)
        gx, gy = gradient(slot, x, y)
        if e < 1.2:
            # the far (lower right) wall of the groove catches a little light
            v += max(0.0, gx * 0.55 + gy * 0.83) * 30.0 * (1.0 - e / 1.2)
        return (v, v * 1.05, v * 1.08)

    fill(img, (x0 - 1, y0 - 1, x1 + 1, y1 + 1), slot, slot_shade)
    # scale: eleven ticks at the handle's centre positions, long at the ends and middle
    for i in range(11):
        yc = VHANDLE[1] / 2.0 + HANDLE_TRAVEL * i / 10.0
        yc = math.floor(yc) + 0.5
        long_ = i in (0, 5, 10)
        for (a, b) in ((1.5 if long_ else 3.5, 7.0), (17.0, 22.5 if long_ else 20.5)):
            seg = sd_segment(a, yc, b, yc, 0.5)
            fill(img, (0, yc - 2, w, yc + 2), seg, lambda x, y, d: (INK[0], INK[1], INK[2], 0.8 if long_ else 0.55))
    check_floor_edge(img, "slider track")
    return img


def make_vertical_handle():
    """A chrome fader cap, a pixel narrower than the picture on each side;
    that column and the rounded corners are key colour.  The cap's edge
    pixels are mixed with the floor colour, which is what lies beside the
    track's groove under them."""
    w, h = VHANDLE
    img = blank(w, h)
    cap = sd_rrect(1.0, 0.0, w - 1.0, float(h), 3.0)
    cx, cy = w / 2.0, h / 2.0

    def shade(x, y, d):
        e = -d
        v_ = (y - cy) / (h / 2.0)
        # the top is a shallow saddle: the two ribbed halves lean towards the
        # centre line, so the lower half faces the light and the upper half away
        ny = -0.3 * v_
        rib = math.cos((y - 0.5) * math.pi)              # ribs a pixel wide, light and dark by turns
        ny += 0.38 * rib * smoothstep(1.6, 2.6, abs(y - cy))
        nx = 0.0
        if e < 1.6:
            gx, gy = gradient(cap, x, y)
            k = 1.0 - e / 1.6
            nx += gx * 0.85 * k
            ny += gy * 0.85 * k
        n = norm3(nx, ny, 1.0)
        v = chrome_env(n[0], n[1], n[2], 0.95)
        c = (v * 0.97, v, v * 1.03)
        # the indicator: a cream line across the middle, sunk in a dark groove
        if abs(y - cy) < 1.0 and abs(x - cx) < w / 2.0 - 2.2:
            c = INK
        elif abs(y - cy) < 2.0:
            c = scale(c, 0.45)
        if e < 0.8:
            c = scale(c, 0.6 + 0.4 * e / 0.8)
        return c

    fill(img, (0, 0, w, h), cap, shade)
    key = set()
    for y in range(h):
        for x in range(w):
            if cap(x + 0.5, y + 0.5) > 0.35:
                key.add(y * w + x)
    return img, key


# --------------------------------------------------------------------------
# Three-position selector (206)

SELECTOR_CENTRE = (20.0, 21.0)


def paint_selector(img, oy, position):
    cx, cy = SELECTOR_CENTRE[0], oy + SELECTOR_CENTRE[1]
    # position marks: left, centre (above), right
    for (dx, dy) in ((-1.0, 0.0), (0.0, -1.0), (1.0, 0.0)):
        r0, r1 = 16.4, 18.9
        seg = sd_segment(cx + dx * r0, cy + dy * r0, cx + dx * r1, cy + dy * r1, 0.6)
        fill(img, (cx - 19, cy - 19, cx + 19, cy + 19), seg, lambda x, y, d: INK)
    # the round plate, brushed in circles like the footswitch washer
    plate_r = 13.4
    plate = sd_circle(cx, cy, plate_r)
    shadow(img, plate, (0, oy, SELECTOR, oy + SELECTOR), 0.9, 1.6, 2.4, 0.6)
    light_phi = math.atan2(LIGHT[1], LIGHT[0])

    def plate_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        phi = math.atan2(dy, dx)
        aniso = math.cos(2.0 * (phi - light_phi - math.pi / 2))
        v = 120.0 + 34.0 * aniso + 16.0 * -(dx * 0.55 + dy * 0.83) / plate_r
        v += 5.0 * math.sin(r * 3.7)
        e = -d
        if e < 1.4:
            v += -(dx / r * 0.55 + dy / r * 0.83) * 55.0 * (1.0 - e / 1.4)
        return (v * 0.97, v, v * 1.03)

    fill(img, (cx - 15, cy - 15, cx + 15, cy + 15), plate, plate_shade)
    # the bushing the lever comes out of
    bush = sd_circle(cx, cy, 5.0)
    fill(img, (cx - 7, cy - 7, cx + 7, cy + 7), sd_circle(cx + 0.3, cy + 0.6, 5.4),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.45 * clamp(-d)))
    fill(img, (cx - 6, cy - 6, cx + 6, cy + 6), bush, dome_shade(cx, cy, 9.0, 0.8))

    # The bat lever.  Tilted, it shows as a tapering shaft from the bushing to
    # a ball tip; in the middle it points at the viewer and only the tip shows.
    tip_r, base_r = 3.9, 2.4
    reach = 12.2
    tx, ty = cx + reach * position, cy - 0.8 * abs(position)
    # its shadow falls away to the lower right, longer the more it stands up
    if position == 0:
        sh = sd_tapered(cx, cy, cx + 3.0, cy + 4.5, 3.0, 3.4)
    else:
        sh = sd_tapered(cx, cy, tx + 2.0, ty + 3.0, base_r, tip_r)
    shadow(img, sh, (int(cx - 17), int(cy - 10), int(cx + 19), int(cy + 13)), 0.5, 0.5, 2.2, 0.55)
    if position != 0:
        shaft = sd_tapered(cx, cy, tx, ty, base_r, tip_r * 0.8)
        ax, ay = tx - cx, ty - cy
        al = math.hypot(ax, ay)
        ux, uy = ax / al, ay / al

        def shaft_shade(x, y, d):
            wx, wy = x - cx, y - cy
            t = clamp((wx * ux + wy * uy) / al)
            across = wx * -uy + wy * ux                  # signed distance from the axis
            rr = base_r + (tip_r * 0.8 - base_r) * t
            s = clamp(across / max(rr, 1e-6), -0.98, 0.98)
            # a cylinder lying at 50 degrees: the normal leans back along the axis
            n = norm3(-uy * s * 0.85 - ux * 0.35, ux * s * 0.85 - uy * 0.35, math.sqrt(1.0 - s * s) * 0.9)
            v = chrome_env(n[0], n[1], n[2], 0.92)
            return (v * 0.98, v, v * 1.03)

        fill(img, (cx - 16, cy - 8, cx + 16, cy + 8), shaft, shaft_shade)
    tip = sd_circle(tx, ty, tip_r)
    fill(img, (tx - 5, ty - 5, tx + 5, ty + 5), tip, dome_shade(tx, ty, tip_r * 1.15, 1.0))


def make_selector():
    frames = []
    for position in (-1, 0, 1):
        f = blank(SELECTOR, SELECTOR)
        paint_selector(f, 0, position)
        check_floor_edge(f, "selector")
        frames.append(f)
    return stack(frames)


# --------------------------------------------------------------------------
# Rocker (207): frame 0 with the upper end held in, 1 at rest, 2 with the
# lower end held in (the rocker's value is -1 while the upper half is held)

def paint_rocker(img, held):
    """held: -1 the upper end pressed in, 0 at rest, +1 the lower end."""
    w, h = ROCKER
    # the bezel sits a pixel high in its cell, so its shadow stays inside
    bx0, by0, bx1, by1 = 3.0, 2.5, w - 3.0, h - 3.5
    bezel = sd_rrect(bx0, by0, bx1, by1, 3.5)
    shadow(img, bezel, (0, 0, w, h), 0.6, 1.1, 1.8, 0.6)

    def bezel_shade(x, y, d):
        e = -d
        gx, gy = gradient(bezel, x, y)
        v = 40.0 - 8.0 * (y / h)
        if e < 2.0:
            v += -(gx * 0.55 + gy * 0.83) * 36.0 * (1.0 - e / 2.0)
        return (v, v * 1.02, v * 1.05)

    fill(img, (0, 0, w, h), bezel, bezel_shade)
    ox0, oy0, ox1, oy1 = bx0 + 3.5, by0 + 3.5, bx1 - 3.5, by1 - 3.5
    cx, cy = (ox0 + ox1) / 2.0, (oy0 + oy1) / 2.0
    opening = sd_rrect(ox0, oy0, ox1, oy1, 1.5)
    fill(img, (0, 0, w, h), opening, lambda x, y, d: (7.0, 8.0, 9.0))

    # The paddle turns about its middle; seen from the front its length
    # shortens by cos(tilt), the held end sinks into the dark and the other
    # end rises, shows its end face and throws a shadow on the bezel.
    hw, hl = (ox1 - ox0) / 2.0 - 1.0, (oy1 - oy0) / 2.0 - 0.6
    tilt = math.radians(19.0)
    slope = 0.0 if held == 0 else math.sin(tilt) * (1.0 if held < 0 else -1.0)  # dz/du
    ct = math.cos(tilt) if held else 1.0
    dish = 0.8                                   # the face is dished a little
    thick = 5.0

    def z_at(u):
        return u * slope + dish * (u / hl) ** 2 - 1.0

    paddle_face = lambda x, y: sd_rrect(cx - hw, -hl, cx + hw, hl, 1.2)(x, (y - cy) / ct)
    raised = 0 if held == 0 else -held          # +1: the lower end is up
    if raised:
        # shadow of the raised end onto the bezel and opening below/right of it
        ey = cy + raised * hl * ct
        sh = sd_rrect(cx - hw + 1.0, min(ey, ey + raised * 4.0), cx + hw + 1.0, max(ey, ey + raised * 4.0), 1.0)
        shadow(img, sh, (0, 0, w, h), 0.8, 1.6 if raised > 0 else 0.0, 2.0, 0.65)
        # the end face, below (or above) the face's edge
        ef0, ef1 = sorted((ey, ey + raised * thick * math.sin(tilt)))
        end = sd_rrect(cx - hw, ef0 - 0.3, cx + hw, ef1, 0.8)
        fill(img, (0, 0, w, h), end,
             lambda x, y, d: scale((150.0, 152.0, 156.0), 0.42 if raised > 0 else 0.95))

    def face_shade(x, y, d):
        u = (y - cy) / ct
        z = z_at(u)
        dzdy = (slope + 2.0 * dish * u / (hl * hl)) / ct
        nx = 0.0
        ex = hw - abs(x - cx)
        if ex < 2.0:                               # rounded long edges
            nx = math.copysign(0.7 * (1.0 - ex / 2.0), x - cx)
        n = norm3(nx, -dzdy * 0.6, 1.0)
        v = 70.0 + 90.0 * lambert(n) + 60.0 * blinn(n, 24)
        # the deeper it sits, the less light reaches it: the held end goes dark
        occ = 0.26 + 0.74 * smoothstep(-6.5, 4.5, z)
        v *= occ
        c = (v * 0.97, v, v * 1.03)
        # "-" on the upper half and "+" on the lower: the values they give
        uu = u + 8.5
        bar = abs(uu) < 0.75 and abs(x - cx) < 3.2
        ul = u - 8.5
        plus = (abs(ul) < 0.75 and abs(x - cx) < 3.2) or (abs(x - cx) < 0.75 and abs(ul) < 3.2)
        if bar or plus:
            c = scale(INK, 0.2 + 0.8 * occ)
        e = -d
        if e < 0.8:
            c = scale(c, 0.55 + 0.45 * e / 0.8)
        return c

    fill(img, (0, 0, w, h), paddle_face, face_shade)


def make_rocker():
    frames = []
    for held in (-1, 0, 1):
        f = blank(*ROCKER)
        paint_rocker(f, held)
        check_floor_edge(f, "rocker")
        frames.append(f)
    return stack(frames)


# --------------------------------------------------------------------------
# Push button (208): released, then pressed

def paint_button(img, pressed):
    cx, cy = BUTTON / 2.0, BUTTON / 2.0
    ring_r, hole_r = 14.5, 11.4
    ring = sd_circle(cx, cy, ring_r)
    shadow(img, ring, (0, 0, BUTTON, BUTTON), 0.9, 1.7, 2.6, 0.6)

    def ring_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        t = clamp((r - hole_r) / (ring_r - hole_r))
        ang = (t - 0.45) * 2.0 * 0.9
        g = (dx / r, dy / r)
        v = chrome_env(g[0] * math.sin(ang), g[1] * math.sin(ang), math.cos(ang), 0.92)
        return (v * 0.98, v, v * 1.03)

    fill(img, (0, 0, BUTTON, BUTTON), ring, ring_shade)
    fill(img, (0, 0, BUTTON, BUTTON), sd_circle(cx, cy, hole_r), lambda x, y, d: (10.0, 11.0, 12.0))

    cap_r = 9.6 if pressed else 10.4
    ccx, ccy = (cx + 0.3, cy + 0.4) if pressed else (cx, cy)
    cap = sd_circle(ccx, ccy, cap_r)
    if not pressed:
        # standing proud: its shadow falls into the hole
        shadow(img, cap, (0, 0, BUTTON, BUTTON), 0.8, 1.4, 1.8, 0.7)
    cream = (226.0, 212.0, 176.0)
    dim = 0.74 if pressed else 1.0
    dome = cap_r * (1.9 if pressed else 1.55)

    def cap_shade(x, y, d):
        dx, dy = (x - ccx) / dome, (y - ccy) / dome
        nz = math.sqrt(max(0.0, 1.0 - dx * dx - dy * dy))
        n = (dx, dy, nz)
        k = (0.42 + 0.62 * lambert(n)) * dim
        c = scale(cream, k)
        sp = blinn(n, 40) * (60.0 if pressed else 110.0)
        c = (c[0] + sp, c[1] + sp, c[2] + sp * 0.95)
        e = -d
        if e < 1.4:
            # the cap's rounded edge: a soft roll-off, lit on the upper left
            gx, gy = (x - ccx) / max(1e-6, math.hypot(x - ccx, y - ccy)), (y - ccy) / max(1e-6, math.hypot(x - ccx, y - ccy))
            lit = -(gx * 0.55 + gy * 0.83)
            c = scale(c, (0.62 + 0.38 * e / 1.4) * (1.0 + 0.12 * lit))
        return c

    fill(img, (0, 0, BUTTON, BUTTON), cap, cap_shade)
    # a ring pressed into the top of the cap, so the face reads as a button
    groove = lambda x, y: abs(math.hypot(x - ccx, y - ccy) - cap_r * 0.62) - 0.45
    fill(img, (0, 0, BUTTON, BUTTON), groove, lambda x, y, d: (0.0, 0.0, 0.0, 0.16 * dim))


def make_button():
    frames = []
    for pressed in (False, True):
        f = blank(BUTTON, BUTTON)
        paint_button(f, pressed)
        check_floor_edge(f, "push button")
        frames.append(f)
    return stack(frames)


# --------------------------------------------------------------------------
# LED (209): a green lens in a chrome bezel, dark then lit

def paint_led(img, lit):
    """The pedal's LED with a green lens, sized for a 20 x 20 cell; the glow
    dies out a pixel inside the cell, so the cell's edge is plain floor."""
    cx, cy = LED / 2.0, LED / 2.0
    bezel_r, lens_r = 6.4, 4.5
    bezel = sd_circle(cx, cy, bezel_r)
    shadow(img, bezel, (0, 0, LED, LED), 0.6, 1.2, 1.8, 0.55)

    def bezel_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        t = clamp((r - lens_r) / (bezel_r - lens_r))
        ang = (t - 0.5) * 2.0
        g = (dx / r, dy / r)
        v = chrome_env(g[0] * math.sin(ang), g[1] * math.sin(ang), math.cos(ang), 0.95)
        return (v * 0.98, v, v * 1.03)

    fill(img, (0, 0, LED, LED), bezel, bezel_shade)
    lens = sd_circle(cx, cy, lens_r)

    def lens_shade(x, y, d):
        dx, dy = (x - cx) / lens_r, (y - cy) / lens_r
        r = math.hypot(dx, dy)
        if lit:
            core = math.exp(-(((dx + 0.05) ** 2 + (dy + 0.05) ** 2) / 0.22))
            c = mixc((24.0, 176.0, 52.0), (70.0, 250.0, 96.0), clamp(1.1 - r))
            c = mixc(c, (200.0, 252.0, 190.0), core)
        else:
            c = mixc((22.0, 74.0, 34.0), (8.0, 28.0, 14.0), clamp(r * 0.9 + dy * 0.25))
        sp = math.exp(-(((dx + 0.38) ** 2 + (dy + 0.42) ** 2) / 0.045))
        c = mixc(c, (236.0, 246.0, 236.0), sp * (0.85 if not lit else 0.55))
        rr = math.exp(-(((dx - 0.45) ** 2 + (dy - 0.45) ** 2) / 0.05))
        c = mixc(c, (120.0, 255.0, 140.0) if lit else (60.0, 120.0, 70.0), rr * 0.35)
        e = -d
        if e < 0.9:
            c = scale(c, 0.7 + 0.3 * e / 0.9)
        return c

    fill(img, (0, 0, LED, LED), lens, lens_shade)
    if lit:
        for y in range(LED):
            for x in range(LED):
                r = math.hypot(x + 0.5 - cx, y + 0.5 - cy)
                dd = r - lens_r
                if dd <= -0.5:
                    continue
                a = 0.4 * math.exp(-(max(dd, 0.0) / 1.5) ** 2) \
                    + 0.5 * math.exp(-(max(dd, 0.0) / 3.0) ** 2)
                a *= 1.0 - smoothstep(2.0, 4.6, dd)
                if a > 0.0:
                    p = img.px[y * img.w + x]
                    for i, g in enumerate((40.0 * a, 255.0 * a, 70.0 * a)):
                        p[i] = 255.0 - (255.0 - p[i]) * (255.0 - g) / 255.0


def make_led():
    frames = []
    for lit in (False, True):
        f = blank(LED, LED)
        paint_led(f, lit)
        check_floor_edge(f, "LED")
        frames.append(f)
    return stack(frames)


# --------------------------------------------------------------------------
# Level meter (210 off, 211 on): twelve segments of ten pixels, bottom up

def meter_colour(k, lit):
    """Segment k counted from the bottom: seven green, three yellow, two red."""
    if k < 7:
        return (60.0, 226.0, 84.0) if lit else (16.0, 44.0, 24.0)
    if k < 10:
        return (246.0, 206.0, 40.0) if lit else (50.0, 44.0, 14.0)
    return (250.0, 56.0, 36.0) if lit else (54.0, 16.0, 14.0)


def make_meter(lit):
    w, h = METER
    img = Image(w, h, (12.0, 13.0, 14.0))
    # the well: dark, its left edge in shadow and its right edge catching light
    for y in range(h):
        img.put(0, y, (24.0, 28.0, 29.0))
        img.put(w - 1, y, (58.0, 66.0, 66.0))
        img.blend(1, y, (0.0, 0.0, 0.0), 0.5)
    pitch = h // METER_SEGMENTS
    for k in range(METER_SEGMENTS):
        top = h - pitch * (k + 1) + 1
        seg = sd_rrect(3.0, top + 0.0, w - 3.0, top + pitch - 2.0, 0.8)
        base = meter_colour(k, lit)

        def shade(x, y, d, base=base, top=top):
            # a slightly domed lens: brighter along its upper edge
            v = (y - top) / (pitch - 2.0)
            k_ = 1.08 - 0.22 * v
            c = scale(base, k_)
            if lit:
                c = mixc(c, (250.0, 250.0, 236.0), 0.22 * math.exp(-((v - 0.25) / 0.18) ** 2) *
                         (1.0 - abs(x - w / 2.0) / (w / 2.0)))
            else:
                c = mixc(c, (90.0, 96.0, 96.0), 0.12 * math.exp(-((v - 0.2) / 0.2) ** 2))
            return c

        fill(img, (2, top - 1, w - 2, top + pitch), seg, shade)
        if lit:
            # light spilling into the gaps above and below the segment
            for x in range(3, w - 3):
                for (y, a) in ((top - 1, 0.22), (top + pitch - 2, 0.22)):
                    if 0 <= y < h:
                        img.blend(x, y, base, a)
    return img


# --------------------------------------------------------------------------
# Tape spool (212): twelve frames, ten degrees apart, turning backwards
# (counter-clockwise); three windows, so frame 12 would equal frame 0

def paint_reel(img, oy, angle):
    cx, cy = REEL / 2.0, oy + REEL / 2.0
    flange_r = 16.6
    flange = sd_circle(cx, cy, flange_r)
    shadow(img, flange, (0, oy, REEL, oy + REEL), 0.7, 1.3, 1.8, 0.6)
    light_phi = math.atan2(LIGHT[1], LIGHT[0])
    pack_r, hub_r = 11.8, 5.4
    rnd = random.Random(77)
    winding = [rnd.random() - 0.5 for _ in range(64)]

    def window(x, y):
        """Distance to the three kidney windows of the flange (turning)."""
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        phi = math.atan2(dy, dx) - angle
        # nearest window centre angle
        k = round((phi - math.pi / 2) / (2 * math.pi / 3))
        dphi = phi - math.pi / 2 - k * 2 * math.pi / 3
        dphi = (dphi + math.pi) % (2 * math.pi) - math.pi
        half = math.radians(38.0)
        dr = abs(r - 11.2) - 3.4
        da = (abs(dphi) - half) * r
        return min(max(dr, da), 0.0) + math.hypot(max(dr, 0.0), max(da, 0.0)) - 1.2

    def shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        wd = window(x, y)
        phi = math.atan2(dy, dx)
        # the flange: anodised aluminium, turned, with a rolled rim
        aniso = math.cos(2.0 * (phi - light_phi - math.pi / 2))
        v = 132.0 + 30.0 * aniso - 14.0 * (dx * 0.55 + dy * 0.83) / flange_r + 4.0 * math.sin(r * 3.1)
        e = -d
        if e < 1.6:
            v += -(dx / r * 0.55 + dy / r * 0.83) * 60.0 * (1.0 - e / 1.6)
        metal = (v * 0.95, v * 1.0, v * 1.02)
        if wd >= 0.5:
            return metal
        # through a window: the tape pack, or the floor in the spool's shadow
        if r < pack_r:
            t = winding[min(63, int(r * 4.0))]
            pv = 52.0 + 14.0 * t - 8.0 * (dx * 0.55 + dy * 0.83) / pack_r
            inside = (pv * 1.25, pv * 0.82, pv * 0.55)          # brown oxide
            if r > pack_r - 0.8:
                inside = scale(inside, 0.7)
        else:
            inside = scale(FLOOR, 0.35)
        # the window's cut edge: lit on the far side, dark on the near
        if wd > -1.0:
            gx, gy = gradient(window, x, y)
            lit = gx * 0.55 + gy * 0.83
            inside = mixc(inside, (180.0, 186.0, 190.0) if lit > 0 else (20.0, 22.0, 24.0),
                          0.55 * abs(lit) * (1.0 + wd))
        a = clamp(0.5 - wd)
        return mixc(metal, inside, a)

    fill(img, (cx - 18, cy - 18, cx + 18, cy + 18), flange, shade)
    # the hub, with three keys that turn with it
    fill(img, (cx - 8, cy - 8, cx + 8, cy + 8), sd_circle(cx + 0.3, cy + 0.6, hub_r + 0.8),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.4 * clamp(-d)))
    hub = sd_circle(cx, cy, hub_r)
    hub_base = dome_shade(cx, cy, 10.0, 0.85)

    def hub_shade(x, y, d):
        c = hub_base(x, y, d)
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        if r < 2.2:
            return (14.0, 15.0, 16.0)                    # the spindle hole
        if r < 3.0:
            return mixc((14.0, 15.0, 16.0), c, r - 2.2)
        phi = math.atan2(dy, dx) - angle
        for k in range(3):
            a = phi - math.pi / 6 - k * 2 * math.pi / 3
            a = (a + math.pi) % (2 * math.pi) - math.pi
            if abs(a) * r < 0.9 and r < 4.6:
                return scale(c, 0.45)
        return c

    fill(img, (cx - 7, cy - 7, cx + 7, cy + 7), hub, hub_shade)


def make_reel():
    frames = []
    for k in range(REEL_FRAMES):
        f = blank(REEL, REEL)
        paint_reel(f, 0, -math.radians(10.0 * k))
        check_floor_edge(f, "reel")
        frames.append(f)
    return stack(frames)


# --------------------------------------------------------------------------
# Knobs (215 film strip, 216 face for the line-handle knob).  One black
# knob for both: a ribbed skirt, a smooth dark top and a spun metal cap,
# over eleven printed ticks that stay put while the knob turns.  215 carries
# a cream pointer and turns; 216 has none, because the control draws its own
# line from the centre, so its top is kept dark for that line to show.

def knob_angle(k):
    """Frame k of the strip: -135 degrees (lowest left) to +135 degrees, 0
    straight up, clockwise positive; one frame per step."""
    return math.radians(-135.0 + 270.0 * k / (KNOB_FRAMES - 1))


def paint_knob_ticks(img, cx, cy):
    """Eleven ticks, 27 degrees apart, printed on the floor around the knob;
    the ends and the middle are long."""
    for i in range(11):
        a = math.radians(-135.0 + 27.0 * i)
        sx, sy = math.sin(a), -math.cos(a)
        r0, r1 = 24.4, 28.2 if i in (0, 5, 10) else 26.8
        seg = sd_segment(cx + sx * r0, cy + sy * r0, cx + sx * r1, cy + sy * r1, 0.55)
        fill(img, (cx - 30, cy - 30, cx + 30, cy + 30), seg,
             lambda x, y, d, a_=0.92 if i in (0, 5, 10) else 0.8: (INK[0], INK[1], INK[2], a_))


def paint_black_knob(img, cx, cy, angle=None):
    """The knob itself, its axis at (cx, cy).  angle: where the pointer
    points (radians, 0 up, clockwise positive); None paints no pointer, and
    the ribs then sit as they do at 0."""
    skirt_r = 21.0          # outer edge of the ribbed skirt
    top_r = 16.4            # where the skirt meets the flat top
    cap_r = 9.2             # the metal cap
    ridges = 36
    turn = 0.0 if angle is None else angle
    px, py = math.sin(turn), -math.cos(turn)
    skirt = sd_circle(cx, cy, skirt_r)
    box = (int(cx - 26), int(cy - 26), int(cx + 27), int(cy + 29))
    # a soft shadow to the lower right, then a tighter contact shadow
    shadow(img, skirt, box, 2.0, 3.4, 4.4, 0.62)
    shadow(img, skirt, box, 0.6, 1.1, 1.6, 0.45)
    pointer = sd_segment(cx + px * (cap_r + 1.8), cy + py * (cap_r + 1.8),
                         cx + px * (skirt_r - 1.6), cy + py * (skirt_r - 1.6), 0.95)

    def knob_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = max(math.hypot(dx, dy), 1e-6)
        g = (dx / r, dy / r)
        if r > top_r:
            # the skirt: a cone falling away from the top, ribbed across
            phi = math.atan2(dy, dx)
            rib = math.sin((phi - turn) * ridges)
            tang = (-g[1], g[0])
            slope = 0.9 + 0.25 * smoothstep(top_r, skirt_r, r)
            nx = g[0] * math.sin(slope) + tang[0] * rib * 0.42
            ny = g[1] * math.sin(slope) + tang[1] * rib * 0.42
            n = norm3(nx, ny, math.cos(slope))
            v = 14.0 + 58.0 * lambert(n) + 62.0 * blinn(n, 16)
            lit = 0.55 + 0.6 * lambert(n)
            e = -d
            if e < 1.0:
                v *= 0.55 + 0.45 * e
            c = (v, v * 1.01, v * 1.06)
        else:
            # the top: black, a little domed, with a broad soft sheen on the
            # light's side and a rounded rim where it turns into the skirt
            k = r / top_r
            n = norm3(g[0] * 0.32 * k, g[1] * 0.32 * k, 1.0)
            v = 17.0 + 16.0 * lambert(n) + 26.0 * blinn(n, 10)
            rim = top_r - r
            if rim < 1.4:
                lt = -(g[0] * 0.55 + g[1] * 0.83)
                v += lt * 34.0 * (1.0 - rim / 1.4)
            lit = 1.0
            c = (v, v * 1.01, v * 1.06)
        if angle is not None:
            a = clamp(0.5 - pointer(x, y))
            if a > 0.0:
                c = mixc(c, scale(INK, min(1.0, lit)), a)
        return c

    fill(img, (cx - 23, cy - 23, cx + 23, cy + 23), skirt, knob_shade)

    # the cap sits in a shallow dark seam
    cap = sd_circle(cx, cy, cap_r)
    fill(img, (cx - 12, cy - 12, cx + 12, cy + 12), sd_circle(cx + 0.2, cy + 0.35, cap_r + 1.1),
         lambda x, y, d: (0.0, 0.0, 0.0, 0.7 * clamp(-d)))
    light_phi = math.atan2(LIGHT[1], LIGHT[0])

    def cap_shade(x, y, d):
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        phi = math.atan2(dy, dx)
        # spun metal: the turning marks catch the light across the cap
        aniso = math.cos(2.0 * (phi - light_phi - math.pi / 2))
        v = 134.0 + 30.0 * aniso - 20.0 * (dx * 0.55 + dy * 0.83) / cap_r
        v += 5.0 * math.sin(r * 3.6)
        if angle is not None:
            # the pointer carried on across the cap as an engraved line
            along = dx * px + dy * py
            across = abs(dx * py - dy * px)
            if along > 1.5:
                a = clamp(1.25 - across) * clamp(along - 1.5)
                v = mix(v, 36.0, a * 0.85)
        e = -d
        if e < 1.2:
            lt = -(dx * 0.55 + dy * 0.83) / max(r, 1e-6)
            v = v * (0.7 + 0.3 * e / 1.2) + lt * 26.0 * (1.0 - e / 1.2)
        return (v * 0.98, v, v * 1.03)

    fill(img, (cx - 11, cy - 11, cx + 11, cy + 11), cap, cap_shade)


def knob_base():
    """The floor with the printed ticks: the part of the knob pictures that
    never moves."""
    img = blank(KNOB, KNOB)
    paint_knob_ticks(img, KNOB_CENTRE[0], KNOB_CENTRE[1])
    return img


def make_knob_strip():
    base = knob_base()
    frames = []
    for k in range(KNOB_FRAMES):
        f = base.copy()
        paint_black_knob(f, KNOB_CENTRE[0], KNOB_CENTRE[1], knob_angle(k))
        check_floor_edge(f, "knob strip frame %d" % k)
        frames.append(f)
    return stack(frames)


def make_knob_face():
    img = knob_base()
    paint_black_knob(img, KNOB_CENTRE[0], KNOB_CENTRE[1])
    check_floor_edge(img, "knob face")
    return img


# --------------------------------------------------------------------------
# Digits (214): amber seven-segment cells, 0-9 then blank

DIGIT_BG = (20.0, 13.0, 7.0)
DIGIT_ON = (255.0, 168.0, 36.0)
DIGIT_GHOST = (44.0, 28.0, 12.0)
DIGIT_SEGMENTS = ["abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg", ""]


def digit_segments():
    """Segment outlines in a 12 x 18 cell: bars with mitred ends, leaning a
    little forward as on a real display."""
    L, R, T, M, B = 3.2, 9.2, 2.6, 9.0, 15.4
    t, gap = 1.7, 0.45

    def hbar(x0, x1, y):
        return lambda px, py: abs(py - y) + max(0.0, (x0 + t / 2 + gap) - px, px - (x1 - t / 2 - gap)) - t / 2

    def vbar(x, y0, y1):
        return lambda px, py: abs(px - x) + max(0.0, (y0 + t / 2 + gap) - py, py - (y1 - t / 2 - gap)) - t / 2

    return {
        "a": hbar(L, R, T), "g": hbar(L, R, M), "d": hbar(L, R, B),
        "f": vbar(L, T, M), "b": vbar(R, T, M), "e": vbar(L, M, B), "c": vbar(R, M, B),
    }


def make_digit_cell(segs):
    w, h = DIGIT
    shapes = digit_segments()
    lean = 0.12                                     # x shift per pixel of height, to the right going up
    cell = Image(w, h, DIGIT_BG)
    ss = 6
    for y in range(h):
        for x in range(w):
            on = ghost = 0.0
            for sy in range(ss):
                for sx in range(ss):
                    py = y + (sy + 0.5) / ss
                    px = x + (sx + 0.5) / ss - lean * (h / 2.0 - py)
                    for name, f in shapes.items():
                        if f(px, py) <= 0.0:
                            if name in segs:
                                on += 1.0
                            else:
                                ghost += 1.0
                            break
            n = ss * ss
            c = mixc(DIGIT_BG, DIGIT_GHOST, min(1.0, ghost / n))
            c = mixc(c, DIGIT_ON, min(1.0, on / n))
            cell.put(x, y, c)
    glow = Image(w, h)
    for y in range(h):
        for x in range(w):
            p = cell.get(x, y)
            if p[0] > 150:
                for yy in range(max(0, y - 1), min(h, y + 2)):
                    for xx in range(max(0, x - 1), min(w, x + 2)):
                        if (xx, yy) != (x, y):
                            glow.add(xx, yy, (7.0, 3.5, 0.6))
    for i, p in enumerate(cell.px):
        g = glow.px[i]
        cell.px[i] = [min(255.0, p[0] + g[0]), min(250.0, p[1] + g[1]), p[2] + g[2]]
    return cell


def make_digits():
    return stack([make_digit_cell(s) for s in DIGIT_SEGMENTS])


# --------------------------------------------------------------------------
# Splash (213): the "about" card

CARD_INK = (22.0, 74.0, 68.0)       # the panel's green, dark enough to print with
CARD_PAPER = (232.0, 222.0, 190.0)


def read_picture(path, work):
    ppm = os.path.join(work, "read-%s.ppm" % os.path.basename(path))
    subprocess.run([CONVERT, path, "-depth", "8", "ppm:" + ppm], check=True)
    return Image.read_ppm(ppm)


def pedal_miniature(work, scale_down):
    """The pedal's own full face (resource 128), cut out along its enclosure
    and shrunk by area averaging.  Returns colour and coverage images."""
    face = read_picture(os.path.join(PEDAL_DIR, "full-face.bmp"), work)
    body = sd_rrect(pedal.BODY[0], pedal.BODY[1], pedal.BODY[2], pedal.BODY[3], pedal.BODY_R)
    bx0, by0 = int(pedal.BODY[0]), int(pedal.BODY[1])
    bw, bh = int(pedal.BODY[2]) - bx0, int(pedal.BODY[3]) - by0
    mw, mh = int(round(bw / scale_down)), int(round(bh / scale_down))
    col = Image(mw, mh)
    cov = [0.0] * (mw * mh)
    acc = [[0.0, 0.0, 0.0, 0.0] for _ in range(mw * mh)]
    for y in range(bh):
        for x in range(bw):
            a = clamp(0.5 - body(bx0 + x + 0.5, by0 + y + 0.5))
            if a <= 0.0:
                continue
            p = face.px[(by0 + y) * face.w + bx0 + x]
            i = min(mh - 1, int(y / scale_down)) * mw + min(mw - 1, int(x / scale_down))
            q = acc[i]
            q[0] += p[0] * a
            q[1] += p[1] * a
            q[2] += p[2] * a
            q[3] += a
    per = (bw / mw) * (bh / mh)
    for i, q in enumerate(acc):
        if q[3] > 0:
            col.px[i] = [q[0] / q[3], q[1] / q[3], q[2] / q[3]]
        cov[i] = clamp(q[3] / per)
    return col, cov


def make_splash(work):
    w, h = SPLASH
    rnd = random.Random(213)
    grain = ValueNoise(214)
    img = Image(w, h)
    # cream card, a faint paper grain and a little darker towards the corners
    for y in range(h):
        for x in range(w):
            g = grain(x / 1.7, y / 1.7) * 2.5 + (rnd.random() - 0.5) * 3.0
            vign = 1.0 - 0.06 * (((x - w / 2) / (w / 2)) ** 2 + ((y - h / 2) / (h / 2)) ** 2)
            img.put(x, y, (CARD_PAPER[0] * vign + g, CARD_PAPER[1] * vign + g, CARD_PAPER[2] * vign + g * 0.8))
    # printed border: a solid band and a hairline inside it
    for y in range(h):
        for x in range(w):
            m = min(x, y, w - 1 - x, h - 1 - y)
            if m < 4:
                img.blend(x, y, CARD_INK, 1.0 if m > 0 else 0.85)
            elif m == 6:
                img.blend(x, y, CARD_INK, 0.75)

    # the stomp box, a little tilted shadow under it
    col, cov = pedal_miniature(work, 3.1)
    px0, py0 = 16, (h - col.h) // 2 - 2
    for y in range(col.h):
        for x in range(col.w):
            a = cov[y * col.w + x]
            if a > 0:
                for (sx, sy, sa) in ((2, 3, 0.22), (1, 2, 0.18), (1, 1, 0.12)):
                    img.blend(px0 + x + sx, py0 + y + sy, (40.0, 32.0, 20.0), a * sa)
    for y in range(col.h):
        for x in range(col.w):
            a = cov[y * col.w + x]
            if a > 0:
                img.blend(px0 + x, py0 + y, col.px[y * col.w + x], a)

    tx0 = px0 + col.w + 12
    tx1 = w - 14
    tw = tx1 - tx0
    size = 20
    while True:
        name = text_mask("BACKTWISTER", "DejaVu-Sans-Condensed-Bold", size, 1.0, work)
        if name.w <= tw:
            break
        size -= 1
    cxm = (tx0 + tx1) / 2.0
    y = 30
    draw_mask(img, name, int(round(cxm - name.w / 2)), y, CARD_INK)
    y += name.h + 5
    sub = text_mask("reverse-audio effect", "DejaVu-Sans", 8, 0.3, work)
    draw_mask(img, sub, int(round(cxm - sub.w / 2)), y, scale(CARD_INK, 1.15), 0.9)
    y += sub.h + 8
    # the reversed swell, printed small
    paint_swell_ink(img, tx0 + 12, tx1 - 4, y + 6.0, 5.5, CARD_INK)
    y += 16
    maker = text_mask("Kelpworks", "DejaVu-Serif-Bold-Italic", 11, 0.5, work)
    mx = int(round(cxm - maker.w / 2))
    draw_mask(img, maker, mx, y, CARD_INK)
    ry = y + maker.h // 2
    for (a, b) in ((tx0 + 2, mx - 6), (mx + maker.w + 6, tx1 - 2)):
        for x in range(a, b):
            img.blend(x, ry, CARD_INK, 0.6)
    y += maker.h + 7
    ver = text_mask("version 1.1.0", "DejaVu-Sans", 8, 0.4, work)
    draw_mask(img, ver, int(round(cxm - ver.w / 2)), y, scale(CARD_INK, 1.15), 0.9)
    return img


def paint_swell_ink(img, left, right, cy, amp, ink):
    rnd = random.Random(9)
    n = right - left
    for i in range(0, n, 2):
        u = i / n
        env = math.exp(-(1.0 - u) * 3.6) * (0.35 + 0.65 * smoothstep(0.0, 0.15, u))
        wig = 0.55 + 0.45 * abs(math.sin(u * 61.0) * 0.6 + (rnd.random() - 0.5) * 0.8)
        hgt = max(0.5, amp * env * wig)
        x = left + i
        top, bot = cy - hgt, cy + hgt
        alpha = 0.45 + 0.55 * smoothstep(0.05, 0.7, u)
        for y in range(int(top) - 1, int(bot) + 2):
            cov = clamp(min(y + 1.0, bot) - max(float(y), top))
            if cov > 0:
                img.blend(x, y, ink, cov * alpha)
    for x in range(left - 12, left):
        img.blend(x, int(cy), ink, 0.5 * smoothstep(left - 12, left - 3, x))


# --------------------------------------------------------------------------
# Output

def write_bmp(img, path, work, key=None):
    no_white(img, key)
    ppm = os.path.join(work, os.path.basename(path) + ".ppm")
    img.write_ppm(ppm)
    # TrueColor keeps 24 bits even for pictures with few colours
    subprocess.run([CONVERT, ppm, "-type", "TrueColor", "-compress", "None",
                    "-define", "bmp:format=bmp3", "BMP3:" + path], check=True)


# --------------------------------------------------------------------------
# Preview: the bench with controls placed as the gallery might place them,
# composed from the BMP files as written (keyed pixels left out, as a keyed
# draw would), then the splash card and the strips.  For people; not built.

PREVIEW_LINE = (236.0, 226.0, 194.0)   # stands in for the line the line-handle knob draws


def preview_handle_line(img, x0, y0, value, length):
    """A one-pixel line from pixel (32, 32) of a knob face placed at (x0, y0)
    outwards, for value 0 to 1 (-135 to +135 degrees): roughly what the
    line-handle knob draws over 216.  Preview only."""
    a = math.radians(-135.0 + 270.0 * value)
    sx, sy = math.sin(a), -math.cos(a)
    t = 0.0
    while t <= length:
        x = int(math.floor(KNOB_CENTRE[0] + sx * t))
        y = int(math.floor(KNOB_CENTRE[1] + sy * t))
        img.put(x0 + x, y0 + y, PREVIEW_LINE)
        t += 0.25


def section_inner(i):
    """Window rectangle (left, top, right, bottom; right and bottom
    exclusive) of the flat floor of pocket i, below its label."""
    (ox, oy), _ = SECTIONS[i]
    return (ox + INNER[0], oy + INNER[1], ox + INNER[2], oy + INNER[3])


def place(dst, src, x0, y0, sx=0, sy=0, w=None, h=None, keyed=False):
    w = src.w if w is None else w
    h = src.h if h is None else h
    for y in range(h):
        for x in range(w):
            p = src.px[(sy + y) * src.w + sx + x]
            if keyed and p[0] == 255 and p[1] == 255 and p[2] == 255:
                continue
            dst.px[(y0 + y) * dst.w + x0 + x] = list(p)


def make_preview(out, work):
    rd = lambda name: read_picture(os.path.join(out, name), work)
    img = rd("bench.bmp")
    vt, vh = rd("vslider-track.bmp"), rd("vslider-handle.bmp")
    ht, hh = rd("hslider-track.bmp"), rd("hslider-handle.bmp")
    sel, rock, btn, led = rd("selector.bmp"), rd("rocker.bmp"), rd("push-button.bmp"), rd("led.bmp")
    moff, mon, reel, dig = rd("meter-off.bmp"), rd("meter-on.bmp"), rd("reel.bmp"), rd("digits-amber.bmp")
    splash = rd("splash.bmp")
    kstrip, kface = rd("knob-strip.bmp"), rd("knob-face.bmp")

    # sliders: two vertical at 30 % and 75 %, two horizontal at 20 % and 60 %
    for (x, v) in ((236, 0.3), (264, 0.75)):
        place(img, vt, x, 86)
        place(img, vh, x + 1, 86 + int(round((1.0 - v) * HANDLE_TRAVEL)), keyed=True)
    for (y, v) in ((100, 0.2), (160, 0.6)):
        place(img, ht, 294, y)
        place(img, hh, 294 + int(round(v * HANDLE_TRAVEL)), y + 1, keyed=True)
    # switches: the selector in its three positions above the rocker's three frames
    for i in range(3):
        place(img, sel, 450 + 50 * i, 84, 0, SELECTOR * i, SELECTOR, SELECTOR)
        place(img, rock, 455 + 50 * i, 146, 0, ROCKER[1] * i, ROCKER[0], ROCKER[1])
    # buttons: push button up and down, LED off and on
    for i in range(2):
        place(img, btn, 34 + 50 * i, 272, 0, BUTTON * i, BUTTON, BUTTON)
        place(img, led, 144 + 30 * i, 282, 0, LED * i, LED, LED)
    # displays: five amber digits
    for i, k in enumerate((0, 1, 2, 3, 10)):
        place(img, dig, 250 + DIGIT[0] * i, 276, 0, DIGIT[1] * k, DIGIT[0], DIGIT[1])
    # meter & motion: two meters at 5 and 9 segments of 12, two spools
    for (x, lit) in ((452, 5), (474, 9)):
        c = METER[1] - lit * (METER[1] // METER_SEGMENTS)
        place(img, moff, x, 262, 0, 0, METER[0], c)
        place(img, mon, x, 262 + c, 0, c, METER[0], METER[1] - c)
    for i, k in enumerate((0, 4)):
        place(img, reel, 520 + 54 * i, 290, 0, REEL * k, REEL, REEL)
    # knobs: the film strip at two settings above the plain face with the
    # control's line drawn over it at two more
    for i, k in enumerate((20, 66)):
        place(img, kstrip, 30 + 82 * i, 78, 0, KNOB * k, KNOB, KNOB)
    for i, v in enumerate((0.15, 0.7)):
        place(img, kface, 30 + 82 * i, 148)
        preview_handle_line(img, 30 + 82 * i, 148, v, 19.0)

    big = Image(img.w * 2, img.h * 2)
    for y in range(big.h):
        for x in range(big.w):
            big.px[y * big.w + x] = list(img.px[(y // 2) * img.w + x // 2])
    knob_rows = big.h + SPLASH[1] * 2 + 40
    sheet = Image(big.w, knob_rows + 2 * (KNOB * 2 + 12) + 8, (32.0, 32.0, 36.0))
    sheet.paste(big, 0, 0)
    # the splash at twice its size, and the reel's twelve frames at twice theirs
    for y in range(splash.h * 2):
        for x in range(splash.w * 2):
            sheet.px[(big.h + 20 + y) * sheet.w + 20 + x] = list(splash.px[(y // 2) * splash.w + x // 2])
    for k in range(REEL_FRAMES):
        fx = 540 + (k % 6) * 88
        fy = big.h + 20 + (k // 6) * 140
        for y in range(REEL * 2):
            for x in range(REEL * 2):
                sheet.px[(fy + y) * sheet.w + fx + x] = list(reel.px[(REEL * k + y // 2) * REEL + x // 2])
    # below: nine frames of the knob strip at twice their size (the first,
    # every tenth, the last), then the plain face and the face with the
    # control's line at values 0, 0.25, 0.5, 0.75 and 1
    cells = [(kstrip, KNOB * k, None) for k in (0, 10, 20, 30, 40, 50, 60, 70, KNOB_FRAMES - 1)]
    for i, (pic, sy, v) in enumerate(cells):
        fx, fy = 20 + i * 140, knob_rows
        for y in range(KNOB * 2):
            for x in range(KNOB * 2):
                sheet.px[(fy + y) * sheet.w + fx + x] = list(pic.px[(sy + y // 2) * KNOB + x // 2])
    for i, v in enumerate((None, 0.0, 0.25, 0.5, 0.75, 1.0)):
        face = kface.copy()
        if v is not None:
            preview_handle_line(face, 0, 0, v, 19.0)
        fx, fy = 20 + i * 140, knob_rows + KNOB * 2 + 12
        for y in range(KNOB * 2):
            for x in range(KNOB * 2):
                sheet.px[(fy + y) * sheet.w + fx + x] = list(face.px[(y // 2) * KNOB + x // 2])
    sheet.write_ppm(os.path.join(work, "preview.ppm"))
    subprocess.run([CONVERT, os.path.join(work, "preview.ppm"), os.path.join(out, "preview.png")], check=True)


def main():
    args = sys.argv[1:]
    preview = bool(args) and args[0] == "--preview"
    if preview:
        args = args[1:]
    out = args[0] if len(args) > 0 else HERE
    work = args[1] if len(args) > 1 else tempfile.mkdtemp(prefix="gallery-art-")
    os.makedirs(work, exist_ok=True)
    if preview:
        make_preview(out, work)
        return
    o = lambda name: os.path.join(out, name)

    write_bmp(make_background(work), o("bench.bmp"), work)
    write_bmp(make_section_plate(), o("section-plate.bmp"), work)

    track = make_vertical_track()
    handle, key = make_vertical_handle()
    write_bmp(track.copy(), o("vslider-track.bmp"), work)
    write_bmp(handle.copy(), o("vslider-handle.bmp"), work, key)
    write_bmp(transpose(track), o("hslider-track.bmp"), work)
    hw = handle.w
    write_bmp(transpose(handle), o("hslider-handle.bmp"), work,
              {(i % hw) * handle.h + i // hw for i in key})

    write_bmp(make_selector(), o("selector.bmp"), work)
    write_bmp(make_rocker(), o("rocker.bmp"), work)
    write_bmp(make_button(), o("push-button.bmp"), work)
    write_bmp(make_led(), o("led.bmp"), work)
    write_bmp(make_meter(False), o("meter-off.bmp"), work)
    write_bmp(make_meter(True), o("meter-on.bmp"), work)
    write_bmp(make_reel(), o("reel.bmp"), work)
    write_bmp(make_splash(work), o("splash.bmp"), work)
    write_bmp(make_digits(), o("digits-amber.bmp"), work)
    write_bmp(make_knob_strip(), o("knob-strip.bmp"), work)
    write_bmp(make_knob_face(), o("knob-face.bmp"), work)


if __name__ == "__main__":
    main()
