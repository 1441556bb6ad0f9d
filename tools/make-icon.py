#!/usr/bin/env python3
"""Draws the program's icon: a blue book with a white question mark.

    tools/make-icon.py [ICO] [ICON_FOLDER]

writes the Windows icon (src/runtime/win32/kelpra.ico: 32x32 and 16x16,
32-bit colour) and the desktop icons (packaging/icons: kelpra-SIZE.png for
the hicolor sizes, and kelpra.svg drawn from the same shapes)."""
import os
import struct
import sys
import zlib

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


PNG_SIZES = [16, 24, 32, 48, 64, 128, 256]


def png(size):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    rows = b""
    for y in range(size):
        rows += b"\0" + b"".join(bytes(pixel(x, y, size)) for x in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def svg():
    def rect(x, y, w, h, colour):
        return f'<rect x="{x:g}" y="{y:g}" width="{w:g}" height="{h:g}" fill="{colour}"/>'

    shapes = [rect(3, 2, 26, 28, "#3c64c8"), rect(3, 2, 4, 28, "#283c8c"), rect(7, 26, 22, 4, "#ebebe1")]
    for qy, row in enumerate(QUESTION):
        for qx, mark in enumerate(row):
            if mark == "#":
                shapes.append(rect(11 + qx * 1.75, 6 + qy * 1.9, 1.75, 1.9, "#ffffff"))
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32" '
            'shape-rendering="crispEdges">\n' + "\n".join(shapes) + "\n</svg>\n")


def write_desktop_icons(folder):
    os.makedirs(folder, exist_ok=True)
    for size in PNG_SIZES:
        with open(os.path.join(folder, f"kelpra-{size}.png"), "wb") as f:
            f.write(png(size))
    with open(os.path.join(folder, "kelpra.svg"), "w") as f:
        f.write(svg())


def main(path, icon_folder):
    write_desktop_icons(icon_folder)
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
    main(sys.argv[1] if len(sys.argv) > 1 else "src/runtime/win32/kelpra.ico",
         sys.argv[2] if len(sys.argv) > 2 else "packaging/icons")
