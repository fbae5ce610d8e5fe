#!/usr/bin/env bash
# Writes the seed corpus of fuzz_frame_bitmap: small bitmaps in every storage
# the decoder reads (1, 4, 8, 16, 24 and 32 bits, bit fields, the short core
# header, top row first, RLE8 and RLE4), and damaged ones of each kind the
# listing must leave out. Made byte by byte, the same on every run.
#
# usage: make_frame_seeds.sh DIR
set -euo pipefail
dir=$1
mkdir -p "$dir"
python3 - "$dir" <<'PY'
import os
import struct
import sys

out = sys.argv[1]


def bitmap(width, height, bits, compression=0, palette=b"", extra=b"", pixels=b""):
    """A file header, a 40-byte header, then extra (masks), palette, pixels."""
    offset = 14 + 40 + len(extra) + len(palette)
    entries = len(palette) // 4
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                       entries, 0)
    body = info + extra + palette + pixels
    return b"BM" + struct.pack("<IHHI", 14 + len(body), 0, 0, offset) + body


def rows(width, height, bits, value):
    """Uncompressed rows, each padded to four bytes; value(x, y) gives bytes."""
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for y in range(height):
        row = b"".join(value(x, y) for x in range(width))
        data += row + b"\0" * (stride - len(row))
    return data


def packed(width, height, bits):
    """Rows of 1, 4 or 8-bit indices, the leftmost pixel in the high bits."""
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            index = (x + y) % (1 << bits)
            bit = x * bits
            row[bit // 8] |= index << (8 - bits - bit % 8)
        data += bytes(row)
    return data


def grey_palette(entries):
    return b"".join(bytes([i * 255 // max(entries - 1, 1)] * 3) + b"\0" for i in range(entries))


def save(name, data):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)


w, h = 7, 5
rgb24 = rows(w, h, 24, lambda x, y: bytes([x * 30, y * 50, (x * y) % 256]))
save("rgb24.bmp", bitmap(w, h, 24, pixels=rgb24))
save("rgb24-topdown.bmp", bitmap(w, -h, 24, pixels=rgb24))
save("rgb32.bmp", bitmap(w, h, 32, pixels=rows(w, h, 32, lambda x, y: bytes([x * 30, y * 50, 7, 0]))))
save("rgb16.bmp", bitmap(w, h, 16, pixels=rows(w, h, 16, lambda x, y: struct.pack("<H", (x << 10) | (y << 5) | x))))
masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
save("fields16.bmp", bitmap(w, h, 16, 3, extra=masks,
                            pixels=rows(w, h, 16, lambda x, y: struct.pack("<H", (x << 11) | (y << 5) | x))))
masks32 = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
save("fields32.bmp", bitmap(w, h, 32, 3, extra=masks32,
                            pixels=rows(w, h, 32, lambda x, y: bytes([y * 50, x * 30, 9, 0]))))
for bits in (1, 4, 8):
    save(f"indexed{bits}.bmp", bitmap(w, h, bits, palette=grey_palette(1 << bits), pixels=packed(w, h, bits)))
# The short core header: 12 bytes, 16-bit sizes, three-byte palette entries.
core = struct.pack("<IHHHH", 12, w, h, 1, 8) + b"".join(bytes([i, i, i]) for i in range(256)) + packed(w, h, 8)
save("core8.bmp", b"BM" + struct.pack("<IHHI", 14 + len(core), 0, 0, 14 + 12 + 768) + core)
# Run lengths, bottom line first: runs, literals padded to 16 bits, end of
# line, a jump, end of bitmap.
rle8 = bytes.fromhex("0205" "000307080900" "0106" "0000" "00020301" "0304" "0001")
save("rle8.bmp", bitmap(6, 3, 8, 1, palette=grey_palette(16), pixels=rle8))
rle4 = bytes.fromhex("00033450" "0567" "0001")
save("rle4.bmp", bitmap(8, 1, 4, 2, palette=grey_palette(16), pixels=rle4))

# Damaged: cut short, a run past its row, no end mark, an index beyond the
# palette, absurd and zero sizes, an empty file.
whole = bitmap(w, h, 24, pixels=rgb24)
save("cut-pixels.bmp", whole[: len(whole) // 2])
save("cut-header.bmp", whole[:30])
save("rle8-overrun.bmp", bitmap(6, 3, 8, 1, palette=grey_palette(16), pixels=bytes.fromhex("0905" "0001")))
save("rle8-no-end.bmp", bitmap(6, 3, 8, 1, palette=grey_palette(16), pixels=rle8[:-2]))
save("beyond-palette.bmp", bitmap(w, h, 8, palette=grey_palette(4), pixels=packed(w, h, 8)))
save("huge.bmp", bitmap(60000, 60000, 24, pixels=rgb24))
save("zero-width.bmp", bitmap(0, h, 24, pixels=rgb24))
save("empty.bmp", b"")
PY
