#!/usr/bin/env python3
"""Checks the editor's six PNG images against what the editor loads them as.

Usage: check_artwork.py IMGDIR

Every image must have its exact size, 8 bits per channel, its colour type
(opaque RGB or RGBA) and no interlacing, and must decode cleanly. The
filmstrips must hold frames that differ where the editor shows a change, with
transparent borders (nothing drawn is cut off at a frame edge), and the knob
must keep its body still while only the pointer turns. Prints one line per
failure and exits non-zero if there was any.
"""

import math
import os
import struct
import sys
import zlib

RGB, RGBA = 2, 6

# name: (width, height, colour type, frame count)
IMAGES = {
    "background.png": (213, 333, RGB, 1),
    "vornkettle_led.png": (18, 36, RGBA, 2),
    "vornkettle_switch_01.png": (40, 80, RGBA, 2),
    "vornkettle_switch_02.png": (40, 80, RGBA, 2),
    "vornkettle_knob_01.png": (65, 4225, RGBA, 65),
    "vornkettle_about.png": (181, 150, RGB, 1),
}

failures = []


def fail(msg):
    failures.append(msg)


class Png:
    def __init__(self, width, height, depth, ctype, interlace, pixels):
        self.width, self.height, self.depth, self.ctype, self.interlace = width, height, depth, ctype, interlace
        self.pixels = pixels  # rows of bytes, unfiltered
        self.channels = 4 if ctype == RGBA else 3

    def px(self, x, y):
        c = self.channels
        row = self.pixels[y]
        v = tuple(row[x * c:(x + 1) * c])
        return v if c == 4 else v + (255,)

    def frame(self, index, height):
        """The pixels of one frame as a flat tuple of RGBA values."""
        return tuple(self.px(x, y) for y in range(index * height, (index + 1) * height) for x in range(self.width))


def paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def read_png(path):
    """Reads an 8-bit RGB or RGBA PNG; returns None (after recording why) if it cannot."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s: not a PNG file" % path)
        return None
    pos, ihdr, idat = 8, None, b""
    while pos + 12 <= len(data):
        (length,) = struct.unpack(">I", data[pos:pos + 4])
        kind = data[pos + 4:pos + 8]
        body = data[pos + 8:pos + 8 + length]
        if len(body) != length or pos + 12 + length > len(data):
            fail("%s: chunk %r cut short" % (path, kind))
            return None
        (crc,) = struct.unpack(">I", data[pos + 8 + length:pos + 12 + length])
        if zlib.crc32(kind + body) & 0xFFFFFFFF != crc:
            fail("%s: bad CRC in chunk %r" % (path, kind))
            return None
        if kind == b"IHDR":
            ihdr = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
        pos += 12 + length
    if ihdr is None:
        fail("%s: no IHDR chunk" % path)
        return None
    width, height, depth, ctype, _, _, interlace = ihdr
    if depth != 8 or ctype not in (RGB, RGBA) or interlace != 0:
        # Reported by the caller against the expected values; nothing to decode here.
        return Png(width, height, depth, ctype, interlace, None)
    bpp = 4 if ctype == RGBA else 3
    stride = width * bpp
    try:
        raw = zlib.decompress(idat)
    except zlib.error as e:
        fail("%s: image data does not inflate: %s" % (path, e))
        return None
    if len(raw) != height * (stride + 1):
        fail("%s: image data is %d bytes, expected %d" % (path, len(raw), height * (stride + 1)))
        return None
    rows, prior = [], bytearray(stride)
    for y in range(height):
        at = y * (stride + 1)
        kind, row = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        if kind == 1:
            for i in range(bpp, stride):
                row[i] = (row[i] + row[i - bpp]) & 255
        elif kind == 2:
            for i in range(stride):
                row[i] = (row[i] + prior[i]) & 255
        elif kind == 3:
            for i in range(stride):
                left = row[i - bpp] if i >= bpp else 0
                row[i] = (row[i] + ((left + prior[i]) >> 1)) & 255
        elif kind == 4:
            for i in range(stride):
                left = row[i - bpp] if i >= bpp else 0
                up_left = prior[i - bpp] if i >= bpp else 0
                row[i] = (row[i] + paeth(left, prior[i], up_left)) & 255
        elif kind != 0:
            fail("%s: row %d has unknown filter %d" % (path, y, kind))
            return None
        rows.append(bytes(row))
        prior = row
    return Png(width, height, depth, ctype, interlace, rows)


def check_format(name, png):
    w, h, ctype, _ = IMAGES[name]
    if (png.width, png.height) != (w, h):
        fail("%s: %dx%d, expected %dx%d" % (name, png.width, png.height, w, h))
    if png.depth != 8:
        fail("%s: bit depth %d, expected 8" % (name, png.depth))
    if png.ctype != ctype:
        fail("%s: colour type %d, expected %d" % (name, png.ctype, ctype))
    if png.interlace != 0:
        fail("%s: interlaced" % name)
    return not failures_for(name)


def failures_for(name):
    return [f for f in failures if f.startswith(name + ":")]


def check_frames_differ(name, png, frames, fh):
    for i in range(frames - 1):
        if png.frame(i, fh) == png.frame(i + 1, fh):
            fail("%s: frames %d and %d are identical" % (name, i + 1, i + 2))


def check_borders_clear(name, png, frames, fh, limit=8):
    """Nothing drawn touches a frame edge: the outermost ring is (nearly) transparent."""
    for f in range(frames):
        top = f * fh
        ring = [(x, top) for x in range(png.width)] + [(x, top + fh - 1) for x in range(png.width)]
        ring += [(0, y) for y in range(top, top + fh)] + [(png.width - 1, y) for y in range(top, top + fh)]
        worst = max(png.px(x, y)[3] for x, y in ring)
        if worst > limit:
            fail("%s: frame %d is cut off at its edge (alpha %d)" % (name, f + 1, worst))


def weighted_red(frame):
    return sum(r * a for r, _, _, a in frame)


def opaque_rows(png, frame, fh, rows):
    return sum(1 for y in rows for x in range(png.width) if png.px(x, frame * fh + y)[3] > 128)


def pointer_angle(png, frame):
    """Direction of the light index line on the knob's dark skirt, in degrees clockwise from
    twelve o'clock, or None if there is no such line."""
    sx = sy = n = 0
    for y in range(65):
        for x in range(65):
            dx, dy = x + 0.5 - 32.5, y + 0.5 - 32.5
            if 18.5 ** 2 <= dx * dx + dy * dy <= 22.5 ** 2:
                r, g, b, a = png.px(x, frame * 65 + y)
                if a == 255 and min(r, g, b) > 200:
                    sx, sy, n = sx + dx, sy + dy, n + 1
    if n == 0:
        return None
    return math.degrees(math.atan2(sx, -sy))


def main():
    if len(sys.argv) != 2:
        sys.stderr.write("usage: check_artwork.py IMGDIR\n")
        return 2
    folder = sys.argv[1]
    images = {}
    for name in sorted(IMAGES):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            fail("%s: missing from %s" % (name, folder))
            continue
        png = read_png(path)
        if png is not None and check_format(name, png) and png.pixels is not None:
            images[name] = png

    for name, png in sorted(images.items()):
        w, h, ctype, frames = IMAGES[name]
        if frames > 1:
            fh = h // frames
            check_frames_differ(name, png, frames, fh)
            check_borders_clear(name, png, frames, fh)

    led = images.get("vornkettle_led.png")
    if led and weighted_red(led.frame(1, 18)) <= 2 * weighted_red(led.frame(0, 18)):
        fail("vornkettle_led.png: frame 2 (lit) is not clearly brighter red than frame 1 (dark)")

    cab = images.get("vornkettle_switch_01.png")
    if cab:
        # The lever points down to the OFF legend in frame 1 and up to ON in frame 2.
        top = range(0, 12)
        if not opaque_rows(cab, 1, 40, top) > opaque_rows(cab, 0, 40, top):
            fail("vornkettle_switch_01.png: the lever is not up in frame 2 (On) and down in frame 1 (Off)")

    knob = images.get("vornkettle_knob_01.png")
    if knob:
        if knob.frame(0, 65) == knob.frame(64, 65):
            fail("vornkettle_knob_01.png: the first and last frames are identical")
        # The pointer sweeps clockwise from about -135 degrees at frame 1 to +135 at frame 65.
        for f, want in ((0, -135.0), (16, -67.5), (32, 0.0), (48, 67.5), (64, 135.0)):
            got = pointer_angle(knob, f)
            if got is None or abs(got - want) > 6.0:
                fail("vornkettle_knob_01.png: frame %d points at %s degrees, expected about %g"
                     % (f + 1, "nothing" if got is None else "%.1f" % got, want))
        # Outside the skirt only the shadow lies, and it must not turn with the pointer.
        outer = [(x, y) for y in range(65) for x in range(65) if (x + 0.5 - 32.5) ** 2 + (y + 0.5 - 32.5) ** 2 > 25.5 ** 2]
        first = [knob.px(x, y) for x, y in outer]
        for f in range(1, 65):
            if [knob.px(x, f * 65 + y) for x, y in outer] != first:
                fail("vornkettle_knob_01.png: frame %d changes outside the knob body" % (f + 1))
                break

    for f in failures:
        print(f)
    if not failures:
        print("artwork: all %d images as the editor expects them" % len(IMAGES))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
