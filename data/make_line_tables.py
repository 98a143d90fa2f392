#!/usr/bin/env python3
"""Builds the table a word list built into the front ends is looked up in, at build time.

The lists (data/name_words.txt, data/code_words.txt, data/extra_words.txt) are texts of sorted
lines, each an entry and optionally a blank and its data, in sections opened by a line `=NAME` (a
list without one is a single section named ""). The front ends ask them for nearly every text, so
the table of where each entry's lines start is made here rather than at each run's start
(frontend/session/line_table.h): an open-addressed hash table of 32-bit slots, a power of two and
more than twice the entries, each 0 (empty) or the place of the first line of one entry in the
list's text, its byte offset shifted left by 8 and its entry's length in the low byte. The key
is the section's name, a line feed and the entry in small letters; it is hashed with FNV-1a (32
bits) and goes to the slot the hash picks or the next free one after it, in the order of the
text. Little-endian. Same input, same bytes.

    python3 data/make_line_tables.py --list data/code_words.txt --output build/code_words.table
"""

import argparse
import struct
import sys

LONGEST = 64  # no entry is longer (sorted_word_list.cc asks no longer word)


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def entries(text):
    """(section, key, offset) of the first line of each entry of each section."""
    section = b""
    seen = set()
    at = 0
    while at < len(text):
        end = text.find(b"\n", at)
        end = len(text) if end < 0 else end
        line = text[at:end]
        if line.startswith(b"="):
            section = line[1:]
        elif line:
            key = line.split(b" ", 1)[0].lower()
            if not 0 < len(key) <= LONGEST:
                sys.exit(f"an entry of {len(key)} bytes at byte {at}")
            if (section, key) not in seen:
                seen.add((section, key))
                yield section, key, at
        at = end + 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--list", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    text = open(args.list, "rb").read()
    if len(text) >= 1 << 24:
        sys.exit("the list is too long for 24-bit offsets")
    found = list(entries(text))
    size = 1
    while size < 2 * len(found) + 1:
        size *= 2
    slots = [0] * size
    for section, key, offset in found:
        slot = fnv1a(section + b"\n" + key) & (size - 1)
        while slots[slot] != 0:
            slot = (slot + 1) & (size - 1)
        slots[slot] = offset << 8 | len(key)
    with open(args.output, "wb") as out:
        out.write(struct.pack("<%dI" % size, *slots))


if __name__ == "__main__":
    main()
