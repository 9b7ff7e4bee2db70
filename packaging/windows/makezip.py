#!/usr/bin/env python3
"""Zips a folder for Windows: every name is stored as UTF-8 with the language-encoding flag
(general-purpose bit 11) set, so that Windows' own extractor does not read 讀我.txt in code
page 950. Entries in name order, with no extra fields, so the same folder makes the same zip.

Usage: makezip.py ZIP FOLDER        (the folder is stored under its own name)
       makezip.py --check ZIP       (exits 1 when a non-ASCII name lacks the flag)"""
import os
import sys
import zipfile

UTF8_FLAG = 0x800


def make(target, folder):
    base = os.path.dirname(os.path.abspath(folder))
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for root, dirs, files in os.walk(folder):
            dirs.sort()
            for name in sorted(files):
                path = os.path.join(root, name)
                arcname = os.path.relpath(path, base).replace(os.sep, "/")
                info = zipfile.ZipInfo.from_file(path, arcname)
                # Python sets the flag itself for non-ASCII names; set it for all alike.
                info.flag_bits |= UTF8_FLAG
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as data:
                    z.writestr(info, data.read(), compresslevel=9)


def check(target):
    wrong = [i.filename for i in zipfile.ZipFile(target).infolist()
             if not i.filename.isascii() and not i.flag_bits & UTF8_FLAG]
    for name in wrong:
        print(f"{target}: {name} is stored without the UTF-8 flag")
    return 1 if wrong else 0


if __name__ == "__main__":
    if sys.argv[1] == "--check":
        sys.exit(check(sys.argv[2]))
    make(sys.argv[1], sys.argv[2])
