#!/usr/bin/env python3
"""Builds data/words.dic, the English word list that the component embeds, from SCOWL.

The engine embeds the file's bytes as they are and trusts them, so this script is also the
format's guard: every rule the engine relies on is written down once, in check_word_list(), and
the generator runs that check on its own output before writing anything.

    python3 data/make_word_list.py                 # regenerate data/words.dic
    python3 data/make_word_list.py --check FILE    # verify an existing list

Needs only the Python 3 standard library and Debian's scowl package (apt-get install scowl).
The output depends on nothing but the SCOWL files: same input, same bytes.
"""

import argparse
import os
import sys

DEFAULT_SCOWL_DIR = "/usr/share/dict/scowl"
DEFAULT_OUTPUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "words.dic")

# SCOWL files are named <spelling>-<part>.<size>; a list "of size N" is the union of every file
# whose size is N or less. The "english" files hold what all spellings share, the "american"
# files the American forms of words that are spelt differently elsewhere.
SPELLINGS = ("english", "american")
# "upper" holds capitalised common words (days, months, nationalities, languages); without it
# "monday" or "french" would be flagged in ordinary text.
PARTS = ("words", "contractions", "upper", "proper-names", "abbreviations")
SCOWL_SIZES = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
# Size 55 lands near 100,000 entries and still leaves out the rare and archaic words of the
# larger sizes, which would only crowd the suggestion windows (data/README.md has the numbers).
CHOSEN_SIZE = 55

# Every byte an entry may hold. Lower-casing happens first, so upper-case letters never reach
# this test; 0xE9 is Windows-1252's "é" (café, résumé).
ALLOWED_BYTES = frozenset(b"abcdefghijklmnopqrstuvwxyz0123456789'-.&+/") | {0xE9}
LINE_SEPARATOR = b"\r\n"
# The resource loader splits at CR LF only, so the last entry runs to the end of the data and
# keeps these two bytes: that entry can never match a looked-up word.
TERMINATOR = b"\0\0"

# Words the engine's behaviour is demonstrated and tested with. Any that the chosen size lacks is
# taken from the smallest larger SCOWL size that has it; a word no SCOWL list has is an error.
REQUIRED_WORDS = ("office", "offices", "offish", "offset", "oafish", "thank", "you", "the",
                  "receive", "house", "hello", "dogs", "john", "zydeco", "zygote", "zymurgy",
                  "café")

LETTERS = "abcdefghijklmnopqrstuvwxyz"

# The suggestion search scores one window of the sorted list: from the first entry that starts
# with the input's first letter followed by "a" to the last entry that starts with the next
# letter followed by "a". The prefix index reads a missing two-letter block as index 0, so a
# missing "xa" block either empties every window that should end there (no "ua" entry would leave
# every word starting with "t" without a single candidate) or stretches the window that should
# start there back to the head of the list. Hence one "xa" entry per letter is mandatory, and a
# letter whose block the chosen size lacks (SCOWL's ordinary words have no "ua" word) borrows the
# first such entry from a larger size.
REQUIRED_BLOCKS = tuple(letter + "a" for letter in LETTERS)

# "About 100,000 entries": the engine's tables are sized from the list itself, but a count far
# from this range means the selection above went wrong.
ENTRY_COUNT_RANGE = (90_000, 115_000)


class WordListError(Exception):
    """A rule of the word list format is broken, or the SCOWL input cannot serve."""


def read_scowl_file(path):
    """Returns the lines of one SCOWL file as text.

    Upstream SCOWL ships ISO-8859-1 files, but Debian converts them to UTF-8 (the installed
    english-words.20 spells café as the UTF-8 bytes C3 A9). Decoding UTF-8 strictly and falling
    back to ISO-8859-1 reads both correctly: a Latin-1 accented letter is almost never followed by
    the continuation bytes that strict UTF-8 demands, and pure ASCII reads the same either way.
    """
    with open(path, "rb") as f:
        raw = f.read()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        text = raw.decode("iso-8859-1")
    return text.splitlines()


def to_entry(line):
    """Returns the Windows-1252 form of one SCOWL line as a list entry, or None to drop it."""
    word = line.strip().lower()
    if not word:
        return None
    try:
        encoded = word.encode("cp1252")
    except UnicodeEncodeError:
        return None
    if not all(byte in ALLOWED_BYTES for byte in encoded):
        return None
    return encoded


def scowl_path(scowl_dir, spelling, part, size):
    return os.path.join(scowl_dir, f"{spelling}-{part}.{size}")


def read_entries(path):
    entries = set()
    for line in read_scowl_file(path):
        entry = to_entry(line)
        if entry is not None:
            entries.add(entry)
    return entries


def scowl_files(scowl_dir, sizes):
    """Yields (path, entries) for every existing file of PARTS in SPELLINGS with one of sizes.

    The order is fixed (size, then part, then spelling) so that borrowing from larger sizes is
    deterministic and prefers the most common words and the ordinary "words" part.
    """
    for size in sizes:
        for part in PARTS:
            for spelling in SPELLINGS:
                path = scowl_path(scowl_dir, spelling, part, size)
                if os.path.exists(path):
                    yield path, read_entries(path)


def select_entries(scowl_dir):
    """Returns (entries, borrowed): the chosen list and, for each borrowed entry, its file."""
    chosen_sizes = [size for size in SCOWL_SIZES if size <= CHOSEN_SIZE]
    larger_sizes = [size for size in SCOWL_SIZES if size > CHOSEN_SIZE]

    entries = set()
    files_read = 0
    for _, file_entries in scowl_files(scowl_dir, chosen_sizes):
        entries |= file_entries
        files_read += 1
    if files_read == 0:
        raise WordListError(f"no SCOWL word lists in {scowl_dir} (apt-get install scowl)")

    borrowed = {}
    missing_words = {word.encode("cp1252") for word in REQUIRED_WORDS} - entries
    missing_blocks = {block.encode("ascii") for block in REQUIRED_BLOCKS
                      if not any(entry.startswith(block.encode("ascii")) for entry in entries)}
    for path, file_entries in scowl_files(scowl_dir, larger_sizes):
        if not missing_words and not missing_blocks:
            break
        for word in sorted(missing_words & file_entries):
            borrowed[word] = path
            missing_words.discard(word)
        for block in sorted(missing_blocks):
            candidates = sorted(entry for entry in file_entries if entry.startswith(block))
            if candidates:
                borrowed[candidates[0]] = path
                missing_blocks.discard(block)
    if missing_words:
        raise WordListError("no SCOWL list holds the required word(s) " +
                            ", ".join(sorted(w.decode("cp1252") for w in missing_words)))
    if missing_blocks:
        raise WordListError("no SCOWL list holds an entry starting with " +
                            ", ".join(sorted(b.decode("ascii") for b in missing_blocks)))

    entries |= borrowed.keys()
    # The one-letter lines carry no word for the engine (it accepts any single character without a
    # lookup and skips these lines when loading), but they belong to the format.
    entries |= {letter.encode("ascii") for letter in LETTERS}
    return entries, borrowed


def encode_word_list(entries):
    return LINE_SEPARATOR.join(sorted(entries)) + TERMINATOR


def describe(entry):
    return repr(entry.decode("cp1252"))


def check_word_list(data):
    """Raises WordListError naming the first broken rule of the format; returns the entries."""
    if not data.endswith(TERMINATOR):
        raise WordListError("the data does not end with two NUL bytes")
    body = data[:-len(TERMINATOR)]
    if not body:
        raise WordListError("the list holds no entry")
    if body.endswith(b"\0"):
        raise WordListError("more than two NUL bytes at the end")
    if body.endswith(LINE_SEPARATOR):
        raise WordListError("a CR LF stands between the last entry and the two NUL bytes")

    entries = body.split(LINE_SEPARATOR)
    previous = None
    for number, entry in enumerate(entries, start=1):
        if not entry:
            raise WordListError(f"line {number} is empty")
        for byte in entry:
            if byte not in ALLOWED_BYTES:
                # Covers a BOM, upper case, a lone CR or LF, blanks and stray NUL bytes alike.
                raise WordListError(
                    f"line {number} ({entry!r}) holds the byte 0x{byte:02X}, which is not allowed")
        if previous is not None and entry <= previous:
            what = "repeats" if entry == previous else "sorts before"
            raise WordListError(f"line {number} ({describe(entry)}) {what} the line above it "
                                f"({describe(previous)}); entries must ascend in byte order")
        previous = entry

    present = set(entries)
    for letter in LETTERS:
        if letter.encode("ascii") not in present:
            raise WordListError(f"the one-letter line {letter!r} is missing")
    for word in REQUIRED_WORDS:
        encoded = word.encode("cp1252")
        if encoded not in present:
            raise WordListError(f"the required word {word!r} is missing")
        if encoded == entries[-1]:
            raise WordListError(f"the required word {word!r} is the last entry, which the NUL "
                                "bytes make unmatchable")
    for block in REQUIRED_BLOCKS:
        encoded = block.encode("ascii")
        if not any(entry.startswith(encoded) for entry in entries):
            raise WordListError(f"no entry starts with {block!r}, so the suggestion windows that "
                                "meet at that block break")

    low, high = ENTRY_COUNT_RANGE
    if not low <= len(entries) <= high:
        raise WordListError(f"{len(entries)} entries; expected between {low} and {high}")
    return entries


def first_entries_of_blocks(entries):
    """Returns {block: first entry of that block} for REQUIRED_BLOCKS, in list order."""
    firsts = {}
    for entry in entries:
        block = entry[:2].decode("cp1252")
        if block in REQUIRED_BLOCKS and block not in firsts:
            firsts[block] = entry.decode("cp1252")
    return firsts


def check_file(path):
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as error:
        print(f"{path}: {error.strerror}", file=sys.stderr)
        return 2
    try:
        entries = check_word_list(data)
    except WordListError as error:
        print(f"{path}: {error}", file=sys.stderr)
        return 1
    print(f"{path}: {len(entries)} entries, all rules hold")
    return 0


def generate(scowl_dir, output):
    try:
        entries, borrowed = select_entries(scowl_dir)
        data = encode_word_list(entries)
        # Never write a list that the engine would misread.
        checked = check_word_list(data)
    except WordListError as error:
        print(f"make_word_list: {error}", file=sys.stderr)
        return 1
    with open(output, "wb") as f:
        f.write(data)
    print(f"{output}: {len(checked)} entries ({len(data)} bytes), SCOWL size {CHOSEN_SIZE}")
    for entry, path in sorted(borrowed.items()):
        print(f"  borrowed {describe(entry)} from {os.path.basename(path)}")
    firsts = first_entries_of_blocks(checked)
    print("  first entry of each letter's \"a\" block: " +
          ", ".join(firsts[block] for block in REQUIRED_BLOCKS))
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", metavar="FILE",
                        help="verify an existing word list instead of generating one")
    parser.add_argument("--scowl-dir", default=DEFAULT_SCOWL_DIR,
                        help=f"where the SCOWL lists are (default {DEFAULT_SCOWL_DIR})")
    parser.add_argument("--output", default=DEFAULT_OUTPUT,
                        help="where to write the list (default: words.dic beside this script)")
    args = parser.parse_args(argv)
    if args.check:
        return check_file(args.check)
    return generate(args.scowl_dir, args.output)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
