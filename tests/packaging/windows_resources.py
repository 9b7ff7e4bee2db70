#!/usr/bin/env python3
"""Reads the version record, the icon group and the application manifest back from the Windows program file, as
Explorer shows them, with Debian's python3-pefile.

Usage: windows_resources.py ZENTAVO.EXE APP.ICO"""
import struct
import sys

import pefile

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
LANG_ZH_TW = 0x0404

STRINGS = {
    "FileVersion": "1.00",
    "ProductVersion": "1.00",
    "CompanyName": ".",
    "ProductName": "Zentavo",
    "InternalName": "zentavo",
    "OriginalFilename": "zentavo.exe",
}
# (width, height, colours, bits per pixel, bytes, image id) of each image, in order.
ICON_GROUP = [(32, 32, 16, 4, 744, 30001), (16, 16, 16, 4, 296, 30002)]


def resources(pe):
    """{(type, id): (language, data)} of every resource."""
    found = {}
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for entry in kind.directory.entries:
            for lang in entry.directory.entries:
                rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                found[(kind.id, entry.id)] = (lang.id, pe.get_data(rva, size))
    return found


def ico_images(path):
    data = open(path, "rb").read()
    count = struct.unpack_from("<H", data, 4)[0]
    images = []
    for i in range(count):
        size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
        images.append(data[offset:offset + size])
    return images


def main():
    exe, ico = sys.argv[1:3]
    pe = pefile.PE(exe)
    found = resources(pe)
    faults = []

    def check(what, got, want):
        if got != want:
            faults.append(f"{what}: {got!r}, wanted {want!r}")

    for key, (lang, _) in found.items():
        check(f"language of resource {key}", lang, LANG_ZH_TW)

    fixed = pe.VS_FIXEDFILEINFO[0]
    check("numeric file version", (fixed.FileVersionMS, fixed.FileVersionLS), (0x10000, 0))
    check("numeric product version", (fixed.ProductVersionMS, fixed.ProductVersionLS), (0x10000, 0))
    check("file flags", fixed.FileFlags & fixed.FileFlagsMask, 0)
    check("target system", fixed.FileOS, 0x4)  # VOS__WINDOWS32
    check("file type", fixed.FileType, 0x1)  # VFT_APP
    tables, translations = {}, []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables[table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations.append(var.entry.get(b"Translation"))
    check("string tables", list(tables), ["040404B0"])
    check("strings", tables.get("040404B0"), STRINGS)
    check("translation", translations, ["0x0404 0x04b0"])

    if (RT_GROUP_ICON, 1) not in found:
        faults.append("no icon group 1")
    else:
        group = found[(RT_GROUP_ICON, 1)][1]
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        check("icon group header", (reserved, kind, count), (0, 1, len(ICON_GROUP)))
        entries = []
        for i in range(count):
            w, h, colours, _, _, bits, size, image = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
            entries.append((w, h, colours, bits, size, image))
        check("icon group entries", entries, ICON_GROUP)
    for (_, _, _, _, size, image), pixels in zip(ICON_GROUP, ico_images(ico)):
        got = found.get((RT_ICON, image), (None, b""))[1]
        check(f"icon image {image}", (len(got), got == pixels), (size, True))

    manifest = found.get((RT_MANIFEST, 1), (None, b""))[1].decode("utf-8", "replace")
    for needed in ("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", "PerMonitorV2", 'level="asInvoker"'):
        if needed not in manifest:
            faults.append(f"the application manifest lacks {needed}")

    for fault in faults:
        print(fault)
    print(f"{0 if faults else 1} passed, {1 if faults else 0} failed")
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
