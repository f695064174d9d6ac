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

from resource_drawing import *  # noqa: F401,F403 (the drawing kit and its constants)
from resource_pictures import *  # noqa: F401,F403 (the icon, cursor, GIF and BMP)

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
