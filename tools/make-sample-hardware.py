#!/usr/bin/env python3
"""Writes the binary files of the sample install tree under data/Halvora/default:
device pictures (BMP), palettes (RIFF PAL), raster fonts (Windows FNT 2.0), a keypad
description and a TrueType placeholder. The configuration files are kept by hand.

Run from the source root: tools/make-sample-hardware.py
"""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "Halvora", "default")
HW = os.path.join(ROOT, "hardware")

# 16-colour palette of the pictures (the classic VGA colours).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
       (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
       (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, DGREY, LGREY, WHITE = 0, 8, 7, 15


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def bmp4(width, height, pixels):
    """A 4-bit BMP; pixels[y][x] top row first."""
    row = ((width + 1) // 2 + 3) & ~3
    body = bytearray()
    for y in range(height - 1, -1, -1):
        line = bytearray(row)
        for x in range(width):
            v = pixels[y][x] & 15
            line[x // 2] |= v << 4 if x % 2 == 0 else v
        body += line
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in VGA)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(body), 2835, 2835, 16, 0)
    return header + info + palette + body


def device_picture(width, height, screen, keys, screen_colour):
    """A device front: frame, display area and optionally a row of keys."""
    px = [[LGREY] * width for _ in range(height)]
    for y in range(height):
        for x in range(width):
            if x in (0, width - 1) or y in (0, height - 1):
                px[y][x] = DGREY
    sx0, sy0, sx1, sy1 = screen
    for y in range(sy0, sy1):
        for x in range(sx0, sx1):
            px[y][x] = BLACK if x in (sx0, sx1 - 1) or y in (sy0, sy1 - 1) else screen_colour
    for (kx0, ky0, kx1, ky1) in keys:
        for y in range(ky0, ky1):
            for x in range(kx0, kx1):
                px[y][x] = DGREY if x in (kx0, kx1 - 1) or y in (ky0, ky1 - 1) else WHITE
    return px


def pictures(folder, colour, keyed, screenless=False):
    for name, (w, h) in (("device.bmp", (96, 72)), ("device_32.bmp", (32, 32)), ("device_16.bmp", (16, 16))):
        if screenless:
            screen = (w // 8, h // 8, w // 8 + 2, h // 8 + 2)
            keys = [(w // 4 + i * (w // 6), h // 3, w // 4 + i * (w // 6) + max(2, w // 10), h - h // 4)
                    for i in range(3)]
        else:
            bottom = h - h // 4 if keyed else h - h // 8
            screen = (w // 8, h // 8, w - w // 8, bottom)
            keys = []
            if keyed:
                n = 4
                step = (w - w // 4) // n
                keys = [(w // 8 + i * step, bottom + 1, w // 8 + i * step + step - 1, h - 2) for i in range(n)]
        write(os.path.join(folder, name), bmp4(w, h, device_picture(w, h, screen, keys, colour)))


def palette(colours):
    data = struct.pack("<HH", 0x0300, len(colours)) + b"".join(struct.pack("<BBBB", r, g, b, 0)
                                                                   for (r, g, b) in colours)
    chunk = b"data" + struct.pack("<I", len(data)) + data
    return b"RIFF" + struct.pack("<I", 4 + len(chunk)) + b"PAL " + chunk


def grey_levels(n):
    return [(v, v, v) for v in (round(i * 255 / (n - 1)) for i in range(n))]


def fnt(face, width, height, points):
    """A Windows 2.0 raster font, characters 32..126, each drawn as a hollow box."""
    first, last = 32, 126
    count = last - first + 1
    cols = (width + 7) // 8
    glyph = []
    for y in range(height):
        bits = 0
        for x in range(width):
            on = (y in (1, height - 2) and 0 < x < width - 1) or (x in (1, width - 2) and 0 < y < height - 1)
            if on:
                bits |= 1 << (cols * 8 - 1 - x)
        glyph.append(bits)
    header_size = 118
    table_size = (count + 1) * 4
    bits_offset = header_size + table_size
    bitmaps = bytearray()
    table = bytearray()
    for c in range(first, last + 2):   # one extra entry: the sentinel
        table += struct.pack("<HH", width, bits_offset + len(bitmaps))
        for col in range(cols):
            for y in range(height):
                if c == 32 or c > last:
                    bitmaps.append(0)
                else:
                    bitmaps.append((glyph[y] >> (8 * (cols - 1 - col))) & 0xFF)
    face_offset = bits_offset + len(bitmaps)
    face_bytes = face.encode("ascii") + b"\0"
    size = face_offset + len(face_bytes)
    copyright_text = b"Halvora sample font".ljust(60, b"\0")
    header = struct.pack("<HI60sHHHHHHHBBBHBHHBHHBBBBHIIII",
                         0x0200, size, copyright_text, 0, points, 96, 96, height - 2, 0, 0,
                         0, 0, 0, 400, 0, width, height, 0x31, width, width,
                         first, last, ord("?") - first, 0, cols, 0, face_offset, 0, bits_offset)
    header += b"\0"   # reserved
    assert len(header) == header_size, len(header)
    return header + bytes(table) + bytes(bitmaps) + face_bytes


KEYPAD = b"""<?xml version="1.0" encoding="UTF-8"?>
<keypad name="Numeric" columns="3" rows="4">
  <key row="0" column="0" text="7"/><key row="0" column="1" text="8"/><key row="0" column="2" text="9"/>
  <key row="1" column="0" text="4"/><key row="1" column="1" text="5"/><key row="1" column="2" text="6"/>
  <key row="2" column="0" text="1"/><key row="2" column="1" text="2"/><key row="2" column="2" text="3"/>
  <key row="3" column="0" text="0"/><key row="3" column="1" text="."/><key row="3" column="2" text="Enter"/>
</keypad>
"""


def main():
    pictures(os.path.join(HW, "KOLM_T420"), 10, keyed=True)
    pictures(os.path.join(HW, "KOLM_G320"), 12, keyed=True)
    pictures(os.path.join(HW, "CE_PANEL7"), 14, keyed=False)
    pictures(os.path.join(HW, "COMBO_C167"), 2, keyed=True)
    pictures(os.path.join(HW, "CTRL_515"), 2, keyed=False, screenless=True)

    write(os.path.join(HW, "KOLM_G320", "Palette.pal"), palette(VGA))
    write(os.path.join(HW, "COMBO_C167", "Palette.pal"), palette(grey_levels(2)))
    write(os.path.join(HW, "CE_PANEL7", "Palette.pal"), palette(grey_levels(256)))
    write(os.path.join(HW, "CTRL_515", "Remote", "KOLM_G320", "Palette.pal"), palette(VGA))

    write(os.path.join(HW, "KOLM_G320", "Default.FNT"), fnt("Default", 8, 16, 12))
    write(os.path.join(HW, "KOLM_G320", "Small.FNT"), fnt("Small", 6, 8, 6))
    write(os.path.join(HW, "CE_PANEL7", "Keypad_Num.xml"), KEYPAD)
    # The TrueType font the panel's firmware brings; its glyphs live on the device.
    write(os.path.join(HW, "CE_PANEL7", "HvSans.ttf"),
          b"\x00\x01\x00\x00" + b"Halvora sample: stands for the panel's built-in font\n")

    write(os.path.join(ROOT, "fonts", "System.fnt"), fnt("System", 8, 8, 6))
    write(os.path.join(ROOT, "fonts", "Standard.fnt"), fnt("Standard", 8, 16, 12))
    write(os.path.join(ROOT, "fonts", "Gross.fnt"), fnt("Gross", 16, 32, 24))
    write(os.path.join(ROOT, "default.fnt"), fnt("Neu", 8, 16, 12))


if __name__ == "__main__":
    main()
