"""Deterministic drawing for tools/make_resources.py: maths, rendering, palettes, DIB headers."""

import argparse
import math
import struct
import sys
import tempfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GPL_SOURCE = Path("/usr/share/common-licenses/GPL-3")

# The classic dialog face colour.  The GIF, BMP and AVI have no transparency,
# so they are painted onto the colour they will normally sit on.
BACKGROUND = (192, 192, 192)

# Icon resource numbers the program loads its icon images by.
ICON_IDS = {16: 30001, 32: 30002}

CURSOR_HOTSPOT = (12, 9)

# ---------------------------------------------------------------------------
# Deterministic maths

PI = 3.141592653589793


def sin_(x):
    """Sine by Taylor series after reduction to [-pi/2, pi/2]."""
    two_pi = 2.0 * PI
    x -= two_pi * math.floor(x / two_pi + 0.5)
    if x > PI / 2:
        x = PI - x
    elif x < -PI / 2:
        x = -PI - x
    term = total = x
    x2 = x * x
    for n in range(1, 12):
        term *= -x2 / ((2 * n) * (2 * n + 1))
        total += term
    return total


def cos_(x):
    return sin_(x + PI / 2)


def exp_(x):
    """e**x: series on a small argument, then squared back up."""
    halvings = 0
    while abs(x) > 0.125:
        x *= 0.5
        halvings += 1
    term = total = 1.0
    for n in range(1, 14):
        term *= x / n
        total += term
    for _ in range(halvings):
        total *= total
    return total


def round_(v):
    return int(math.floor(v + 0.5))


def clamp_byte(v):
    return max(0, min(255, round_(v)))


def mix(a, b, t):
    """Linear blend of two colours, t=0 gives a, t=1 gives b."""
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# ---------------------------------------------------------------------------
# Shape tests.  Coordinates are in pixels from the top-left corner; pixel
# (i, j) covers [i, i+1) x [j, j+1).


def in_circle(x, y, cx, cy, r):
    dx, dy = x - cx, y - cy
    return dx * dx + dy * dy <= r * r


def in_round_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x <= x1 and y0 <= y <= y1):
        return False
    qx = max(x0 + r - x, 0.0, x - (x1 - r))
    qy = max(y0 + r - y, 0.0, y - (y1 - r))
    return qx * qx + qy * qy <= r * r


def near_segment(x, y, ax, ay, bx, by, half_width):
    """True within half_width of the segment a-b (round caps)."""
    vx, vy = bx - ax, by - ay
    wx, wy = x - ax, y - ay
    length2 = vx * vx + vy * vy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, (wx * vx + wy * vy) / length2))
    dx, dy = wx - t * vx, wy - t * vy
    return dx * dx + dy * dy <= half_width * half_width


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])

    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


# ---------------------------------------------------------------------------
# Rendering and palettes


def render(width, height, paint, supersample=4, background=None):
    """Rasterise paint(x, y) -> colour or None with n*n samples per pixel.

    With a background, uncovered samples take that colour (anti-aliased
    edges).  Without one the result keeps None for pixels that are less than
    half covered: icons and cursors only have a 1-bit mask, so their outer
    edge is hard and partially covered pixels show the shape's own colour
    rather than a blend with a background nobody can predict.
    """
    offsets = [(k + 0.5) / supersample for k in range(supersample)]
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0]
            hits = 0
            for oy in offsets:
                for ox in offsets:
                    c = paint(px + ox, py + oy)
                    if c is None:
                        if background is None:
                            continue
                        c = background
                    acc[0] += c[0]
                    acc[1] += c[1]
                    acc[2] += c[2]
                    hits += 1
            if hits * 2 < supersample * supersample:
                row.append(None)
            else:
                row.append(tuple(clamp_byte(a / hits) for a in acc))
        rows.append(row)
    return rows


def median_cut(colours, count):
    """Pick at most `count` representative colours (weighted median cut)."""
    hist = {}
    for c in colours:
        hist[c] = hist.get(c, 0) + 1
    distinct = sorted(hist)
    if len(distinct) <= count:
        return distinct
    boxes = [distinct]
    while len(boxes) < count:
        best = None
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for ch in range(3):
                spread = max(c[ch] for c in box) - min(c[ch] for c in box)
                if best is None or spread > best[0]:
                    best = (spread, i, ch)
        if best is None:
            break
        _, i, ch = best
        box = sorted(boxes[i], key=lambda c: (c[ch], c))
        total = sum(hist[c] for c in box)
        cut, run = len(box) - 1, 0
        for j, c in enumerate(box[:-1]):
            run += hist[c]
            if run * 2 >= total:
                cut = j + 1
                break
        boxes[i:i + 1] = [box[:cut], box[cut:]]
    palette = []
    for box in boxes:
        weight = sum(hist[c] for c in box)
        palette.append(tuple(
            clamp_byte(sum(c[ch] * hist[c] for c in box) / weight) for ch in range(3)))
    return palette


class Quantiser:
    def __init__(self, palette):
        self.palette = palette
        self.cache = {}

    def index(self, colour):
        found = self.cache.get(colour)
        if found is None:
            best = None
            for i, p in enumerate(self.palette):
                d = sum((p[ch] - colour[ch]) * (p[ch] - colour[ch]) for ch in range(3))
                if best is None or d < best[0]:
                    best = (d, i)
            found = self.cache[colour] = best[1]
        return found


def pad_palette(palette, size=256):
    return list(palette) + [(0, 0, 0)] * (size - len(palette))


def rgbquads(palette):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in palette)


def bitmap_info_header(width, height, bits, image_size, clr_used=0, ppm=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size,
                       ppm, ppm, clr_used, 0)


def row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


