#!/usr/bin/env python3
"""Adds PNG images of other sizes after the first image of a Windows icon
file, for the small icons of the title bar and Explorer and the larger ones of
today's shells and high-density screens. The first image stays first: the
32 x 32, 256-colour one, whose bitmap header gets the zero "important
colours" count that readers of icons expect (all colours count).

    add-large-icons.py ICO PNG...
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG image")
    return struct.unpack(">II", data[16:24])


def main(ico_path, png_paths):
    ico = open(ico_path, "rb").read()
    _, kind, count = struct.unpack_from("<HHH", ico)
    entries = [ico[6 + 16 * i: 22 + 16 * i] for i in range(count)]
    images = []
    for entry in entries:
        size, offset = struct.unpack_from("<II", entry, 8)
        images.append((entry[:8], ico[offset:offset + size]))
    images = images[:1]  # the 32 x 32, 256-colour image; the others are made anew
    header, bitmap = images[0]
    bitmap = bytearray(bitmap)
    struct.pack_into("<I", bitmap, 36, 0)  # biClrImportant
    images[0] = (header, bytes(bitmap))
    for path in png_paths:
        data = open(path, "rb").read()
        width, height = png_size(data)
        header = struct.pack("<BBBBHH", width % 256, height % 256, 0, 0, 1, 32)
        images.append((header, data))
    out = bytearray(struct.pack("<HHH", 0, kind, len(images)))
    offset = 6 + 16 * len(images)
    for header, data in images:
        out += header + struct.pack("<II", len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    open(ico_path, "wb").write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2:])
