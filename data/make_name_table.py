#!/usr/bin/env python3
"""Builds the table the front ends look up the names of the word list in, at build time.

data/name_words.txt holds the names, one a line in byte order (frontend/session/name_words.h).
The rule `names` asks it about nearly every text, so the table it is looked up in is made here
rather than at each run's start: an open-addressed hash table of SLOTS 32-bit slots, each 0
(empty) or a line's place in the list's text, its start shifted left by 8 and its length in the
low byte; a line goes to the slot its FNV-1a hash (32 bits) picks, or the next free one after
it, in the order of the list. Little-endian, SLOTS * 4 bytes. Same input, same bytes.

    python3 data/make_name_table.py --names data/name_words.txt --output build/name_table.bin
"""

import argparse
import struct
import sys

SLOTS = 1 << 15  # more than twice the lines: short probes
LONGEST = 64  # longer lines are no names (name_words.cc asks no longer word)


def fnv1a(data):
    value = 2166136261
    for byte in data:
        value = ((value ^ byte) * 16777619) & 0xFFFFFFFF
    return value


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--names", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    text = open(args.names, "rb").read()
    if len(text) >= 1 << 24:
        sys.exit("the list is too long for 24-bit places")
    slots = [0] * SLOTS
    at = 0
    lines = 0
    while at < len(text):
        end = text.find(b"\n", at)
        end = len(text) if end < 0 else end
        if 0 < end - at <= LONGEST:
            slot = fnv1a(text[at:end]) & (SLOTS - 1)
            while slots[slot] != 0:
                slot = (slot + 1) & (SLOTS - 1)
            slots[slot] = at << 8 | (end - at)
            lines += 1
        at = end + 1
    if lines * 2 > SLOTS:
        sys.exit("too many lines for the table")
    with open(args.output, "wb") as out:
        out.write(struct.pack("<%dI" % SLOTS, *slots))


if __name__ == "__main__":
    main()
