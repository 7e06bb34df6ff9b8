#!/usr/bin/env python3
"""Writes kaleidon.ico: the 16 by 16 pixel, 16-colour tray icon, a small
kaleidoscope of eight coloured wedges. Run it again only to redraw the icon."""

import math
import struct

# The 16 colours of the standard VGA palette (red, green, blue).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
WEDGES = [9, 11, 10, 14, 12, 13, 9, 11]


def pixel(x, y):
    """Palette index and transparency of one pixel (row 0 at the top)."""
    dx, dy = x - 7.5, y - 7.5
    r = math.hypot(dx, dy)
    if r > 7.6:
        return 0, True
    if r > 6.6:
        return 0, False  # black rim
    if r < 1.6:
        return 15, False  # white centre
    wedge = int((math.atan2(dy, dx) + math.pi) / (2 * math.pi) * 8) % 8
    return WEDGES[wedge], False


def main():
    xor_rows, and_rows = [], []
    for y in range(15, -1, -1):  # bottom-up, as the DIB stores it
        indices = [pixel(x, y) for x in range(16)]
        xor_rows.append(bytes((indices[x][0] << 4) | indices[x + 1][0] for x in range(0, 16, 2)))
        mask = 0
        for x in range(16):
            if indices[x][1]:
                mask |= 1 << (15 - x)
        and_rows.append(struct.pack(">H", mask) + b"\0\0")
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in VGA)
    header = struct.pack("<IiiHHIIiiII", 40, 16, 32, 1, 4, 0, 0, 0, 0, 16, 0)
    image = header + palette + b"".join(xor_rows) + b"".join(and_rows)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 16, 0, 1, 4, len(image), 22)
    with open("kaleidon.ico", "wb") as f:
        f.write(directory + image)


if __name__ == "__main__":
    main()
