#!/usr/bin/env python3
"""Writes small record files: the seed corpus of the record file fuzz target.

Usage: make_records.py <output folder>
Each seed is a mode byte and then either (0) a whole file, a 56-byte
little-endian header and a zlib body of 1024-byte frames, or (1) a header,
a body length (two little-endian bytes, then a byte that, when odd, moves the
length to just below or above the size limit) and the bytes that are
repeated to make the inflated body.
"""
import os
import struct
import sys
import zlib


def header(source=0, source_channel=0, first=1, last=1, ch1_on=1, ch1_vdiv=1000000, ch1_off=0,
           ch2_on=1, ch2_vdiv=1000000, ch2_off=0, timediv=1000000000, delay=0, magic=0xBABA):
    h = bytearray(56)
    struct.pack_into('<H', h, 0, magic)
    struct.pack_into('<IIhhB', h, 8, source, source_channel, first, last, ch1_on)
    struct.pack_into('<ih', h, 24, ch1_vdiv, ch1_off)
    struct.pack_into('<B', h, 30, ch2_on)
    struct.pack_into('<ih', h, 32, ch2_vdiv, ch2_off)
    struct.pack_into('<qq', h, 40, timediv, delay)
    return bytes(h)


def frames(count, level):
    return bytes(level(f, i) & 0xFF for f in range(1, count + 1) for i in range(1024))


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    sine = frames(3, lambda f, i: 125 + int(80 * ((i * f) % 100 - 50) / 50))
    files = {
        'three_frames.rcd': header(last=3) + zlib.compress(sine, 9),
        'ch2_given.rcd': header(source=2, source_channel=1, first=5, last=6, ch2_off=-25)
        + zlib.compress(frames(2, lambda f, i: i), 9),
        'ch2_off.rcd': header(source=1, ch2_on=0) + zlib.compress(frames(1, lambda f, i: 100), 9),
        'short_body.rcd': header(last=9) + zlib.compress(frames(1, lambda f, i: 200), 9),
        'cut_stream.rcd': (header(last=2) + zlib.compress(sine[:2048], 9))[:-7],
        'bad_magic.rcd': header(magic=0x1234) + zlib.compress(sine[:1024], 9),
    }
    raw = {
        'raw_three_frames': header(last=3) + (3 * 1024).to_bytes(2, 'little') + b'\x00' + bytes(range(256)),
        'raw_short_of_a_frame': header(last=3) + (1000).to_bytes(2, 'little') + b'\x00\x7d',
        'raw_over_the_limit': header(last=3) + (32768 + 99).to_bytes(2, 'little') + b'\x01\x00\x19\xe0\xff',
        'raw_header_only': header(last=3) + bytes(3),
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(b'\x00' + data)
    for name, data in raw.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(b'\x01' + data)


if __name__ == '__main__':
    main()
