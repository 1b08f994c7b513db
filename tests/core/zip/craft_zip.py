#!/usr/bin/env python3
"""Writes a zip whose entries are given as Python expressions, raw name bytes and flags as
they stand, the way other makers' tools write them.

usage: craft_zip.py OUT ENTRIES [STUB]
ENTRIES is a comma-separated list of entry(...) calls (see below); STUB bytes of a program
placed before the archive without correcting its offsets, as a self-extractor would be."""
import struct
import sys
import zipfile
import zlib

METHODS = {"stored": zipfile.ZIP_STORED, "deflated": zipfile.ZIP_DEFLATED,
           "bzip2": zipfile.ZIP_BZIP2, "lzma": zipfile.ZIP_LZMA}


class RawInfo(zipfile.ZipInfo):
    """zipfile encodes names itself and resets the flags; this keeps both as given."""

    def __init__(self, raw, index, flags):
        super().__init__("entry%d" % index)
        self.raw, self.more_flags = raw, flags

    def _encodeFilenameFlags(self):
        return self.raw, self.flag_bits | self.more_flags


def entry(name, data=b"x", flags=0, attr=0, method="deflated", unicode=None, stale=False):
    raw = name if isinstance(name, bytes) else name.encode()
    return raw, data, flags, attr, METHODS[method], unicode, stale


def unicode_path(raw, text, stale):
    # Info-ZIP's Unicode path field: version 1, CRC-32 of the header name, the UTF-8 name.
    crc = zlib.crc32(raw + (b"~" if stale else b""))
    body = struct.pack("<BI", 1, crc) + text.encode()
    return struct.pack("<HH", 0x7075, len(body)) + body


def main():
    out, entries = sys.argv[1], eval("[" + sys.argv[2] + "]")
    with zipfile.ZipFile(out, "w") as archive:
        for index, (raw, data, flags, attr, method, text, stale) in enumerate(entries):
            info = RawInfo(raw, index, flags)
            info.compress_type, info.external_attr = method, attr
            if text is not None:
                info.extra = unicode_path(raw, text, stale)
            archive.writestr(info, data)
    if len(sys.argv) > 3:
        with open(out, "rb") as f:
            body = f.read()
        with open(out, "wb") as f:
            f.write(sys.argv[3].encode() + body)


main()
