#!/usr/bin/env python3
"""Writes the program icon (16, 32, 48 and 256 pixels, 32 bits, the
largest PNG-compressed for Explorer's large views): a blue order sheet
with two position lines and a pair of exchange arrows.

Usage: make_icon.py OUTPUT
"""
import sys

from ico_format import icon_file, render


def shade_for(size):
    s = size / 48.0

    def shade(x, y):
        x, y = x / s, y / s
        # Arrows at the lower right: exchange between the tool and the host.
        if 26 <= x <= 44 and 30 <= y <= 34 or 36 <= x <= 44 and abs(y - 32) <= (44 - x) * 0.9 + 2 and x >= 38:
            return (230, 120, 20, 255)
        if 26 <= x <= 44 and 38 <= y <= 42 or 26 <= x <= 34 and abs(y - 40) <= (x - 26) * 0.9 + 2 and x <= 32:
            return (230, 120, 20, 255)
        # The sheet with a dark border and two lines.
        if 6 <= x <= 34 and 4 <= y <= 44:
            if x < 8 or x > 32 or y < 6 or y > 42:
                return (20, 60, 140, 255)
            if 12 <= x <= 28 and (12 <= y <= 15 or 20 <= y <= 23):
                return (40, 100, 200, 255)
            return (235, 242, 255, 255)
        return (0, 0, 0, 0)

    return shade


def main():
    images = [render(size, shade_for(size)) for size in (256, 48, 32, 16)]
    with open(sys.argv[1], 'wb') as out:
        out.write(icon_file(images))


if __name__ == '__main__':
    main()
