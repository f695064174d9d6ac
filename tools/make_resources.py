#!/usr/bin/env python3
"""Generate Tessaro's binary resources and data files.

Every picture, sound and clip the program ships is drawn here in code, so the
binaries in resources/ can be rebuilt and reviewed like any other source:

    python3 tools/make_resources.py          # (re)write the files in resources/
    python3 tools/make_resources.py --check  # fail if the committed files are stale

The output is byte-for-byte reproducible.  The drawing and synthesis code only
uses IEEE basic arithmetic and sqrt (plus the small sine/exp routines below)
instead of the C library's transcendental functions, whose last bits differ
between platforms and would make --check fail on another machine.

Only the Python standard library is used.
"""

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


# ---------------------------------------------------------------------------
# Application icon: a blue shield carrying a red "no" sign


def shield_contains(x, y, s, inset):
    """Shield outline scaled to an s x s icon, shrunk by `inset` pixels."""
    u, v = x / s, y / s
    d = inset / s
    half = 0.44 - d
    dx = abs(u - 0.5)
    if dx > half:
        return False
    k = dx / half
    top = 0.05 + d + 0.05 * (1.0 - k * k)
    shoulder = 0.50
    bottom = 0.975 - 1.6 * d
    if v < top or v > bottom:
        return False
    if v <= shoulder:
        return True
    t = (v - shoulder) / (bottom - shoulder)
    return dx <= half * (1.0 - t * t)


# Per size: (sign centre y, sign radius, ring width, slash half-width,
# samples per pixel).  The 16x16 image is point-sampled so it stays crisp
# pixel art; smoothing at that size only turns the sign into pink mush.
ICON_LAYOUT = {16: (7.2, 4.2, 1.2, 0.7, 1), 32: (14.72, 8.64, 2.5, 1.25, 4)}


def icon_painter(size):
    outline = 1.0 if size <= 16 else 1.6
    cy, radius, ring, slash, _ = ICON_LAYOUT[size]
    cx = size * 0.5
    navy = (18, 36, 92)
    light = (84, 146, 230)
    dark = (40, 92, 184)
    red = (214, 30, 36)
    white = (255, 255, 255)

    def paint(x, y):
        if not shield_contains(x, y, size, 0.0):
            return None
        if in_circle(x, y, cx, cy, radius):
            if in_circle(x, y, cx, cy, radius - ring):
                # The slash runs top-left to bottom-right like a road sign's.
                reach = (radius - ring) * 0.75
                if near_segment(x, y, cx - reach, cy - reach, cx + reach, cy + reach, slash):
                    return red
                return white
            return red
        if not shield_contains(x, y, size, outline):
            return navy
        # Lit from the left: the two halves get different blues.
        base = light if x < cx else dark
        return mix(base, (255, 255, 255), 0.18 * max(0.0, 1.0 - y / (size * 0.5)))

    return paint


def icon_image(size):
    """One RT_ICON payload: 8-bit DIB, XOR image then AND mask."""
    rows = render(size, size, icon_painter(size), supersample=ICON_LAYOUT[size][4])
    # Index 0 stays black for the masked-out pixels: screen AND 1 XOR 0 leaves
    # the screen unchanged.
    opaque = [p for row in rows for p in row if p is not None]
    palette = pad_palette([(0, 0, 0)] + median_cut(opaque, 255))
    quant = Quantiser(palette)
    stride = row_stride(size, 8)
    mask_stride = row_stride(size, 1)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):  # DIB rows run bottom-up
        line = bytearray(stride)
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x >> 3] |= 0x80 >> (x & 7)
            else:
                line[x] = quant.index(p)
        xor += line
        mask += bits
    header = bitmap_info_header(size, size * 2, 8, len(xor) + len(mask))
    return header + rgbquads(palette) + bytes(xor) + bytes(mask)


def icon_files():
    images = {size: icon_image(size) for size in sorted(ICON_IDS)}
    count = len(images)
    ico = bytearray(struct.pack("<HHH", 0, 1, count))
    group = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for size, data in images.items():
        # Width/height 0 would mean 256; colour count 0 means "8 bits or more".
        entry = struct.pack("<BBBBHHI", size, size, 0, 0, 1, 8, len(data))
        ico += entry + struct.pack("<I", offset)
        group += entry + struct.pack("<H", ICON_IDS[size])
        offset += len(data)
    for data in images.values():
        ico += data
    files = {"resources/tessaro.ico": bytes(ico),
             "resources/icongroup1.bin": bytes(group)}
    for size, data in images.items():
        files["resources/icon%d.bin" % ICON_IDS[size]] = data
    return files


# ---------------------------------------------------------------------------
# Pointing-hand cursor.  '#' is black, 'o' white, '.' transparent.  The tip
# of the index finger, row 9 column 12, is the hot spot.

HAND = """
................................
................................
................................
................................
................................
................................
................................
................................
................................
...........###..................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo#.................
..........#ooo###...............
..........#ooo#ooo###...........
..........#ooo#ooo#ooo##........
..........#ooo#ooo#ooo#oo#......
....###...#ooo#ooo#ooo#ooo#.....
...#ooo#..#ooooooooooooooo#.....
...#oooo#.#ooooooooooooooo#.....
....#oooo#oooooooooooooooo#.....
.....#ooooooooooooooooooooo#....
......#oooooooooooooooooooo#....
.......#ooooooooooooooooooo#....
........#oooooooooooooooooo#....
.........#oooooooooooooooo#.....
..........#oooooooooooooo#......
..........#oooooooooooooo#......
..........#oooooooooooooo#......
..........################......
"""


def cursor_file():
    rows = HAND.split()
    assert len(rows) == 32 and all(len(r) == 32 for r in rows)
    hx, hy = CURSOR_HOTSPOT
    assert rows[hy][hx] == "#", "the hot spot must be on the fingertip"
    stride = row_stride(32, 1)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        colour = bytearray(stride)
        bits = bytearray(stride)
        for x, ch in enumerate(row):
            bit = 0x80 >> (x & 7)
            if ch == ".":
                bits[x >> 3] |= bit
            elif ch == "o":
                colour[x >> 3] |= bit
        xor += colour
        mask += bits
    image = (bitmap_info_header(32, 64, 1, len(xor) + len(mask))
             + rgbquads([(0, 0, 0), (255, 255, 255)]) + bytes(xor) + bytes(mask))
    head = struct.pack("<HHH", 0, 2, 1)
    # In a .cur directory entry the planes/bit-count words hold the hot spot.
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, hx, hy, len(image), 6 + 16)
    return head + entry + image


# ---------------------------------------------------------------------------
# Product picture (GIF): a compact disc with a red cross badge


def disc_colour(x, y, cx, cy, radius, beam_cos, beam_sin):
    """Colour of a CD at (x, y), or None in the centre hole / outside.

    The two rainbow highlights sit on the axis at angle phi; beam_cos and
    beam_sin are cos(2*phi) and sin(2*phi).
    """
    dx, dy = x - cx, y - cy
    r2 = dx * dx + dy * dy
    r = math.sqrt(r2)
    scale = radius / 12.5
    if r > radius or r < 2.2 * scale:
        return None
    edge = (70, 74, 88)
    if r > radius - 1.0 or r < 3.0 * scale:
        return edge
    if r < 5.6 * scale:
        if r > 4.9 * scale:
            return (150, 156, 170)
        return (214, 218, 226)
    # cos(2*(theta - phi)) without an atan2: the highlights are symmetric.
    c = ((dx * dx - dy * dy) * beam_cos + 2.0 * dx * dy * beam_sin) / r2
    glow = max(0.0, c)
    glow *= glow
    glow *= glow
    t = (r - 5.6 * scale) / (radius - 6.6 * scale)
    tint = mix((150, 225, 255), (255, 176, 232), t)
    base = mix((176, 182, 198), (206, 210, 222), 0.5 + 0.5 * (dx - dy) / (r * 1.5))
    return mix(base, tint, 0.9 * glow)


def gif_picture():
    beam = (cos_(2 * PI / 6), sin_(2 * PI / 6))  # highlight at 30 degrees

    def paint(x, y):
        bx, by, br = 23.5, 23.5, 7.8
        if in_circle(x, y, bx, by, br):
            if not in_circle(x, y, bx, by, br - 1.2):
                return (112, 14, 18)
            arm = 3.1
            if (near_segment(x, y, bx - arm, by - arm, bx + arm, by + arm, 1.25)
                    or near_segment(x, y, bx - arm, by + arm, bx + arm, by - arm, 1.25)):
                return (255, 255, 255)
            return (220, 36, 40)
        return disc_colour(x, y, 13.5, 13.5, 12.8, beam[0], beam[1])

    return render(32, 32, paint, background=BACKGROUND)


def lzw_compress(indices, min_code_size):
    """GIF-flavoured LZW.

    The table is restarted before any code needs more than min_code_size+1
    bits.  That costs a little compression on this tiny image and sidesteps
    the classic off-by-one between encoders and decoders about when the code
    width grows.
    """
    clear = 1 << min_code_size
    end = clear + 1
    width = min_code_size + 1
    limit = (1 << width) - 1
    out = bytearray()
    acc = nbits = 0

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    table = {}
    next_code = end + 1
    emit(clear)
    current = indices[0]
    for value in indices[1:]:
        key = (current, value)
        if key in table:
            current = table[key]
            continue
        emit(current)
        table[key] = next_code
        next_code += 1
        if next_code >= limit:
            emit(clear)
            table = {}
            next_code = end + 1
        current = value
    emit(current)
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_file():
    rows = gif_picture()
    palette = pad_palette(median_cut([p for row in rows for p in row], 256))
    quant = Quantiser(palette)
    indices = [quant.index(p) for row in rows for p in row]
    data = lzw_compress(indices, 8)
    out = bytearray(b"GIF89a")
    # Global colour table present, 8-bit colour resolution, 256 entries.
    out += struct.pack("<HHBBB", 32, 32, 0xF7, 0, 0)
    out += b"".join(bytes(c) for c in palette)
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, 32, 32, 0)
    out += bytes((8,))
    for i in range(0, len(data), 255):
        block = data[i:i + 255]
        out += bytes((len(block),)) + block
    out += b"\x00\x3B"
    return bytes(out)


# ---------------------------------------------------------------------------
# Picture for the sound button (BMP): a small robot with a red play button
# on its chest, centred on pixel (17.5, 33.5).

BUTTON_CENTRE = (17.5, 33.5)


def robot(x, y):
    ink = (36, 44, 64)
    steel = (176, 190, 210)
    blue = (92, 128, 192)
    bx, by = BUTTON_CENTRE

    # Play button, drawn first because it sits on top of everything.
    if in_circle(x, y, bx, by, 6.5):
        if not in_circle(x, y, bx, by, 5.4):
            return (100, 12, 16)
        if in_triangle(x, y, (bx - 1.8, by - 3.0), (bx - 1.8, by + 3.0), (bx + 3.0, by)):
            return (255, 255, 255)
        shine = 0.35 if in_circle(x, y, bx - 1.6, by - 1.9, 2.2) else 0.0
        return mix((214, 40, 44), (255, 255, 255), shine)

    # Speaker grille next to it: the button plays a sound.
    for i in range(4):
        gy = 29.0 + 3.0 * i
        if near_segment(x, y, 28.5, gy, 37.0, gy, 0.85):
            return ink

    # Antenna
    if in_circle(x, y, 24.0, 2.6, 2.2):
        return (230, 60, 60) if in_circle(x, y, 24.0, 2.6, 1.3) else ink
    if near_segment(x, y, 24.0, 3.0, 24.0, 6.0, 0.6):
        return ink

    # Head with eyes looking down at the button
    if in_round_rect(x, y, 10.0, 5.0, 38.0, 20.5, 4.0):
        for ex in (18.0, 30.0):
            if in_circle(x, y, ex, 12.0, 3.4):
                if in_circle(x, y, ex - 0.9, 12.9, 1.6):
                    return ink
                return (255, 255, 255) if in_circle(x, y, ex, 12.0, 2.6) else ink
        if near_segment(x, y, 20.5, 17.2, 27.5, 17.2, 0.7):
            return ink
        if not in_round_rect(x, y, 11.2, 6.2, 36.8, 19.3, 3.0):
            return ink
        return steel

    # Neck
    if in_round_rect(x, y, 20.0, 20.0, 28.0, 24.0, 0.5):
        return ink if (x < 21.0 or x > 27.0) else (140, 152, 172)

    # Arms
    for ax0 in (2.0, 40.5):
        if in_round_rect(x, y, ax0, 27.0, ax0 + 5.5, 42.0, 2.5):
            if in_round_rect(x, y, ax0 + 1.1, 28.1, ax0 + 4.4, 40.9, 1.6):
                return steel
            return ink

    # Body
    if in_round_rect(x, y, 6.0, 23.5, 42.0, 49.5, 4.0):
        if not in_round_rect(x, y, 7.2, 24.7, 40.8, 48.3, 3.0):
            return ink
        # A soft vertical gradient reads as a rounded front.
        return mix(mix(blue, (255, 255, 255), 0.22), blue, (y - 24.7) / 23.6)

    # Legs and feet
    for lx in (13.0, 27.0):
        if in_round_rect(x, y, lx - 1.5, 54.5, lx + 9.5, 59.5, 2.0):
            if in_round_rect(x, y, lx - 0.4, 55.6, lx + 8.4, 58.4, 1.2):
                return (70, 80, 104)
            return ink
        if in_round_rect(x, y, lx + 1.0, 49.0, lx + 7.0, 55.0, 0.5):
            return ink if (x < lx + 2.0 or x > lx + 6.0) else steel
    return None


def bmp_file():
    width, height = 48, 60
    rows = render(width, height, robot, background=BACKGROUND)
    stride = row_stride(width, 24)
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        pixels += line
    # 2835 pixels per metre is 72 dpi.
    info = bitmap_info_header(width, height, 24, len(pixels), ppm=2835)
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


# ---------------------------------------------------------------------------
# Sound (WAV, shipped under a .dll name): a two-note "ding-dong" chime

SAMPLE_RATE = 22050


def chime():
    length = int(0.42 * SAMPLE_RATE)
    notes = ((0.0, 659.26), (0.14, 523.25))  # E5 then C5
    # (frequency ratio, level, relative decay speed): the upper partials die
    # away faster, which is what makes it sound like a struck bell.
    partials = ((1.0, 1.0, 1.0), (2.0, 0.30, 1.8), (3.0, 0.12, 3.0), (4.2, 0.05, 4.0))
    attack = 0.004 * SAMPLE_RATE
    samples = [0.0] * length
    for start, freq in notes:
        first = int(start * SAMPLE_RATE)
        for ratio, level, speed in partials:
            step = 2.0 * PI * freq * ratio / SAMPLE_RATE
            decay = exp_(-speed / (0.10 * SAMPLE_RATE))
            env = level
            for n in range(first, length):
                t = n - first
                ramp = t / attack if t < attack else 1.0
                samples[n] += env * ramp * sin_(step * t)
                env *= decay
    # Fade the last 30 ms to silence so playback does not end with a click.
    fade = int(0.03 * SAMPLE_RATE)
    for i in range(fade):
        samples[length - fade + i] *= (fade - i) / fade
    peak = max(abs(s) for s in samples)
    gain = 0.6 * 32767 / peak
    return [round_(s * gain) for s in samples]


def wav_file():
    samples = chime()
    data = struct.pack("<%dh" % len(samples), *samples)
    fmt = struct.pack("<HHIIHH", 1, 1, SAMPLE_RATE, SAMPLE_RATE * 2, 2, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
    body += b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


# ---------------------------------------------------------------------------
# Animation (AVI, shipped under a .dll name) for the animation common control:
# a spinning disc, 12 frames of 32x32 at 8 frames per second.  The control
# only plays uncompressed or RLE8 clips, so the frames are plain 8-bit DIBs.

AVI_SIZE = 32
AVI_FRAMES = 12
AVI_FPS = 8


def avi_frames():
    frames = []
    for k in range(AVI_FRAMES):
        # The highlights repeat every half turn, so 12 steps of 15 degrees
        # loop seamlessly.
        phi = PI * k / AVI_FRAMES
        beam_cos, beam_sin = cos_(2 * phi), sin_(2 * phi)

        def paint(x, y, bc=beam_cos, bs=beam_sin):
            return disc_colour(x, y, 16.0, 16.0, 14.6, bc, bs)

        frames.append(render(AVI_SIZE, AVI_SIZE, paint, background=BACKGROUND))
    return frames


def riff_chunk(fourcc, data):
    pad = b"\x00" if len(data) % 2 else b""
    return fourcc + struct.pack("<I", len(data)) + data + pad


def riff_list(kind, fourcc, payload):
    return riff_chunk(kind, fourcc + payload)


def avi_file():
    frames = avi_frames()
    # Palette index 0 is the background so the control's transparent mode
    # (which keys on the first pixel) and plain mode both look right.
    others = [p for f in frames for row in f for p in row if p != BACKGROUND]
    palette = pad_palette([BACKGROUND] + median_cut(others, 255))
    quant = Quantiser(palette)
    stride = row_stride(AVI_SIZE, 8)
    frame_size = stride * AVI_SIZE
    bitmaps = []
    for f in frames:
        data = bytearray()
        for row in reversed(f):
            line = bytearray(stride)
            for x, p in enumerate(row):
                line[x] = 0 if p == BACKGROUND else quant.index(p)
            data += line
        bitmaps.append(bytes(data))

    AVIF_HASINDEX = 0x10
    AVIIF_KEYFRAME = 0x10
    usec_per_frame = 1000000 // AVI_FPS
    avih = struct.pack(
        "<14I",
        usec_per_frame,
        (frame_size + 8) * AVI_FPS,  # dwMaxBytesPerSec
        0,                           # dwPaddingGranularity
        AVIF_HASINDEX,
        AVI_FRAMES,                  # dwTotalFrames
        0,                           # dwInitialFrames
        1,                           # dwStreams
        frame_size,                  # dwSuggestedBufferSize
        AVI_SIZE, AVI_SIZE,
        0, 0, 0, 0)
    strh = struct.pack(
        "<4s4sIHHIIIIIIII4h",
        b"vids", b"DIB ",
        0,                           # dwFlags
        0, 0,                        # wPriority, wLanguage
        0,                           # dwInitialFrames
        1, AVI_FPS,                  # dwScale, dwRate: 8 frames per second
        0,                           # dwStart
        AVI_FRAMES,                  # dwLength
        frame_size,                  # dwSuggestedBufferSize
        0xFFFFFFFF,                  # dwQuality: default
        0,                           # dwSampleSize: one frame per chunk
        0, 0, AVI_SIZE, AVI_SIZE)    # rcFrame
    strf = bitmap_info_header(AVI_SIZE, AVI_SIZE, 8, frame_size, clr_used=256) + rgbquads(palette)
    hdrl = riff_list(b"LIST", b"hdrl",
                     riff_chunk(b"avih", avih)
                     + riff_list(b"LIST", b"strl", riff_chunk(b"strh", strh)
                                 + riff_chunk(b"strf", strf)))
    movi_payload = bytearray()
    index = bytearray()
    for data in bitmaps:
        # idx1 offsets count from the 'movi' identifier.
        offset = 4 + len(movi_payload)
        movi_payload += riff_chunk(b"00db", data)
        index += struct.pack("<4sIII", b"00db", AVIIF_KEYFRAME, offset, len(data))
    movi = riff_list(b"LIST", b"movi", bytes(movi_payload))
    body = b"AVI " + hdrl + movi + riff_chunk(b"idx1", bytes(index))
    return b"RIFF" + struct.pack("<I", len(body)) + body


# ---------------------------------------------------------------------------
# Licence text


def licence_files():
    """LICENSE (LF) and the copy the About box opens in Notepad (CRLF).

    Returns nothing when this machine has no GPL-3 text to copy from; the
    committed files are then left as they are.
    """
    if not GPL_SOURCE.is_file():
        return {}
    text = GPL_SOURCE.read_bytes().replace(b"\r\n", b"\n")
    return {"LICENSE": text, "resources/gpl.txt": text.replace(b"\n", b"\r\n")}


# ---------------------------------------------------------------------------


def generate():
    files = {}
    files.update(icon_files())
    files["resources/hand.cur"] = cursor_file()
    files["resources/image2.gif"] = gif_file()
    files["resources/image1.bmp"] = bmp_file()
    files["resources/pellumo.dll"] = wav_file()
    files["resources/pellumo2.dll"] = avi_file()
    files.update(licence_files())
    return files


def write_tree(root, files):
    for name, data in files.items():
        path = Path(root, name)
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)


def check(files):
    with tempfile.TemporaryDirectory() as tmp:
        write_tree(tmp, files)
        stale = []
        for name in sorted(files):
            committed = ROOT / name
            fresh = Path(tmp, name).read_bytes()
            if not committed.is_file():
                stale.append("%s: missing" % name)
            elif committed.read_bytes() != fresh:
                stale.append("%s: differs from the generator's output" % name)
    if not GPL_SOURCE.is_file():
        print("note: %s not found, licence files not checked" % GPL_SOURCE)
    for line in stale:
        print(line, file=sys.stderr)
    if stale:
        print("run tools/make_resources.py to regenerate", file=sys.stderr)
        return 1
    print("all %d generated files are up to date" % len(files))
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true",
                        help="compare the committed files with fresh output instead of writing")
    args = parser.parse_args(argv)
    files = generate()
    if args.check:
        return check(files)
    write_tree(ROOT, files)
    for name in sorted(files):
        print("%6d  %s" % (len(files[name]), name))
    if not GPL_SOURCE.is_file():
        print("note: %s not found, licence files left unchanged" % GPL_SOURCE)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
