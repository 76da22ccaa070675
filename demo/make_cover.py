#!/usr/bin/env python3
"""Writes cover.png, the demo track's cover: a 256x256 gradient with a disc and a note on it."""
import math
import struct
import zlib

SIZE = 256


def pixel(x, y):
    # Dusk gradient, top-left to bottom-right.
    t = (x + y) / (2 * (SIZE - 1))
    r, g, b = int(40 + 200 * t), int(20 + 60 * (1 - t)), int(120 + 100 * (1 - t))
    dx, dy = x - 128, y - 128
    distance = math.hypot(dx, dy)
    if distance < 90:  # a record
        shade = 18 + (8 if int(distance) % 12 < 2 else 0)
        r, g, b = shade, shade, shade + 6
        if distance < 30:  # its label
            r, g, b = 250, 190, 60
        if distance < 5:
            r, g, b = 20, 20, 26
    # A note on the label side: a head and a stem.
    if math.hypot((x - 196) / 1.3, y - 214) < 13 or (207 <= x <= 211 and 150 <= y <= 212):
        r, g, b = 250, 250, 250
    return bytes((r, g, b))


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def main():
    rows = bytearray()
    for y in range(SIZE):
        row = b"".join(pixel(x, y) for x in range(SIZE))
        # Filter "Sub": each byte less the one three to its left; gradients shrink to little.
        rows.append(1)
        rows.extend((row[i] - (row[i - 3] if i >= 3 else 0)) & 0xFF for i in range(len(row)))
    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(rows), 9))
    png += chunk(b"IEND", b"")
    with open("cover.png", "wb") as out:
        out.write(png)


if __name__ == "__main__":
    main()
