#!/usr/bin/env python3
"""Fails when an #include runs against the layers (HACKING.md draws them).

A source folder may include its own headers, the public headers (lexivane/...) and the folders of
lower layers; two folders of one layer may not include each other. The tool, the Enchant provider
and the examples are clients of the installed library and include public headers only. Unit
tests (*_test.*), the shared test support, the fuzzers and the benchmarks sit above everything.

usage: tests/check_layers.py [SOURCE_DIR]
"""
import pathlib
import re
import sys

LAYERS = [
    {"platform"},
    {"engine", "zlibwrap"},
    {"suggest"},
    {"textcheck", "dialog"},
    {"api"},
    {"component", "qt"},
]
RANK = {folder: rank for rank, layer in enumerate(LAYERS) for folder in layer}
PUBLIC_ONLY = {"cli", "enchant", "examples", "include"}
ABOVE_ALL = {"tests", "bench"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)


def violations(root):
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".cc"} or "build" in path.relative_to(root).parts[:1]:
            continue
        relative = path.relative_to(root)
        folder = relative.parts[0]
        if folder in ABOVE_ALL or re.search(r"_test\.\w+$", path.name):
            continue
        for target in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            wanted = target.split("/")[0]
            if "/" not in target or wanted in {"lexivane", folder}:
                continue
            if folder in PUBLIC_ONLY:
                yield f"{relative}: includes {target}, but may include public headers only"
            elif folder in RANK and wanted in RANK and RANK[wanted] >= RANK[folder]:
                yield f"{relative}: includes {target}, which is not in a lower layer"
            elif folder in RANK and wanted not in RANK:
                yield f"{relative}: includes {target}, which belongs to no layer below it"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    found = list(violations(root))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the layers; see HACKING.md")
        return 1
    print("every include follows the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
