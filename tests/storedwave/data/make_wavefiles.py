#!/usr/bin/env python3
"""Writes small waveform files: the seed corpus of the waveform file fuzz target.

Usage: make_wavefiles.py <output folder>
Each file is a little-endian header (272 bytes, magic 0xA5A5, or the older
252 bytes, magic 0xA5A1), 4 skipped bytes, then the CH1, CH2 and digital
blocks of the channels present.
"""
import os
import struct
import sys


def header(older=False, magic=None, points=64, ch1=1, ch2=0, la=0, trig=0, ch2_points=0,
           vdiv1=1000000, off1=0, vdiv2=500000, off2=10, timediv=1000000000, position=0,
           rate=1.0e6, acq_timediv=1000000000, delay=0, la_mask=0x00FF, la_selected=2):
    size = 252 if older else 272
    h = bytearray(size)
    at = (lambda cur: cur - 20 if older and cur >= 148 else cur)
    struct.pack_into('<H', h, 0, magic if magic is not None else (0xA5A1 if older else 0xA5A5))
    struct.pack_into('<i', h, 28, points)
    struct.pack_into('<ih', h, 36, vdiv1, off1)
    struct.pack_into('<B', h, 49, ch1)
    struct.pack_into('<ih', h, 52, vdiv1, off1)
    struct.pack_into('<ih', h, 60, vdiv2, off2)
    struct.pack_into('<B', h, 73, ch2)
    struct.pack_into('<ih', h, 76, vdiv2, off2)
    struct.pack_into('<qqfqq', h, 84, timediv, position, rate, acq_timediv, delay)
    if not older:
        struct.pack_into('<BBh', h, 120, la, la_selected, la_mask)
        struct.pack_into('<16B', h, 124, *range(16))
        struct.pack_into('<BB', h, 140, 10, 10)
    struct.pack_into('<B', h, 120 if older else 142, trig)
    struct.pack_into('<iqqf', h, at(232), ch2_points, timediv * 2, position, rate / 2)
    struct.pack_into('<qq', h, at(256), timediv * 2, delay)
    return bytes(h)


def ramp(n, start=25):
    return bytes((start + i * 3) % 256 for i in range(n))


def words(n):
    return b''.join(struct.pack('<H', (i * 37) & 0xFFFF) for i in range(n))


GAP = b'\0\0\0\0'


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    files = {
        'ch1_ch2_la.wfm': header(ch2=1, la=1) + GAP + ramp(64) + ramp(64, 100) + words(64),
        'older_ch1.wfm': header(older=True, points=32) + GAP + ramp(32, 200),
        'alternate.wfm': header(trig=4, ch2=1, points=20, ch2_points=30) + GAP + ramp(20) + ramp(30, 90),
        'no_blocks.wfm': header(ch1=0) + GAP,
        'short_block.wfm': header(points=600) + GAP + ramp(10),
        'zoomed_in.wfm': header(points=8, timediv=1000000000000) + GAP + ramp(8),
        'far_position.wfm': header(position=10 ** 15) + GAP + ramp(64),
        'bad_magic.wfm': header(magic=0x1234) + GAP + ramp(64),
        'negative_count.wfm': header(points=-5) + GAP,
    }
    for name, data in files.items():
        with open(os.path.join(out, name), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
