#!/usr/bin/env python3
"""Writes the tour's images: three 24-bit bitmaps and one 32-bit icon.

SUN, MOON and LEAF exist as bitmaps; STAR exists only as an icon, so the
image controls that name it fall back to their icon form.
"""
import math
import struct


def bitmap(path, size, pixel):
    """A bottom-up 24-bit BMP; pixel(x, y) gives (r, g, b) with y downwards."""
    row = (size * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(size)):
        line = bytearray()
        for x in range(size):
            r, g, b = pixel(x, y)
            line += bytes((b, g, r))
        data += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def icon(path, size, pixel):
    """A one-image ICO: 32-bit BGRA pixels, bottom-up, and an all-clear AND mask."""
    xor = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            r, g, b, a = pixel(x, y)
            xor += bytes((b, g, r, a))
    mask = bytes(((size + 31) // 32) * 4 * size)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
    with open(path, "wb") as f:
        f.write(directory + image)


def inside(x, y, cx, cy, r):
    return (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r


def sun(x, y):
    if inside(x, y, 16, 16, 9):
        return (255, 200, 0)
    angle = math.atan2(y + 0.5 - 16, x + 0.5 - 16)
    if inside(x, y, 16, 16, 14) and math.cos(8 * angle) > 0.6:
        return (255, 140, 0)
    return (120, 190, 255)


def moon(x, y):
    if inside(x, y, 16, 16, 11) and not inside(x, y, 22, 12, 10):
        return (230, 230, 200)
    return (20, 30, 90)


def leaf(x, y):
    if abs(x + 0.5 - 12) + abs(y + 0.5 - 12) * 0.6 <= 9:
        return (40, 160, 60) if abs(x - y) > 1 else (20, 90, 30)
    return (240, 240, 230)


def star(x, y):
    px, py = x + 0.5 - 16, y + 0.5 - 16
    r = math.hypot(px, py)
    angle = math.atan2(py, px) + math.pi / 2
    edge = 6 + 8 * (0.5 + 0.5 * math.cos(5 * angle)) ** 2
    return (220, 30, 40, 255) if r <= edge else (0, 0, 0, 0)


bitmap("sun.bmp", 32, sun)
bitmap("moon.bmp", 32, moon)
bitmap("leaf.bmp", 24, leaf)
icon("star.ico", 32, star)
