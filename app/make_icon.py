#!/usr/bin/env python3
"""Draws the program's icon, MAINICON: data blocks scattered over an address range above the
flat image they land in, on a rounded tile. Writes Tessarin.ico beside this script: one
image, 24 x 24 pixels, 32 bits per pixel (BGRA with straight alpha, and the 1-bit mask that
the format still carries).

    python3 app/make_icon.py [output.ico]
"""
import struct
import sys
from pathlib import Path

SIZE = 24
SAMPLES = 4  # per pixel and axis, for smooth edges

TILE = (31, 78, 121)
BLOCK = (245, 166, 35)
IMAGE = (226, 234, 240)
ARROW = (255, 255, 255)

# The blocks of a file: x from and to (their addresses), and the top of each as it floats
# above the image; each lands in the image bar at the same x.
BLOCKS = [(4.0, 9.0, 4.0), (11.0, 14.0, 7.0), (16.0, 20.0, 5.0)]


def in_rounded_rect(x, y, x0, y0, x1, y1, r):
    if not (x0 <= x < x1 and y0 <= y < y1):
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_rect(x, y, x0, y0, x1, y1):
    return x0 <= x < x1 and y0 <= y < y1


def in_arrow(x, y):
    shaft = in_rect(x, y, 11.0, 11.0, 13.0, 14.0)
    head = 14.0 <= y < 17.0 and abs(x - 12.0) <= (17.0 - y) * 1.2
    return shaft or head


def colour_at(x, y):
    """The colour of one sample point, or None outside the tile."""
    if not in_rounded_rect(x, y, 0.5, 0.5, 23.5, 23.5, 4.0):
        return None
    for x0, x1, top in BLOCKS:
        if in_rect(x, y, x0, top, x1, top + 3.0):
            return BLOCK
        if in_rect(x, y, x0, 18.0, x1, 21.0):
            return BLOCK
    if in_rect(x, y, 3.0, 18.0, 21.0, 21.0):
        return IMAGE
    if in_arrow(x, y):
        return ARROW
    return TILE


def pixel(px, py):
    """Averages the samples of one pixel into (r, g, b, a) with straight alpha."""
    total = [0, 0, 0]
    covered = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            c = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            if c is not None:
                covered += 1
                total = [t + v for t, v in zip(total, c)]
    if covered == 0:
        return (0, 0, 0, 0)
    alpha = round(255 * covered / SAMPLES ** 2)
    return tuple(round(t / covered) for t in total) + (alpha,)


def ico(pixels):
    """An .ico file of one 32-bit image; `pixels` holds rows from the top."""
    xor = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(pixels) for r, g, b, a in row)
    mask_row = (SIZE + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = 0
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits |= 1 << (mask_row * 8 - 1 - x)
        mask += bits.to_bytes(mask_row, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("Tessarin.ico")
    pixels = [[pixel(x, y) for x in range(SIZE)] for y in range(SIZE)]
    target.write_bytes(ico(pixels))
    return 0


if __name__ == "__main__":
    sys.exit(main())
