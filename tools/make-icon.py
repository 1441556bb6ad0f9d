#!/usr/bin/env python3
"""Draws the program's icon (src/runtime/win32/kelpra.ico): a blue book with
a white question mark, 32x32 and 16x16, 32-bit colour."""
import struct
import sys

QUESTION = [  # 8 x 10
    "..####..",
    ".##..##.",
    ".....##.",
    "....##..",
    "...##...",
    "...##...",
    "........",
    "...##...",
    "...##...",
    "........",
]


def pixel(x, y, size):
    scale = size / 32.0
    u, v = x / scale, y / scale
    if not (3 <= u < 29 and 2 <= v < 30):
        return (0, 0, 0, 0)
    if u < 7:  # the spine
        return (40, 60, 140, 255)
    if v >= 26 and u >= 7:  # the pages
        return (235, 235, 225, 255)
    qx, qy = int((u - 11) / 1.75), int((v - 6) / 1.9)
    if 0 <= qx < 8 and 0 <= qy < 10 and QUESTION[qy][qx] == "#":
        return (255, 255, 255, 255)
    return (60, 100, 200, 255)


def image(size):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = b""
    for y in reversed(range(size)):  # bottom-up
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            rows += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    return header + rows + bytes(mask_row * size)


def main(path):
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/runtime/win32/kelpra.ico")
