#!/usr/bin/env python3
"""Draws the program's icon: a 64 x 64, 24-bit picture of a quill over a
round seal, written as a one-image .ico. Usage: make_icon.py OUTPUT.ico"""
import math
import struct
import sys

SIZE = 64


def pixel(x, y):
    cx, cy = x - 31.5, y - 31.5
    r = math.hypot(cx, cy)
    if r > 30:
        return (255, 255, 255), True  # outside the seal: transparent
    # the seal: deep blue, lighter towards the top left
    shade = 0.55 + 0.45 * (1 - (cx + cy + 60) / 120)
    color = (int(40 * shade), int(70 * shade), int(170 * shade))
    if r > 27:
        color = (230, 190, 60)  # gold rim
    # the quill: a feather along the diagonal from bottom left to top right
    along = (cx - cy) / math.sqrt(2)
    across = (cx + cy) / math.sqrt(2)
    width = max(0.0, 7 * math.sin(math.pi * (along + 24) / 44)) if -24 < along < 20 else 0
    if abs(across) < width:
        color = (245, 245, 235) if abs(across) > 0.8 else (150, 120, 80)
    if -26 < along <= -20 and abs(across) < 1.2:
        color = (60, 50, 40)  # the nib
    return color, False


def main():
    rows, mask = b"", b""
    for y in range(SIZE - 1, -1, -1):  # bottom-up
        row, bits = b"", 0
        for x in range(SIZE):
            (r, g, b), clear = pixel(x, y)
            row += bytes((b, g, r))
            bits = bits << 1 | (1 if clear else 0)
        rows += row
        mask += bits.to_bytes(8, "big")
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(rows) + len(mask), 0, 0, 0, 0)
    image = header + rows + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 22)
    with open(sys.argv[1], "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main()
