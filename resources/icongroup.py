#!/usr/bin/env python3
"""Splits an .ico file into the raw icon images and the icon group a Windows resource
file names by number, so that the images keep identifiers of our choosing.

    icongroup.py app.ico FIRST_ID OUTDIR   writes OUTDIR/icon-<id>.bin and OUTDIR/group.bin
"""
import struct
import sys
from pathlib import Path


def split(ico: bytes, first_id: int):
    reserved, kind, count = struct.unpack_from("<HHH", ico, 0)
    if reserved != 0 or kind != 1 or count == 0:
        raise ValueError("not an icon file")
    group = bytearray(struct.pack("<HHH", 0, 1, count))
    images = []
    for i in range(count):
        w, h, colours, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", ico, 6 + 16 * i)
        if offset + size > len(ico):
            raise ValueError("icon image %d runs past the end of the file" % i)
        image_id = first_id + i
        # The group entry is the file's directory entry with the image's resource id in
        # place of its file offset.
        group += struct.pack("<BBBBHHIH", w, h, colours, res, planes, bits, size, image_id)
        images.append((image_id, ico[offset:offset + size]))
    return bytes(group), images


def main():
    ico, first_id, outdir = Path(sys.argv[1]), int(sys.argv[2]), Path(sys.argv[3])
    group, images = split(ico.read_bytes(), first_id)
    outdir.mkdir(parents=True, exist_ok=True)
    for image_id, data in images:
        (outdir / ("icon-%d.bin" % image_id)).write_bytes(data)
    (outdir / "group.bin").write_bytes(group)


if __name__ == "__main__":
    main()
