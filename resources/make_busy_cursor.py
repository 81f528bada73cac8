#!/usr/bin/env python3
"""Writes the animated busy cursor: a RIFF ACON file of 8 frames, each a
32 x 32 cursor at 32 bits per pixel shown for 6/60 s, a ring of eight dots
whose bright dot moves on clockwise.

Usage: make_busy_cursor.py OUTPUT
"""
import math
import struct
import sys

from ico_format import icon_file, render

SIZE = 32
FRAMES = 8
JIFFIES = 6


def frame_shade(frame):
    dots = []
    for i in range(FRAMES):
        angle = 2 * math.pi * i / FRAMES - math.pi / 2
        age = (frame - i) % FRAMES
        dots.append((16 + 10 * math.cos(angle), 16 + 10 * math.sin(angle), 1.0 - age / FRAMES))

    def shade(x, y):
        for cx, cy, level in dots:
            if (x - cx) ** 2 + (y - cy) ** 2 <= 3.4 ** 2:
                grey = 40 + 180 * (1 - level)
                return (grey * 0.6, grey * 0.8, grey + 35 * level, 255)
        return (0, 0, 0, 0)

    return shade


def chunk(tag, payload):
    pad = b'\0' if len(payload) % 2 else b''
    return tag + struct.pack('<I', len(payload)) + payload + pad


def main():
    header = struct.pack('<9I', 36, FRAMES, FRAMES, 0, 0, 0, 0, JIFFIES, 1)  # flag 1: frames are icons
    icons = b''.join(chunk(b'icon', icon_file([render(SIZE, frame_shade(f))], cursor_hotspot=(16, 16)))
                     for f in range(FRAMES))
    body = b'ACON' + chunk(b'anih', header) + chunk(b'LIST', b'fram' + icons)
    with open(sys.argv[1], 'wb') as out:
        out.write(b'RIFF' + struct.pack('<I', len(body)) + body)


if __name__ == '__main__':
    main()
