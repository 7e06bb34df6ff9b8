#!/usr/bin/env python3
"""Writes the program's icons, a small kaleidoscope of eight coloured wedges
in the 16 colours of the VGA palette: kaleidon.ico, the tray icon, and
about.ico, the About box's picture, each at 16, 20, 24, 32 and 48 pixels so
that the system finds the size it asks at every screen resolution. Run it
again only to redraw them."""

import math
import struct

# The 16 colours of the standard VGA palette (red, green, blue).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
WEDGES = [9, 11, 10, 14, 12, 13, 9, 11]


def pixel(x, y, size):
    """Palette index and transparency of one pixel (row 0 at the top); the
    16-pixel design scaled to the size."""
    scale = size / 16
    dx, dy = (x + 0.5) / scale - 8, (y + 0.5) / scale - 8
    r = math.hypot(dx, dy)
    if r > 7.6:
        return 0, True
    if r > 6.6:
        return 0, False  # black rim
    if r < 1.6:
        return 15, False  # white centre
    wedge = int((math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 8) % 8
    return WEDGES[wedge], False


def image(size):
    """One 4-bit image with its mask, as an icon file stores it."""
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):  # bottom-up, as the DIB stores it
        indices = [pixel(x, y, size) for x in range(size)]
        row = bytes((indices[x][0] << 4) | indices[x + 1][0] for x in range(0, size, 2))
        xor_rows.append(row + b"\0" * (-len(row) % 4))  # rows end on 4-byte boundaries
        mask_bytes = (size + 7) // 8
        mask = 0
        for x in range(size):
            if indices[x][1]:
                mask |= 1 << (mask_bytes * 8 - 1 - x)
        row = mask.to_bytes(mask_bytes, "big")
        and_rows.append(row + b"\0" * (-len(row) % 4))
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in VGA)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + palette + b"".join(xor_rows) + b"".join(and_rows)


def write(name, sizes):
    images = [image(size) for size in sizes]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        directory += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(name, "wb") as f:
        f.write(directory + b"".join(images))


def main():
    sizes = [16, 20, 24, 32, 48]
    write("kaleidon.ico", sizes)
    write("about.ico", sizes)


if __name__ == "__main__":
    main()
