#!/usr/bin/env python3
"""The Windows zip's names: stored as UTF-8 and flagged so (bit 11), which Windows' own
extractor needs to unpack 讀我.txt by its name; a zip without the flag is caught.

Usage: zip_names.py MAKEZIP"""
import os
import subprocess
import sys
import tempfile
import zipfile


def main():
    makezip = sys.argv[1]
    with tempfile.TemporaryDirectory() as tmp:
        folder = os.path.join(tmp, "zentavo-1.0.0-windows-x64")
        os.makedirs(os.path.join(folder, "translations"))
        for name in ("讀我.txt", "zentavo.exe", "translations/qtbase_zh_TW.qm"):
            with open(os.path.join(folder, name), "wb") as f:
                f.write(name.encode("utf-8"))
        made = os.path.join(tmp, "made.zip")
        subprocess.run([sys.executable, makezip, made, folder], check=True)
        infos = {i.filename: i for i in zipfile.ZipFile(made).infolist()}
        readme = infos.get("zentavo-1.0.0-windows-x64/讀我.txt")
        if readme is None or not readme.flag_bits & 0x800:
            sys.exit(f"讀我.txt missing or unflagged in {sorted(infos)}")
        if subprocess.run([sys.executable, makezip, "--check", made]).returncode != 0:
            sys.exit("a flagged zip was refused")

        # As Info-ZIP writes it in a C locale: the bytes, and no flag.
        plain = os.path.join(tmp, "plain.zip")
        with zipfile.ZipFile(plain, "w") as z:
            info = zipfile.ZipInfo("zentavo/讀我.txt")
            z.writestr(info, b"x")
        data = bytearray(open(plain, "rb").read())
        for header in (b"PK\x03\x04", b"PK\x01\x02"):
            at = data.find(header)
            flags = 6 if header == b"PK\x03\x04" else 8
            data[at + flags + 1] &= ~0x08 & 0xFF  # bit 11: bit 3 of the flags' second byte
        open(plain, "wb").write(bytes(data))
        if subprocess.run([sys.executable, makezip, "--check", plain],
                          stdout=subprocess.DEVNULL).returncode == 0:
            sys.exit("a zip without the flag passed the check")


if __name__ == "__main__":
    main()
