#!/usr/bin/env python3
"""Compares two IFC files line by line, GlobalIds aside (and instance keys
with --ignore-keys): two runs of the computation give new instances fresh
GlobalIds, and may number them differently.

Exit status 0 when the files match, 1 with the first differing lines when
they do not."""
import argparse
import re
import sys

GLOBAL_ID = re.compile(r"'[0-9A-Za-z_$]{22}'")
KEY = re.compile(r"#\d+")


def normalised(path, ignore_keys):
    with open(path, encoding="latin-1", newline="") as f:
        for line in f:
            line = GLOBAL_ID.sub("'<GlobalId>'", line)
            if ignore_keys:
                line = KEY.sub("#<key>", line)
            yield line


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("first")
    parser.add_argument("second")
    parser.add_argument("--ignore-keys", action="store_true")
    parser.add_argument("--show", type=int, default=5, help="differing lines to show")
    args = parser.parse_args()

    differences = 0
    lines = 0
    first = normalised(args.first, args.ignore_keys)
    second = normalised(args.second, args.ignore_keys)
    while True:
        a = next(first, None)
        b = next(second, None)
        if a is None and b is None:
            break
        lines += 1
        if a != b:
            differences += 1
            if differences <= args.show:
                print(f"line {lines}:\n  < {a!r}\n  > {b!r}")
    if differences:
        print(f"{differences} of {lines} lines differ")
        return 1
    print(f"{lines} lines match")
    return 0


if __name__ == "__main__":
    sys.exit(main())
