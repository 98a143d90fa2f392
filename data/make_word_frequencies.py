#!/usr/bin/env python3
"""Builds data/word_frequencies.txt: how often each word of data/words.dic occurs in English text.

The text read is Peter Norvig's big.txt (about a million words: Project Gutenberg books and
lists of common words), the file the committed table was made from. Words are runs of the
letters a to z and apostrophes inside them, lower-cased; a list entry's count is how often it
occurs so. The table gives each entry a frequency class, 0 for an entry the text never holds,
else 1 + floor(log2(count)), at most 15: one letter per entry, 'a' + class.

    python3 data/make_word_frequencies.py ../shared/bench/texts/big.txt

Format: one letter per table entry of words.dic (every line of two or more characters, in list
order, as the engine numbers them), 64 letters a line, lines ended by LF. The library embeds the
file as it stands and reads it in place. Needs only the Python 3 standard library. Same text and
word list, same bytes.
"""

import argparse
import collections
import math
import os
import re
import sys

sys.dont_write_bytecode = True
import make_word_levels as word_levels  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUTPUT = os.path.join(HERE, "word_frequencies.txt")
LETTERS_PER_LINE = 64
HIGHEST_CLASS = 15
WORD = re.compile(rb"[a-z]+(?:'[a-z]+)*")


def frequency_class(count):
    return 0 if count == 0 else min(HIGHEST_CLASS, 1 + int(math.log2(count)))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("texts", nargs="+", help="the English texts to count words in")
    parser.add_argument("--words", default=word_levels.DEFAULT_WORDS)
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args(argv)

    counts = collections.Counter()
    for path in args.texts:
        with open(path, "rb") as f:
            counts.update(WORD.findall(f.read().lower()))
    with open(args.words, "rb") as f:
        entries = word_levels.table_entries(f.read())
    letters = "".join(chr(ord("a") + frequency_class(counts[entry])) for entry in entries)
    lines = [letters[at:at + LETTERS_PER_LINE] for at in range(0, len(letters), LETTERS_PER_LINE)]
    with open(args.output, "wb") as f:
        f.write("".join(line + "\n" for line in lines).encode("ascii"))

    seen = sum(1 for letter in letters if letter != "a")
    print(f"{args.output}: {len(letters)} entries, {seen} seen in the texts")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
