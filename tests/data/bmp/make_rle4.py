#!/usr/bin/env python3
"""Re-encodes a 4-bit BI_RGB BMP as BI_RLE4 (ImageMagick reads RLE4 but does not write it).

Usage: make_rle4.py IN.bmp OUT.bmp
Each row alternates encoded runs (for repeated pixels) and absolute runs, ends with an
end-of-line escape; the bitmap ends with end-of-bitmap. Absolute runs are padded to 16 bits.
"""
import struct
import sys

data = open(sys.argv[1], "rb").read()
off = struct.unpack("<I", data[10:14])[0]
w, h, planes, bits, comp = struct.unpack("<iiHHI", data[18:34])
assert bits == 4 and comp == 0 and h > 0
stride = ((w * 4 + 31) // 32) * 4
rows = []
for r in range(h):  # bottom-up, as stored
    raw = data[off + r * stride: off + (r + 1) * stride]
    rows.append([(raw[i // 2] >> (0 if i & 1 else 4)) & 15 for i in range(w)])

out = bytearray()
for px in rows:
    i = 0
    while i < w:
        j = i
        while j < w and px[j] == px[i] and j - i < 255:
            j += 1
        if j - i >= 3 or w - i < 3:
            out += bytes([j - i, px[i] << 4 | px[i]])
            i = j
            continue
        j = i  # absolute run until a repeat of 3 starts
        while j < w and j - i < 255 and not (j + 2 < w and px[j] == px[j + 1] == px[j + 2]):
            j += 1
        run = px[i:j]
        if len(run) < 3:
            out += bytes([len(run), run[0] << 4 | (run[1] if len(run) > 1 else 0)])
        else:
            packed = bytes((run[k] << 4 | (run[k + 1] if k + 1 < len(run) else 0))
                           for k in range(0, len(run), 2))
            out += bytes([0, len(run)]) + packed + (b"\0" if len(packed) & 1 else b"")
        i = j
    out += b"\0\0"
out += b"\0\1"

header = bytearray(data[14:off])  # info header and colour table
struct.pack_into("<I", header, 16, 2)         # biCompression = BI_RLE4
struct.pack_into("<I", header, 20, len(out))  # biSizeImage
file_size = 14 + len(header) + len(out)
with open(sys.argv[2], "wb") as f:
    f.write(b"BM" + struct.pack("<IHHI", file_size, 0, 0, 14 + len(header)) + header + out)
