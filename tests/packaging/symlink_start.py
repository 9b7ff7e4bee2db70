#!/usr/bin/env python3
"""Installs the build into a scratch prefix and starts it through bin/zentavo. The program
must read the gift.txt of lib/zentavo/, where it really lies, not look beside the symlink.
Then starts a copy from a folder named in Big5 (as a zip made on a Chinese Windows unpacks
here): it must read that folder's gift.txt, never the working folder's.

Usage: symlink_start.py CMAKE BUILD-DIR"""
import ctypes
import os
import select
import shutil
import struct
import subprocess
import sys
import tempfile
import time

IN_OPEN = 0x20


def opened_in(program, folders, cwd):
    """The folders, of those given, in which the program started in cwd opens a gift.txt
    before it has opened one anywhere watched (a minute at most)."""
    libc = ctypes.CDLL(None, use_errno=True)
    fd = libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
    watches = {}
    for folder in folders:
        wd = libc.inotify_add_watch(fd, os.fsencode(folder), IN_OPEN) if fd >= 0 else -1
        if wd < 0:
            sys.exit(f"inotify: {os.strerror(ctypes.get_errno())}")
        watches[wd] = folder
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    proc = subprocess.Popen([program], cwd=cwd, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    opened = set()
    deadline = time.monotonic() + 60
    try:
        while not opened and time.monotonic() < deadline and proc.poll() is None:
            if not select.select([fd], [], [], 0.5)[0]:
                continue
            data = os.read(fd, 65536)
            at = 0
            while at < len(data):
                wd, _, _, length = struct.unpack_from("iIII", data, at)
                if data[at + 16:at + 16 + length].rstrip(b"\0") == b"gift.txt":
                    opened.add(watches[wd])
                at += 16 + length
    finally:
        proc.kill()
        proc.wait()
        os.close(fd)
    return opened


def main():
    cmake, build = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="zentavo-install-") as prefix:
        subprocess.run([cmake, "--install", build, "--prefix", prefix], check=True,
                       stdout=subprocess.DEVNULL)
        program_dir = os.path.join(prefix, "lib", "zentavo")
        link = os.path.join(prefix, "bin", "zentavo")
        if os.readlink(link) != "../lib/zentavo/zentavo":
            sys.exit(f"bin/zentavo points at {os.readlink(link)}")
        for name in ("zentavo", "gift.txt", "Atom1.gif"):
            if not os.path.isfile(os.path.join(program_dir, name)):
                sys.exit(f"lib/zentavo/{name} is missing")

        # Started from elsewhere, so neither the working folder nor the symlink's folder helps.
        if opened_in(link, [program_dir], tempfile.gettempdir()) != {program_dir}:
            sys.exit("started through bin/zentavo, the program never opened lib/zentavo/gift.txt")
        print("started through bin/zentavo, the program read lib/zentavo/gift.txt")

        # "尾牙" in Big5: not UTF-8, so the folder's name cannot be decoded here.
        big5 = os.path.join(prefix.encode(), b"\xa7\xc0\xaa\xaa")
        os.mkdir(big5)
        for name in ("zentavo", "gift.txt", "Atom1.gif"):
            shutil.copy2(os.path.join(program_dir, name), os.path.join(big5, name.encode()))
        elsewhere = os.path.join(prefix, "elsewhere")
        os.mkdir(elsewhere)
        with open(os.path.join(elsewhere, "gift.txt"), "w", encoding="utf-8") as f:
            f.write("去年的獎品 31\n")
        seen = opened_in(os.path.join(big5, b"zentavo"), [big5, elsewhere], elsewhere)
        if seen != {big5}:
            sys.exit("started from a folder named in Big5, the program opened gift.txt in "
                     f"{[os.fsdecode(f) for f in seen] or 'no folder'}, not in its own")
    print("started from a folder named in Big5, the program read its own gift.txt")


if __name__ == "__main__":
    main()
