#!/usr/bin/env python3
"""Builds data/extra_words.txt, the extra word list of the front ends, from SCOWL's larger
sizes and a list of software terms.

The front ends accept a word of running text that the embedded list lacks when this list has it
(frontend/session/extra_words.h); the library's own word check never reads it. It holds what the embedded
list (data/words.dic) does not already accept:

- SCOWL's `english` and `american` words, contractions, capitalised words, names and
  abbreviations of the sizes above 55 up to SIZE (60 by default: 70 takes in misspellings
  such as "objet"; data/README.md has the numbers);
- the software terms of npm's @cspell/dict-software-terms (MIT; data/COPYING.software-terms),
  from an unpacked package folder given with --software-terms.

    apt-get install scowl
    (cd /tmp && npm pack @cspell/dict-software-terms@5.4.9 && tar xzf cspell-dict-software-terms-5.4.9.tgz)
    python3 data/make_extra_words.py --software-terms /tmp/package

Only entries of ASCII letters and inner apostrophes are kept: a word with a digit is the digit
rule's, and the running-word rule never makes one word of a hyphenated or dotted entry. Each
entry keeps its letter case (a lower-case entry accepts any case, a capitalised one only its own
and ALL CAPS). Lines are sorted by the lower-cased entry, then by the entry, in byte order, so
that the front end can search the file as it stands. Same input, same bytes.
"""

import argparse
import gzip
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SCOWL_DIR = "/usr/share/dict/scowl"
DEFAULT_OUTPUT = os.path.join(HERE, "extra_words.txt")
EMBEDDED_LIST = os.path.join(HERE, "words.dic")

SPELLINGS = ("english", "american")
PARTS = ("words", "contractions", "upper", "proper-names", "abbreviations")
EMBEDDED_SIZE = 55
SCOWL_SIZES = (60, 70, 80, 95)

# The package's dictionaries that its own configuration turns on; the networking, POSIX and
# "alternative" lists are left out, as the package leaves them out.
SOFTWARE_TERM_FILES = ("softwareTerms.txt.gz", "coding-compound-terms.txt",
                       "computing-acronyms.txt", "software-tools.txt", "webServices.txt")

ENTRY = re.compile(r"[A-Za-z]+(?:'[A-Za-z]+)*")


def read_lines(path):
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as f:
        raw = f.read()
    try:
        return raw.decode("utf-8").splitlines()
    except UnicodeDecodeError:
        return raw.decode("iso-8859-1").splitlines()


def entries_of(lines):
    """The usable entries of a list: comments, blanks and other syntax dropped."""
    for line in lines:
        word = line.strip()
        if word and not word.startswith("#") and ENTRY.fullmatch(word):
            yield word


def scowl_entries(scowl_dir, largest):
    entries = set()
    for size in (s for s in SCOWL_SIZES if EMBEDDED_SIZE < s <= largest):
        for part in PARTS:
            for spelling in SPELLINGS:
                path = os.path.join(scowl_dir, f"{spelling}-{part}.{size}")
                if os.path.exists(path):
                    entries.update(entries_of(read_lines(path)))
    if not entries:
        raise SystemExit(f"no SCOWL lists of sizes 60 to {largest} in {scowl_dir} "
                         "(apt-get install scowl)")
    return entries


def software_entries(package_dir):
    entries = set()
    for name in SOFTWARE_TERM_FILES:
        entries.update(entries_of(read_lines(os.path.join(package_dir, "dict", name))))
    return entries


def embedded_words():
    with open(EMBEDDED_LIST, "rb") as f:
        return {line.decode("cp1252") for line in f.read().rstrip(b"\0").split(b"\r\n")}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scowl-dir", default=DEFAULT_SCOWL_DIR)
    parser.add_argument("--size", type=int, default=60, choices=(60, 70, 80, 95))
    parser.add_argument("--software-terms", required=True, metavar="PACKAGE_DIR")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args()

    embedded = embedded_words()
    entries = scowl_entries(args.scowl_dir, args.size) | software_entries(args.software_terms)
    # The embedded list takes any letter case, so an entry it holds in lower case adds nothing.
    entries = {e for e in entries if e.lower() not in embedded}
    # A lower-case entry accepts every case; its other-case twins add nothing.
    entries = {e for e in entries if e == e.lower() or e.lower() not in entries}
    lines = sorted(entries, key=lambda e: (e.lower(), e))
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write("".join(e + "\n" for e in lines))
    print(f"{len(lines)} entries, {os.path.getsize(args.output)} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
