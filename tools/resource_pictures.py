"""The pictures for tools/make_resources.py: icon, link cursor, GIF logo and BMP picture."""

import struct

from resource_drawing import *  # noqa: F401,F403 (the drawing kit and its constants)


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
