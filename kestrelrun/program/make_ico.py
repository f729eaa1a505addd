#!/usr/bin/env python3
"""Packs PNG pictures into one .ico file (PNG-compressed entries, read from Vista on).

    make_ico.py OUT.ico IN1.png [IN2.png ...]
"""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("make_ico: not a PNG")
    return struct.unpack(">II", data[16:24])


def main(out, inputs):
    pictures = [open(path, "rb").read() for path in inputs]
    header = struct.pack("<HHH", 0, 1, len(pictures))
    offset = len(header) + 16 * len(pictures)
    entries, bodies = b"", b""
    for data in pictures:
        width, height = png_size(data)
        if width > 256 or height > 256:
            raise SystemExit("make_ico: a picture over 256 pixels")
        # 0 stands for 256 in the one-byte sizes.
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(data),
                               offset + len(bodies))
        bodies += data
    with open(out, "wb") as f:
        f.write(header + entries + bodies)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], sys.argv[2:])
