#!/usr/bin/env python3
"""The pedal with its effect off passes the sum of its two inputs untouched.

  dry_sum.py make IN.wav           a stereo 32-bit float WAV: two tones that
                                   differ per channel, so a lost or doubled
                                   channel shows
  dry_sum.py check IN.wav OUT.wav  every sample of both output channels is the
                                   float nearest to left + right of IN
  dry_sum.py differs IN.wav OUT.wav  OUT is not that sum (the effect is on)
"""
import math
import struct
import sys

RATE = 44100


def write(path, frames):
    data = b''.join(struct.pack('<ff', left, right) for left, right in frames)
    fmt = struct.pack('<HHIIHH', 3, 2, RATE, RATE * 8, 8, 32)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt
    body += b'data' + struct.pack('<I', len(data)) + data
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', len(body)) + body)


def read(path):
    """Float samples of a 32-bit float WAV as a list of frames."""
    raw = open(path, 'rb').read()
    if raw[:4] != b'RIFF' or raw[8:12] != b'WAVE':
        raise SystemExit(f'{path}: not a WAV file')
    at, channels, data = 12, None, None
    while at + 8 <= len(raw):
        kind, size = raw[at:at + 4], struct.unpack('<I', raw[at + 4:at + 8])[0]
        chunk = raw[at + 8:at + 8 + size]
        if kind == b'fmt ':
            tag, channels = struct.unpack('<HH', chunk[:4])
            bits = struct.unpack('<H', chunk[14:16])[0]
            if tag == 0xFFFE:  # extensible: the sub-format's tag
                tag = struct.unpack('<H', chunk[24:26])[0]
            if tag != 3 or bits != 32:
                raise SystemExit(f'{path}: not 32-bit float')
        elif kind == b'data':
            data = chunk
        at += 8 + size + (size & 1)
    if channels is None or data is None:
        raise SystemExit(f'{path}: no format or no data')
    values = struct.unpack(f'<{len(data) // 4}f', data[:len(data) // 4 * 4])
    return [values[i:i + channels] for i in range(0, len(values), channels)]


def nearest_float(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def mismatches(inp, out):
    if len(inp) != len(out):
        return [f'{len(out)} frames out for {len(inp)} in']
    bad = []
    for i, (frame_in, frame_out) in enumerate(zip(inp, out)):
        want = nearest_float(frame_in[0] + frame_in[1])
        if any(v != want for v in frame_out):
            bad.append(f'frame {i}: {frame_out} for {want}')
    return bad


def main():
    if len(sys.argv) == 3 and sys.argv[1] == 'make':
        write(sys.argv[2], [(nearest_float(0.3 * math.sin(2 * math.pi * 220 * n / RATE)),
                             nearest_float(0.2 * math.sin(2 * math.pi * 331 * n / RATE)))
                            for n in range(RATE // 2)])
        return 0
    if len(sys.argv) == 4 and sys.argv[1] in ('check', 'differs'):
        bad = mismatches(read(sys.argv[2]), read(sys.argv[3]))
        if sys.argv[1] == 'check' and bad:
            print(f'{sys.argv[3]} is not the dry sum: {len(bad)} frames, first {bad[0]}')
            return 1
        if sys.argv[1] == 'differs' and not bad:
            print(f'{sys.argv[3]} is exactly the dry sum')
            return 1
        return 0
    print(__doc__)
    return 2


if __name__ == '__main__':
    sys.exit(main())
