#!/usr/bin/env python3
"""Compares two PNG pictures of the same size (8-bit RGB or RGBA, as the game
and its benchmark save them): prints the share of pixels whose largest channel
difference exceeds a threshold and the mean absolute difference of the colour
channels (in levels, over every channel of every pixel: how close the pictures
are as a whole), and exits 1 when that share is above a limit.

    scripts/compare-pictures.py A.png B.png [--threshold 8] [--limit 0.25]
"""
import argparse
import struct
import sys
import zlib


def read_png(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(path + ": not a PNG file")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    channels = {2: 3, 6: 4}.get(colour)
    if depth != 8 or channels is None or interlace:
        raise ValueError(path + ": only 8-bit RGB or RGBA without interlace")
    raw = zlib.decompress(b"".join(idat))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, channels, rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("a")
    parser.add_argument("b")
    parser.add_argument("--threshold", type=int, default=8, help="levels a channel may differ by (8)")
    parser.add_argument("--limit", type=float, default=0.25, help="per cent of pixels allowed beyond it (0.25)")
    args = parser.parse_args()
    wa, ha, ca, ra = read_png(args.a)
    wb, hb, cb, rb = read_png(args.b)
    if (wa, ha) != (wb, hb):
        print("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
        return 1
    differing, largest, total = 0, 0, 0
    for row_a, row_b in zip(ra, rb):
        for x in range(wa):
            channels = [abs(row_a[x * ca + k] - row_b[x * cb + k]) for k in range(3)]
            d = max(channels)
            total += sum(channels)
            largest = max(largest, d)
            differing += d > args.threshold
    share = 100.0 * differing / (wa * ha)
    print("%s: %d of %d pixels (%.3f %%) differ by more than %d levels; largest difference %d; "
          "mean absolute difference %.3f levels"
          % (args.b, differing, wa * ha, share, args.threshold, largest, total / (3.0 * wa * ha)))
    return 0 if share <= args.limit else 1


if __name__ == "__main__":
    sys.exit(main())
