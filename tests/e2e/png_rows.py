"""Rows of pixels of a PNG written by the phone's screenshot (8-bit RGB or
RGBA, not interlaced), for the end-to-end scripts' checks of a few pixels.

    rows(path) -> (channels, [bytes of each row])
"""
import struct
import zlib


def _paeth(a, b, c):
    p = a + b - c
    if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c):
        return a
    return b if abs(p - b) <= abs(p - c) else c


def rows(path):
    data = open(path, 'rb').read()
    pos, idat, width, height, channels = 8, b'', 0, 0, 4
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b'IHDR':
            width, height, _depth, colour = struct.unpack('>IIBB', body[:10])
            channels = {2: 3, 6: 4}[colour]
        elif kind == b'IDAT':
            idat += body
        pos += 12 + length
    raw, stride = zlib.decompress(idat), width * channels
    out, prev = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, cur = line[0], bytearray(line[1:])
        for i in range(stride):
            a = cur[i - channels] if i >= channels else 0
            b = prev[i]
            c = prev[i - channels] if i >= channels else 0
            cur[i] = (cur[i] + [0, a, b, (a + b) // 2, _paeth(a, b, c)][kind]) & 0xFF
        out.append(bytes(cur))
        prev = cur
    return channels, out
