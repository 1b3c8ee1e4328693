#!/usr/bin/env python3
"""Checks a screenshot of the editor fixture: its size, and the colours its
controls paint (backdrop, slider track and lit part, text of the label).

    check_screenshot.py FILE.png LEVEL
LEVEL is the slider's value 0..1 at the time of the screenshot."""
import struct
import sys
import zlib


def read_png(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, width, height, colour = 8, b"", 0, 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if depth != 8 or colour not in (2, 6):
                raise ValueError("expected 8-bit RGB or RGBA")
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    channels = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, lambda x, y: tuple(rows[y][x * channels:x * channels + 3])


def main():
    path, level = sys.argv[1], float(sys.argv[2])
    width, height, pixel = read_png(path)
    failures = []

    def expect(what, got, want):
        if got != want:
            failures.append("%s: %s, expected %s" % (what, got, want))

    expect("size", (width, height), (200, 120))
    if not failures:
        expect("backdrop at (5, 5)", pixel(5, 5), (40, 44, 52))
        lit = int(level * 100 + 0.5)
        expect("slider track at (40, 12)", pixel(40, 12), (10, 10, 10))
        expect("slider lit part at (40, 108)", pixel(40, 108), (0, 200, 0))
        expect("slider edge at (40, %d)" % (110 - lit), pixel(40, 110 - lit), (0, 200, 0))
        expect("slider above its edge", pixel(40, 109 - lit), (10, 10, 10))
        bright = sum(1 for y in range(60, 100) for x in range(80, 200) if min(pixel(x, y)) > 200)
        if bright < 20:
            failures.append("label: %d bright pixels of text, expected some" % bright)
    for f in failures:
        print("check_screenshot: " + f)
    print("check_screenshot: %s %s" % (path, "ok" if not failures else "FAILED"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
