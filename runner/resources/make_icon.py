#!/usr/bin/env python3
"""Draws Orvane's application icon and writes app_icon.ico (icon resource 101).

Seven 32-bit images: 16, 24, 32, 48, 64 px as uncompressed bitmaps with alpha, 128 and 256 px as
PNG, the form the shell accepts for large icons. Standard library only; the output is committed
so that builds do not need Python.
   python3 runner/resources/make_icon.py runner/resources/app_icon.ico
"""
import math
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4  # per axis, for smooth edges


def coverage_and_colour(u, v):
    """Colour (r, g, b, a) at a point of the unit square: a rounded tile with a white ring."""
    # Rounded square tile.
    r = 0.22
    dx = max(abs(u - 0.5) - (0.5 - r), 0.0)
    dy = max(abs(v - 0.5) - (0.5 - r), 0.0)
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    # Diagonal gradient from teal to indigo.
    t = (u + v) / 2.0
    top = (20, 170, 160)
    bottom = (70, 60, 180)
    colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
    # The ring: an "O" with a small gap at its upper right, like a focus timer.
    d = math.hypot(u - 0.5, v - 0.5)
    if 0.22 <= d <= 0.34:
        angle = math.degrees(math.atan2(0.5 - v, u - 0.5))
        if not 35.0 <= angle <= 65.0:
            return (255, 255, 255, 255)
    # The dot in the gap.
    if math.hypot(u - 0.5 - 0.28 * math.cos(math.radians(50)),
                  v - 0.5 + 0.28 * math.sin(math.radians(50))) <= 0.05:
        return (255, 214, 90, 255)
    return colour + (255,)


def render(size):
    """Rows of (r, g, b, a), top row first, supersampled and premultiplied-free."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    u = (x + (sx + 0.5) / SAMPLES) / size
                    v = (y + (sy + 0.5) / SAMPLES) / size
                    r, g, b, a = coverage_and_colour(u, v)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            alpha = acc[3] / (SAMPLES * SAMPLES)
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], int(alpha)))
        rows.append(row)
    return rows


def bitmap_entry(size, rows):
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytes(mask_stride * size)  # alpha decides; the mask stays clear
    return header + bytes(pixels) + mask


def png_entry(size, rows):
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for pixel in row:
            raw += bytes(pixel)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main(path):
    images = []
    for size in SIZES:
        rows = render(size)
        images.append(png_entry(size, rows) if size >= 128 else bitmap_entry(size, rows))
    directory = struct.pack("<HHH", 0, 1, len(SIZES))
    offset = len(directory) + 16 * len(SIZES)
    entries = b""
    for size, image in zip(SIZES, images):
        side = 0 if size == 256 else size
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(directory + entries + b"".join(images))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "app_icon.ico")
