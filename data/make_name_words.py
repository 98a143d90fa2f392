#!/usr/bin/env python3
"""Builds data/name_words.txt: the entries of the embedded list (data/words.dic) that SCOWL
writes only with capitals, that is names (`thant` for U Thant, `ines`, `linux`).

The embedded list is in lower case, so the word check accepts `thant` as readily as `Thant`.
The front ends flag such a word when it is written in small letters only (the word rule
`names`, frontend/session/word_rules.h): in running text, `thant` is far more often a slip for `than`
than the name. An entry is a name when none of its forms in SCOWL's `english` and `american`
lists of any size is in lower case: `john` and `english` are not names here, since SCOWL also
has `john` and `english`.

    apt-get install scowl
    python3 data/make_name_words.py

One entry a line (LF), lower case, sorted in byte order, so that the front end can search the
file as it stands. Same input, same bytes.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_SCOWL_DIR = "/usr/share/dict/scowl"
DEFAULT_OUTPUT = os.path.join(HERE, "name_words.txt")
EMBEDDED_LIST = os.path.join(HERE, "words.dic")
SPELLINGS = ("english", "american")


def read_text(path):
    with open(path, "rb") as f:
        raw = f.read()
    try:
        return raw.decode("utf-8")
    except UnicodeDecodeError:
        return raw.decode("iso-8859-1")


def lower_case_forms(scowl_dir):
    """Every lower-cased SCOWL word mapped to whether SCOWL also writes it in lower case."""
    in_lower_case = {}
    for name in sorted(os.listdir(scowl_dir)):
        if name.split("-", 1)[0] not in SPELLINGS:
            continue
        for word in read_text(os.path.join(scowl_dir, name)).split():
            key = word.lower()
            in_lower_case[key] = in_lower_case.get(key, False) or word == key
    return in_lower_case


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--scowl", default=DEFAULT_SCOWL_DIR, help="SCOWL's final/ folder")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args(argv)
    if not os.path.isdir(args.scowl):
        sys.exit(f"no SCOWL lists in {args.scowl} (apt-get install scowl)")
    forms = lower_case_forms(args.scowl)
    with open(EMBEDDED_LIST, "rb") as f:
        entries = f.read().rstrip(b"\0").split(b"\r\n")
    names = sorted(entry for entry in entries
                   if entry.isascii() and forms.get(entry.decode("ascii")) is False)
    with open(args.output, "wb") as f:
        f.write(b"".join(name + b"\n" for name in names))
    print(f"{len(names)} names of {len(entries)} entries written to {args.output}")


if __name__ == "__main__":
    main(sys.argv[1:])
