#!/usr/bin/env python3
"""Checks the Windows build's artwork against the committed PNGs it stands for.

    check_windows_artwork.py ARTWORK_DIR RESOURCES_DIR

Each tiles*.bmp must be an uncompressed 24-bit BMP of the size its PNG has and
the same pixels; fifteen.ico must hold the seven icon sizes as 32-bit images with
the pixels of icons/fifteen-N.png; artwork.rc must name them by their fixed
resource identifiers. The files are read here without Qt, so a fault of the
writer that Qt's own reader would undo (rows upside down, the colours swapped)
is caught too.
"""
import struct
import sys
import zlib
from pathlib import Path

failures = []


def fail(message):
    failures.append(message)


def read_png(path):
    """Returns (width, height, rows of RGBA tuples) of an 8-bit RGB or RGBA PNG."""
    data = path.read_bytes()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        (length,) = struct.unpack(">I", data[pos : pos + 4])
        kind = data[pos + 4 : pos + 8]
        body = data[pos + 8 : pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise ValueError(f"{path}: only 8-bit RGB or RGBA PNGs without interlace are read")
    channels = 3 if colour == 2 else 4
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1) : (y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for x in range(stride):
            a = row[x - channels] if x >= channels else 0
            b = previous[x]
            c = previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + a) & 0xFF
            elif kind == 2:
                row[x] = (row[x] + b) & 0xFF
            elif kind == 3:
                row[x] = (row[x] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                row[x] = (row[x] + pred) & 0xFF
            elif kind != 0:
                raise ValueError(f"{path}: filter {kind}")
        pixels = []
        for x in range(width):
            px = row[x * channels : (x + 1) * channels]
            pixels.append(tuple(px) if channels == 4 else (px[0], px[1], px[2], 255))
        rows.append(pixels)
        previous = row
    return width, height, rows


def read_dib(data, name, expect_bits, icon):
    """Returns (width, height, rows of RGBA tuples, top row first) of a BITMAPINFOHEADER DIB."""
    (size, width, height, planes, bits, compression) = struct.unpack("<IiiHHI", data[:20])
    if size != 40 or planes != 1 or compression != 0:
        fail(f"{name}: header size {size}, planes {planes}, compression {compression}")
    if bits != expect_bits:
        fail(f"{name}: {bits} bits per pixel, not {expect_bits}")
    if icon:
        height //= 2  # the colour image and its AND mask
    bottom_up = height > 0
    height = abs(height)
    bytes_per = bits // 8
    stride = (width * bits + 31) // 32 * 4
    pixels = data[size:]
    if len(pixels) < stride * height:
        fail(f"{name}: {len(pixels)} bytes of pixels, {stride * height} wanted")
        return width, height, []
    rows = []
    for y in range(height):
        line = pixels[y * stride : y * stride + width * bytes_per]
        row = []
        for x in range(width):
            b, g, r = line[x * bytes_per : x * bytes_per + 3]
            a = line[x * bytes_per + 3] if bytes_per == 4 else 255
            row.append((r, g, b, a))
        rows.append(row)
    if icon:
        # The AND mask: 1 bits where the icon is transparent, for old displays.
        mask_stride = (width + 31) // 32 * 4
        mask = pixels[stride * height :]
        if len(mask) < mask_stride * height:
            fail(f"{name}: the mask has {len(mask)} bytes, {mask_stride * height} wanted")
        else:
            for y in range(height):
                for x in range(width):
                    bit = mask[y * mask_stride + x // 8] >> (7 - x % 8) & 1
                    if bit != (rows[y][x][3] == 0):
                        fail(f"{name}: mask bit ({x}, {y}) is {bit}, alpha {rows[y][x][3]}")
                        return width, height, []
    if bottom_up:
        rows.reverse()
    return width, height, rows


def compare(name, got, want):
    gw, gh, grows = got
    ww, wh, wrows = want
    if not grows:
        return  # its fault is reported already
    if (gw, gh) != (ww, wh):
        fail(f"{name}: {gw}x{gh}, the PNG is {ww}x{wh}")
        return
    for y in range(wh):
        if grows[y] != wrows[y]:
            x = next(i for i in range(ww) if grows[y][i] != wrows[y][i])
            fail(f"{name}: pixel ({x}, {y}) is {grows[y][x]}, the PNG has {wrows[y][x]}")
            return


def check_bitmap(artwork, resources, stem):
    path = artwork / f"{stem}.bmp"
    data = path.read_bytes()
    if data[:2] != b"BM":
        fail(f"{path}: not a BMP")
        return
    (file_size, _, offset) = struct.unpack("<IIi", data[2:14])
    if file_size != len(data):
        fail(f"{path}: the header says {file_size} bytes, the file has {len(data)}")
    dib = data[14:40 + 14] + data[offset:]
    compare(path.name, read_dib(dib, path.name, 24, False), read_png(resources / f"{stem}.png"))


def check_icon(artwork, resources):
    path = artwork / "fifteen.ico"
    data = path.read_bytes()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    sizes = [16, 24, 32, 48, 64, 128, 256]
    if reserved != 0 or kind != 1 or count != len(sizes):
        fail(f"{path}: type {kind}, {count} images, {len(sizes)} wanted")
        return
    for i, want in enumerate(sizes):
        w, h, _, _, _, bits, length, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i : 22 + 16 * i])
        w, h = w or 256, h or 256
        name = f"{path.name} image {i}"
        if (w, h) != (want, want) or bits != 32:
            fail(f"{name}: {w}x{h}, {bits} bits; {want}x{want}, 32 bits wanted")
            continue
        if offset + length > len(data):
            fail(f"{name}: its {length} bytes at {offset} run past the end of the file")
            continue
        image = data[offset : offset + length]
        compare(name, read_dib(image, name, 32, True),
                read_png(resources / "icons" / f"fifteen-{want}.png"))


def main():
    artwork, resources = Path(sys.argv[1]), Path(sys.argv[2])
    for stem in ("tiles", "tiles@1.5x", "tiles@2x", "tiles@3x"):
        check_bitmap(artwork, resources, stem)
    check_icon(artwork, resources)
    lines = (artwork / "artwork.rc").read_text().splitlines()
    want = ['103 ICON "fifteen.ico"', '104 BITMAP "tiles.bmp"', '105 BITMAP "tiles@1.5x.bmp"',
            '106 BITMAP "tiles@2x.bmp"', '107 BITMAP "tiles@3x.bmp"']
    if sorted(line.strip() for line in lines if line.strip()) != sorted(want):
        fail(f"artwork.rc holds {lines}, not {want}")
    for message in failures:
        print(message, file=sys.stderr)
    if not failures:
        print("the bitmaps and the icon have the committed PNGs' pixels")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
