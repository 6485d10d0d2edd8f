#!/usr/bin/env python3
"""Pixels of a PNG screenshot without any imaging library.

As a module: read(path) gives (width, height, rows) with each row a list of
(r, g, b) tuples. As a program: png_pixels.py FILE X0 Y0 X1 Y1 R G B [TOLERANCE]
exits 0 when a pixel of the box [X0, X1) x [Y0, Y1) is within TOLERANCE
(default 24) of the colour in every channel, 1 otherwise.
"""
import struct
import sys
import zlib


def _paeth(left, up, corner):
    estimate = left + up - corner
    best = min((abs(estimate - left), 0, left), (abs(estimate - up), 1, up), (abs(estimate - corner), 2, corner))
    return best[2]


def read(path):
    data = open(path, 'rb').read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG file')
    pos, compressed, width, height, channels = 8, bytearray(), 0, 0, 0
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour = struct.unpack('>IIBB', body[:10])
            if depth != 8 or colour not in (2, 6):
                raise ValueError('only 8-bit RGB or RGBA')
            channels = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            compressed += body
        pos += 12 + length
    raw = zlib.decompress(bytes(compressed))
    stride = width * channels
    previous = bytearray(stride)
    rows = []
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            corner = previous[i - channels] if i >= channels else 0
            up = previous[i]
            predicted = (0, left, up, (left + up) // 2, _paeth(left, up, corner))[kind]
            line[i] = (line[i] + predicted) & 0xFF
        rows.append([tuple(line[x * channels:x * channels + 3]) for x in range(width)])
        previous = line
    return width, height, rows


def main(argv):
    path, x0, y0, x1, y1, r, g, b = argv[1], *map(int, argv[2:9])
    tolerance = int(argv[9]) if len(argv) > 9 else 24
    width, height, rows = read(path)
    for y in range(max(y0, 0), min(y1, height)):
        for x in range(max(x0, 0), min(x1, width)):
            pixel = rows[y][x]
            if all(abs(c - w) <= tolerance for c, w in zip(pixel, (r, g, b))):
                return 0
    return 1


if __name__ == '__main__':
    sys.exit(main(sys.argv))
