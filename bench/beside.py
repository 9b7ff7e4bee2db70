#!/usr/bin/env python3
"""Sets the start-up and spin rows of the Windows build under Wine beside the Linux ones
of the same bench run, as ratios.

Usage: beside.py LINUX-TABLE WINE-TABLE"""
import re
import sys


def rows(path):
    """The first cell of each table row -> its other cells."""
    found = {}
    for line in open(path, encoding="utf-8"):
        if line.startswith("| ") and not line.startswith("|---"):
            cells = [c.strip() for c in line.strip().strip("|").split("|")]
            found.setdefault(cells[0], cells[1:])
    return found


def number(cell):
    m = re.match(r"-?[0-9.]+", cell or "")
    return float(m.group()) if m else None


# (label, row key, column) of each figure compared.
FIGURES = [("start-up to first paint, board, ms", "start-up to first paint, ms", 0),
           ("start-up to first paint, bare window, ms", "start-up to first paint, ms", 1),
           ("peak memory after start-up, board, MiB", "peak memory after start-up, MiB", 0)]
FIGURES += [(f"spin of {n} steps at the design size, ms", str(n), 1) for n in range(198, 203)]
FIGURES += [(f"tick p99 error in the spin of {n}, ms", str(n), 3) for n in range(198, 203)]
FIGURES += [("one light step at the design size, median ms", "median ms", 0),
            ("one light step at the design size, p99 ms", "p99 ms", 0)]


def main():
    linux, wine = rows(sys.argv[1]), rows(sys.argv[2])
    print("\n**Under Wine beside Linux** (the Windows build of the same bench under Wine 8 on the "
          "same X server, right after the Linux figures above; no target yet)\n")
    print("| figure | Linux | Wine | Wine / Linux |\n|---|---|---|---|")
    for label, key, column in FIGURES:
        a = number(linux.get(key, [None] * 9)[column])
        b = number(wine.get(key, [None] * 9)[column])
        ratio = f"{b / a:.2f}" if a and b is not None else ""
        print(f"| {label} | {'' if a is None else a} | {'' if b is None else b} | {ratio} |")


if __name__ == "__main__":
    main()
