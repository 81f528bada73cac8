#!/usr/bin/env python3
"""Writes the confirmation chime as the window's stored sound data: the size
as a signed 32-bit little-endian number, then a RIFF WAVE file (PCM, stereo,
44100 Hz, 16 bit, 56832 frames = 227328 data bytes, about 1.29 s).

Usage: make_chime.py OUTPUT
"""
import math
import struct
import sys

RATE = 44100
FRAMES = 56832


def sample(t, delay, freq):
    """A bell-like tone: a decaying partial pair that starts after delay."""
    t -= delay
    if t < 0:
        return 0.0
    attack = min(1.0, t / 0.004)
    return attack * math.exp(-4.2 * t) * (math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(2 * math.pi * 2.01 * freq * t))


def main():
    frames = bytearray()
    for n in range(FRAMES):
        t = n / RATE
        # Two notes a fifth apart, the second a little to the right.
        low = sample(t, 0.0, 880.0)
        high = sample(t, 0.12, 1318.5)
        fade = min(1.0, (FRAMES - n) / (RATE * 0.05))
        left = (0.30 * low + 0.18 * high) * fade
        right = (0.22 * low + 0.26 * high) * fade
        frames += struct.pack('<hh', int(left * 32767), int(right * 32767))
    fmt = struct.pack('<HHIIHH', 1, 2, RATE, RATE * 4, 4, 16)
    body = b'WAVE' + b'fmt ' + struct.pack('<I', len(fmt)) + fmt + b'data' + struct.pack('<I', len(frames)) + frames
    wave = b'RIFF' + struct.pack('<I', len(body)) + body
    with open(sys.argv[1], 'wb') as out:
        out.write(struct.pack('<i', len(wave)) + wave)


if __name__ == '__main__':
    main()
