#!/usr/bin/env python3
"""make-icon.py [OUT.ico]: draws the program icon, a small clock face in the
clock's red, as one 47x37 image with 24 bits per pixel (plus the 1-bit
transparency mask every .ico image carries). Python standard library only;
the output is the same on every run."""
import math
import os
import struct
import sys

WIDTH, HEIGHT = 47, 37
RED = (255, 0, 0)          # the clock text's colour, COLORREF 255
FACE = (255, 255, 255)
HAND = (40, 40, 40)
BACK = (0, 0, 0)           # behind the mask; shows nowhere
CX, CY = (WIDTH - 1) / 2.0, (HEIGHT - 1) / 2.0
RADIUS = 17.6
RING = 3.0
SUB = 4                    # samples per pixel side


def seg_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def hand_end(angle_deg, length):
    # 0 degrees points at twelve, clockwise; y grows downward.
    a = math.radians(angle_deg)
    return CX + length * math.sin(a), CY - length * math.cos(a)


HOUR = hand_end(305, 8.5)     # ten past ten, the way clocks are shown
MINUTE = hand_end(60, 12.5)
TICKS = [(hand_end(h * 30, RADIUS - RING - 0.5), hand_end(h * 30, RADIUS - RING - (3.2 if h % 3 == 0 else 1.8)))
         for h in range(12)]


def colour_at(x, y):
    """Colour of one sample point, or None outside the clock."""
    r = math.hypot(x - CX, y - CY)
    if r > RADIUS:
        return None
    if r > RADIUS - RING:
        return RED
    if r < 1.8:
        return RED
    for (ax, ay), (bx, by) in TICKS:
        if seg_distance(x, y, ax, ay, bx, by) < 0.7:
            return RED
    if seg_distance(x, y, CX, CY, *HOUR) < 1.3 or seg_distance(x, y, CX, CY, *MINUTE) < 0.9:
        return HAND
    return FACE


def render():
    pixels = []  # top-down rows of (colour or None)
    for py in range(HEIGHT):
        row = []
        for px in range(WIDTH):
            acc = [0, 0, 0]
            inside = 0
            for sy in range(SUB):
                for sx in range(SUB):
                    c = colour_at(px + (sx + 0.5) / SUB - 0.5, py + (sy + 0.5) / SUB - 0.5)
                    if c is not None:
                        inside += 1
                        for i in range(3):
                            acc[i] += c[i]
            if inside * 2 < SUB * SUB:
                row.append(None)
            else:
                row.append(tuple(round(v / inside) for v in acc))
        pixels.append(row)
    return pixels


def ico_bytes(pixels):
    xor_stride = (WIDTH * 3 + 3) & ~3
    and_stride = ((WIDTH + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(pixels):  # DIB rows run bottom-up
        line = bytearray()
        bits = bytearray(and_stride)
        for x, c in enumerate(row):
            r, g, b = c if c is not None else BACK
            line += bytes((b, g, r))
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        line += bytes(xor_stride - len(line))
        xor += line
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, WIDTH, HEIGHT * 2, 1, 24, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    icondir = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', WIDTH, HEIGHT, 0, 0, 1, 24, len(image), 6 + 16)
    return icondir + entry + image


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), 'tamrix.ico')
    data = ico_bytes(render())
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
