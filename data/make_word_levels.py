#!/usr/bin/env python3
"""Builds data/word_levels.txt: how common each word of data/words.dic is, from SCOWL.

A word's level is the smallest SCOWL size whose lists hold it (10 for the most common words,
then 20, 35, 40, 50, 55; 60 and above only for the few words the list borrowed from larger
sizes). The lists read are those make_word_list.py builds the word list from: the same parts
and spellings, lower-cased and filtered the same way, so every entry of the list has a level.

    python3 data/make_word_levels.py

Format: one digit per table entry of words.dic (every line of two or more characters, in list
order, as the engine numbers them), 64 digits a line, lines ended by LF. Digit d stands for
SCOWL size SCOWL_SIZES[d]: 0 = 10, 1 = 20, 2 = 35, 3 = 40, 4 = 50, 5 = 55, 6 = 60, 7 = 70,
8 = 80, 9 = 95. The library embeds the file as it stands and reads it in place.

Needs only the Python 3 standard library and Debian's scowl package (apt-get install scowl).
Same SCOWL files and word list, same bytes.
"""

import argparse
import collections
import os
import sys

# The word list's script is read as a module; leave no __pycache__ beside the data.
sys.dont_write_bytecode = True
import make_word_list as word_list  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_WORDS = os.path.join(HERE, "words.dic")
DEFAULT_OUTPUT = os.path.join(HERE, "word_levels.txt")
DIGITS_PER_LINE = 64


def table_entries(data):
    """The entries of a words.dic image in the engine's order: lines of two or more bytes."""
    body = data[:-len(word_list.TERMINATOR)]
    return [entry for entry in body.split(word_list.LINE_SEPARATOR) if len(entry) >= 2]


def smallest_sizes(scowl_dir):
    """Returns {entry: index into SCOWL_SIZES of the smallest size that holds it}."""
    smallest = {}
    for size_index, size in enumerate(word_list.SCOWL_SIZES):
        for _, entries in word_list.scowl_files(scowl_dir, [size]):
            for entry in entries:
                smallest.setdefault(entry, size_index)
    return smallest


def encode_levels(digits):
    lines = [digits[at:at + DIGITS_PER_LINE] for at in range(0, len(digits), DIGITS_PER_LINE)]
    return "".join(line + "\n" for line in lines).encode("ascii")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scowl-dir", default=word_list.DEFAULT_SCOWL_DIR)
    parser.add_argument("--words", default=DEFAULT_WORDS, help="the word list (default words.dic)")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args(argv)

    with open(args.words, "rb") as f:
        entries = table_entries(f.read())
    smallest = smallest_sizes(args.scowl_dir)
    missing = [entry for entry in entries if entry not in smallest]
    if missing:
        print(f"make_word_levels: {len(missing)} entries of {args.words} are in no SCOWL list, "
              f"the first {word_list.describe(missing[0])}", file=sys.stderr)
        return 1
    digits = "".join(str(smallest[entry]) for entry in entries)
    with open(args.output, "wb") as f:
        f.write(encode_levels(digits))

    counts = collections.Counter(word_list.SCOWL_SIZES[int(d)] for d in digits)
    print(f"{args.output}: {len(digits)} levels; " +
          ", ".join(f"size {size}: {counts[size]}" for size in sorted(counts)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
