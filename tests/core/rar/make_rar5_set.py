#!/usr/bin/env python3
"""Writes one file into a multi-volume RAR 5 set, stored (no compression), after the RAR 5
format description published by RARLAB (technote.htm). No RAR writer is free to use.

usage: make_rar5_set.py FILE PARTS NAMING
NAMING "part": FILE.part1.rar, FILE.part2.rar ...; "old": FILE.rar, FILE.r00, FILE.r01 ...
The set is written beside FILE and named after it without its extension."""
import os
import sys
import zlib

SIGNATURE = b"Rar!\x1a\x07\x01\x00"


def vint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        out.append(byte | (0x80 if value else 0))
        if not value:
            return bytes(out)


def header(fields):
    # CRC-32 over the size field and the header it measures.
    sized = vint(len(fields)) + fields
    return zlib.crc32(sized).to_bytes(4, "little") + sized


def volume(number, last, name, whole, piece):
    main_flags = 0x1 | (0x2 if number else 0)  # volume; volume number field present
    main = vint(1) + vint(0) + vint(main_flags) + (vint(number) if number else b"")
    flags = 0x2 | (0x8 if number else 0) | (0 if last else 0x10)
    # A part's CRC covers its own data; the last part's covers the whole file.
    crc = zlib.crc32(whole if last else piece)
    file_header = (vint(2) + vint(flags) + vint(len(piece)) + vint(0x4) + vint(len(whole)) +
                   vint(0o100644) + crc.to_bytes(4, "little") + vint(0) + vint(1) +
                   vint(len(name)) + name)
    end = vint(5) + vint(0) + vint(0 if last else 0x1)
    return SIGNATURE + header(main) + header(file_header) + piece + header(end)


def part_name(stem, index, naming):
    if naming == "part":
        return "%s.part%d.rar" % (stem, index + 1)
    return stem + (".rar" if index == 0 else ".r%02d" % (index - 1))


def main():
    path, parts, naming = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(path, "rb") as f:
        whole = f.read()
    stem = os.path.splitext(path)[0]
    name = os.path.basename(path).encode()
    size = -(-len(whole) // parts)
    for i in range(parts):
        piece = whole[i * size:(i + 1) * size]
        with open(part_name(stem, i, naming), "wb") as f:
            f.write(volume(i, i == parts - 1, name, whole, piece))


main()
