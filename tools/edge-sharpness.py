#!/usr/bin/env python3
"""Prints how sharp the text in screenshots is: the mean Sobel gradient
magnitude over the pixels on glyph edges (magnitude above 40 on the grey
image), and how many such pixels there are.

    tools/edge-sharpness.py <image.png>...

Compare crops of the same text: a crop at 200 % against the 100 % crop
enlarged by two (what a system's bitmap stretching shows) tells whether the
program draws at the display's density. Needs ImageMagick's identify and
convert; standard-library Python otherwise.
"""

import math
import subprocess
import sys

EDGE = 40  # weaker gradients are flat areas and anti-aliasing noise


def grey_pixels(path):
    width, height = map(int, subprocess.check_output(["identify", "-format", "%w %h", path]).split())
    data = subprocess.check_output(["convert", path, "-colorspace", "gray", "-depth", "8", "gray:-"])
    return width, height, data


def edge_sharpness(path):
    width, height, data = grey_pixels(path)
    total, count = 0.0, 0
    for y in range(1, height - 1):
        for x in range(1, width - 1):
            def p(dx, dy):
                return data[(y + dy) * width + x + dx]
            gx = (p(1, -1) + 2 * p(1, 0) + p(1, 1)) - (p(-1, -1) + 2 * p(-1, 0) + p(-1, 1))
            gy = (p(-1, 1) + 2 * p(0, 1) + p(1, 1)) - (p(-1, -1) + 2 * p(0, -1) + p(1, -1))
            magnitude = math.hypot(gx, gy)
            if magnitude > EDGE:
                total += magnitude
                count += 1
    return total / max(count, 1), count


def main():
    for path in sys.argv[1:]:
        mean, count = edge_sharpness(path)
        print(f"{path}: mean edge gradient {mean:.1f} over {count} edge pixels")
    return 0


if __name__ == "__main__":
    sys.exit(main())
