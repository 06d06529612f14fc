#!/usr/bin/env python3
"""Draws the program's icon and writes it as kiln_proxy.ico.

Eight images: 16 and 32 pixels at 4, 8 and 32 bits per pixel, 48 pixels at
8 and 32. The picture: a kiln-red rounded tile with a white arrow passing
through a ring, a proxy relaying a connection.
Run: python3 res/make_icon.py res/kiln_proxy.ico
"""
import struct
import sys

RED = (178, 46, 26)
DARK = (110, 24, 12)
WHITE = (255, 255, 255)

# The 16 colours of the standard 4-bit palette, in their usual order.
VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
         (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
         (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def pixel(x, y, size):
    """RGBA of the pixel whose centre is (x + 0.5, y + 0.5) in an image of size pixels."""
    u = (x + 0.5) / size
    v = (y + 0.5) / size
    # Rounded tile.
    r = 0.18
    dx = max(abs(u - 0.5) - (0.5 - r - 0.03), 0)
    dy = max(abs(v - 0.5) - (0.5 - r - 0.03), 0)
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    colour = RED if v < 0.85 else DARK
    # Ring.
    d = ((u - 0.5) ** 2 + (v - 0.5) ** 2) ** 0.5
    if 0.20 <= d <= 0.29:
        colour = WHITE
    # Arrow: a bar from left to right, with a head on the right.
    if 0.15 <= u <= 0.68 and abs(v - 0.5) <= 0.06:
        colour = WHITE
    if 0.66 <= u <= 0.88 and abs(v - 0.5) <= (0.88 - u) * 0.9:
        colour = WHITE
    return colour + (255,)


def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def rows_bottom_up(size):
    return [[pixel(x, y, size) for x in range(size)] for y in reversed(range(size))]


def pad(row_bytes):
    return row_bytes + b"\0" * ((4 - len(row_bytes) % 4) % 4)


def and_mask(rows):
    out = b""
    for row in rows:
        bits = 0
        data = bytearray()
        for x, p in enumerate(row):
            bits = (bits << 1) | (1 if p[3] == 0 else 0)
            if x % 8 == 7:
                data.append(bits)
                bits = 0
        if len(row) % 8:
            data.append(bits << (8 - len(row) % 8))
        out += pad(bytes(data))
    return out


def image(size, bpp):
    rows = rows_bottom_up(size)
    if bpp == 32:
        palette = []
        xor = b"".join(bytes(b for p in row for b in (p[2], p[1], p[0], p[3])) for row in rows)
    else:
        if bpp == 4:
            palette = VGA16
        else:
            palette = [(0, 0, 0), RED, DARK, WHITE] + [(0, 0, 0)] * 252
        xor = b""
        for row in rows:
            idx = [0 if p[3] == 0 else nearest(p[:3], palette) for p in row]
            if bpp == 4:
                data = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, size, 2))
            else:
                data = bytes(idx)
            xor += pad(data)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(xor) + len(and_mask(rows)), 0, 0, len(palette), 0)
    pal = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return header + pal + xor + and_mask(rows)


def main():
    formats = [(16, 4), (32, 4), (16, 8), (32, 8), (48, 8), (16, 32), (32, 32), (48, 32)]
    images = [image(s, b) for s, b in formats]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp), data in zip(formats, images):
        colours = 16 if bpp == 4 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
