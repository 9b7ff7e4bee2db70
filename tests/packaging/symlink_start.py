#!/usr/bin/env python3
"""Installs the build into a scratch prefix and starts it through bin/zentavo. The program
must read the gift.txt of lib/zentavo/, where it really lies, not look beside the symlink.

Usage: symlink_start.py CMAKE BUILD-DIR"""
import ctypes
import os
import select
import struct
import subprocess
import sys
import tempfile
import time

IN_OPEN = 0x20


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

        libc = ctypes.CDLL(None, use_errno=True)
        fd = libc.inotify_init1(os.O_CLOEXEC | os.O_NONBLOCK)
        if fd < 0 or libc.inotify_add_watch(fd, program_dir.encode(), IN_OPEN) < 0:
            sys.exit(f"inotify: {os.strerror(ctypes.get_errno())}")

        env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        # Started from elsewhere, so neither the working folder nor the symlink's folder helps.
        proc = subprocess.Popen([link], cwd=tempfile.gettempdir(), env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        opened = False
        deadline = time.monotonic() + 60
        try:
            while not opened and time.monotonic() < deadline and proc.poll() is None:
                if not select.select([fd], [], [], 0.5)[0]:
                    continue
                data = os.read(fd, 65536)
                at = 0
                while at < len(data):
                    _, _, _, length = struct.unpack_from("iIII", data, at)
                    name = data[at + 16:at + 16 + length].rstrip(b"\0")
                    opened |= name == b"gift.txt"
                    at += 16 + length
        finally:
            proc.kill()
            proc.wait()
            os.close(fd)
        if not opened:
            sys.exit("started through bin/zentavo, the program never opened lib/zentavo/gift.txt"
                     f" (exit status {proc.returncode})")
    print("started through bin/zentavo, the program read lib/zentavo/gift.txt")


if __name__ == "__main__":
    main()
