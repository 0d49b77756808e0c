#!/usr/bin/env python3
"""Checks that every cross-folder include under src/dom follows the layer table.

The table is the one in README.md under "### Layers": each row names a folder
of src/dom in its first column and, in its last column, the folders its files
may include (a dash for none).  A folder may always include itself; the
umbrella header src/dom/dom.h may include anything.

Prints one line per pair of folders with the number of includes between them
(--list prints every include instead), then each include the table does not
allow, and exits 1 when there is one.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SRC = os.path.join(ROOT, "src", "dom")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([a-z]+)/[^"]+"', re.M)


def read_table():
    """The allowed includes per folder, from the README's layer table."""
    text = open(os.path.join(ROOT, "README.md"), encoding="utf-8").read()
    start = text.find("### Layers")
    if start < 0:
        sys.exit("check-layers: README.md has no '### Layers' section")
    allowed = {}
    for line in text[start:].splitlines()[1:]:
        if line.startswith("#"):
            break
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 3 or not cells[0].startswith("`"):
            continue
        uses = set(re.findall(r"`?([a-z]+)/?`?", cells[-1])) if cells[-1] not in ("", "-", "—") else set()
        for folder in re.findall(r"`([a-z]+)/`", cells[0]):
            allowed[folder] = uses
    if not allowed:
        sys.exit("check-layers: the layer table in README.md is empty")
    return allowed


def main():
    allowed = read_table()
    listing = "--list" in sys.argv
    counts = {}
    bad = []
    for folder in sorted(os.listdir(SRC)):
        path = os.path.join(SRC, folder)
        if not os.path.isdir(path):
            continue
        if folder not in allowed:
            bad.append(f"src/dom/{folder}/: folder missing from the layer table")
            continue
        for name in sorted(os.listdir(path)):
            if not name.endswith((".h", ".cpp")):
                continue
            text = open(os.path.join(path, name), encoding="utf-8", errors="replace").read()
            for target in INCLUDE.findall(text):
                if target == folder or not os.path.isdir(os.path.join(SRC, target)):
                    continue
                where = f"src/dom/{folder}/{name} -> {target}/"
                if listing:
                    print(where)
                counts[(folder, target)] = counts.get((folder, target), 0) + 1
                if target not in allowed[folder]:
                    bad.append(f"{where}: {folder}/ may not include {target}/")
    if not listing:
        for (folder, target), n in sorted(counts.items()):
            print(f"{folder}/ -> {target}/: {n}")
    for line in bad:
        print("not allowed:", line)
    print(f"check-layers: {sum(counts.values())} cross-folder includes, {len(bad)} not allowed")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
