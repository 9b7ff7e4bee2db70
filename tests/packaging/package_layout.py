#!/usr/bin/env python3
"""Makes the .deb and the portable .tar.gz into a scratch folder and checks what they hold:
the layout an installed copy needs, the prize list as a configuration file, the
dependencies, the desktop entry and the metadata. Needs no root.

Usage: package_layout.py CPACK CPACK-CONFIG"""
import glob
import os
import subprocess
import sys
import tarfile
import tempfile

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def deb_entries(deb):
    """Path -> (mode string, symlink target or None) from dpkg-deb -c."""
    entries = {}
    for line in run("dpkg-deb", "-c", deb).splitlines():
        fields = line.split(None, 5)
        mode, name = fields[0], fields[5]
        target = None
        if " -> " in name:
            name, target = name.split(" -> ", 1)
        entries[name.removeprefix("./").rstrip("/")] = (mode, target)
    return entries


def check_deb(deb):
    arch = run("dpkg", "--print-architecture").strip()
    check(os.path.basename(deb) == f"zentavo_1.0.0_{arch}.deb", f"package named {deb}")
    entries = deb_entries(deb)

    def regular(path, mode=None):
        got = entries.get(path)
        check(got is not None and got[0].startswith("-"), f"{path}: not a file in the package")
        if got and mode:
            check(got[0] == mode, f"{path}: mode {got[0]}, wanted {mode}")

    def link(path, target):
        got = entries.get(path)
        check(got is not None and got[0].startswith("l") and got[1] == target,
              f"{path}: wanted a symlink to {target}, got {got}")

    regular("usr/lib/zentavo/zentavo", "-rwxr-xr-x")
    regular("usr/lib/zentavo/Atom1.gif", "-rw-r--r--")
    link("usr/lib/zentavo/gift.txt", "/etc/zentavo/gift.txt")
    link("usr/bin/zentavo", "../lib/zentavo/zentavo")
    regular("etc/zentavo/gift.txt", "-rw-r--r--")
    regular("usr/share/applications/zentavo.desktop")
    for size in (16, 32, 48, 128, 256):
        regular(f"usr/share/icons/hicolor/{size}x{size}/apps/zentavo.png")
    regular("usr/share/metainfo/com.example.zentavo.metainfo.xml")
    regular("usr/share/man/man6/zentavo.6.gz")
    regular("usr/share/doc/zentavo/copyright")
    regular("usr/share/doc/zentavo/changelog.gz")
    # Nothing of the program's own beside the command, nor a portable README.
    stray = [p for p in entries if p.startswith("usr/bin/") and p != "usr/bin/zentavo"]
    stray += [p for p in entries if p.endswith("README.txt")]
    check(not stray, f"stray files: {stray}")

    with tempfile.TemporaryDirectory() as control:
        run("dpkg-deb", "-e", deb, control)
        with open(os.path.join(control, "conffiles")) as f:
            check(f.read().split() == ["/etc/zentavo/gift.txt"], "conffiles")
        # The desktop's own checkers, on the files as installed.
        root = os.path.join(control, "root")
        run("dpkg-deb", "-x", deb, root)
        share = os.path.join(root, "usr", "share")
        for checker in (["desktop-file-validate", f"{share}/applications/zentavo.desktop"],
                        ["appstreamcli", "validate", "--no-net", "--explain",
                         f"{share}/metainfo/com.example.zentavo.metainfo.xml"]):
            result = subprocess.run(checker, capture_output=True, text=True)
            check(result.returncode == 0,
                  f"{checker[0]}: {result.stdout.strip()} {result.stderr.strip()}")
    fields = {name: run("dpkg-deb", "-f", deb, name).strip()
              for name in ("Package", "Version", "Depends", "Section")}
    check(fields["Package"] == "zentavo" and fields["Version"] == "1.0.0", str(fields))
    depends = {d.split()[0] for d in fields["Depends"].split(", ")}
    # The Qt, workbook and C libraries come from the binary; the fonts are named by hand.
    for want in ("libc6", "libqt6core6", "libqt6gui6", "libqt6widgets6", "libxlsxwriter4",
                 "libminizip1", "fonts-arphic-uming",
                 "fonts-arphic-ukai", "fonts-dejavu-core", "fonts-cwtex-heib",
                 "qt6-translations-l10n"):
        check(want in depends, f"Depends lacks {want}: {fields['Depends']}")


def check_portable(archive):
    check(os.path.basename(archive) == "zentavo-1.0.0-portable.tar.gz", f"archive {archive}")
    with tarfile.open(archive) as tar:
        members = {m.name: m for m in tar.getmembers()}
    folder = "zentavo-1.0.0-portable"
    files = {n.removeprefix(folder + "/") for n, m in members.items() if not m.isdir()}
    check(files == {"zentavo", "gift.txt", "Atom1.gif", "README.txt",
                    "translations/qtbase_zh_TW.qm"}, f"portable holds {files}")
    program = members.get(folder + "/zentavo")
    check(program is not None and program.isfile() and program.mode & 0o111,
          "portable program is not an executable file")


def main():
    cpack, config = sys.argv[1:3]
    with tempfile.TemporaryDirectory(prefix="zentavo-packages-") as out:
        for generator in ("DEB", "TGZ"):
            subprocess.run([cpack, "--config", config, "-G", generator, "-B", out], cwd=out,
                           check=True,
                           stdout=subprocess.DEVNULL)
        debs = glob.glob(os.path.join(out, "packages", "*.deb"))
        archives = glob.glob(os.path.join(out, "packages", "*.tar.gz"))
        check(len(debs) == 1 and len(archives) == 1, f"packages made: {debs + archives}")
        if debs:
            check_deb(debs[0])
        if archives:
            check_portable(archives[0])
    for f in failures:
        print("FAIL:", f)
    if failures:
        sys.exit(1)
    print("package layout, conffiles and Depends as expected")


if __name__ == "__main__":
    main()
