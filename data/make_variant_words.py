#!/usr/bin/env python3
"""Builds the word lists of the English variants from SCOWL's variant lists, at build time.

The main and extra word lists are American (SCOWL's `english` and `american` parts). For each
other variant the front ends need two lists (frontend/session/english_variant.h), written as
sections of one file, each opened by a line `=VARIANT accepted` or `=VARIANT flagged`:

- accepted: its own spellings, which the American lists lack (`colour`, `centre`,
  `organisation`): SCOWL's lists of that spelling and of its first level of variants, all five
  parts, sizes up to 60 as the extra list;
- flagged: the American spellings that it writes otherwise (`color`, `center`):
  SCOWL's `american-words` up to size 60 that the variant's own lists lack, each with the
  variant's spellings of the same word (`color colour`), the ones that differ only where the
  variants' spelling differs (-our/-or, -ise/-ize, -yse/-yze, -tre/-ter, doubled l, -ogue/-og,
  -ence/-ense, ae and oe, -mme, e before -ing), for the front ends to suggest first.

en-GB takes both the -ise and the -ize (Oxford) spellings; `en` takes every variant's spellings
and flags none. Lines are sorted by the lower-cased entry, then by the entry, in byte order, so
that the front ends can search the files as they stand. Same input, same bytes.

    apt-get install scowl
    python3 data/make_variant_words.py --output build/variant_words.txt
"""

import argparse
import os
import re
import sys

DEFAULT_SCOWL_DIR = "/usr/share/dict/scowl"
SIZES = (10, 20, 35, 40, 50, 55, 60)
PARTS = ("words", "contractions", "upper", "proper-names", "abbreviations")
VARIANTS = {
    "en-GB": ("british", "british_z", "british_variant_1"),
    "en-CA": ("canadian", "canadian_variant_1"),
    "en-AU": ("australian", "australian_variant_1"),
}
ENTRY = re.compile(r"[A-Za-z]+(?:'[A-Za-z]+)*")

# Where American and the other variants spell a word apart, each side brought to one form.
SKELETON = [
    (re.compile(r"is(e|ed|es|ing|er|ers|ation|ations|able)\b"), r"iz\1"),
    (re.compile(r"ys(e|ed|es|ing|er|ers)\b"), r"yz\1"),
    (re.compile(r"our"), "or"),
    (re.compile(r"tre(s|d)?\b"), r"ter\1"),
    (re.compile(r"ll"), "l"),
    (re.compile(r"ogue(s)?\b"), r"og\1"),
    (re.compile(r"ence(s|d)?\b"), r"ense\1"),
    (re.compile(r"ae|oe"), "e"),
    (re.compile(r"mme(s)?\b"), r"m\1"),
    (re.compile(r"eing\b"), "ing"),
]


def skeleton(word):
    for pattern, replacement in SKELETON:
        word = pattern.sub(replacement, word)
    return word


def read_entries(scowl_dir, spelling, parts):
    entries = set()
    for size in SIZES:
        for part in parts:
            path = os.path.join(scowl_dir, f"{spelling}-{part}.{size}")
            if not os.path.exists(path):
                continue
            with open(path, "rb") as f:
                text = f.read().decode("iso-8859-1")
            entries.update(w for w in (line.strip() for line in text.splitlines())
                           if ENTRY.fullmatch(w))
    return entries


def sorted_lines(entries):
    # A lower-case entry accepts every case; its other-case twins add nothing.
    entries = {e for e in entries if e == e.lower() or e.lower() not in entries}
    return sorted(entries, key=lambda e: (e.lower(), e))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--scowl-dir", default=DEFAULT_SCOWL_DIR)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    american = {w.lower() for w in read_entries(args.scowl_dir, "american", ("words",))}
    if not american:
        raise SystemExit(f"no SCOWL lists in {args.scowl_dir} (apt-get install scowl)")
    sections = []
    every = set()
    for variant, spellings in VARIANTS.items():
        accepted = set()
        for spelling in spellings:
            accepted |= read_entries(args.scowl_dir, spelling, PARTS)
        every |= accepted
        own = {w.lower() for w in accepted}
        by_skeleton = {}
        for word in own:
            by_skeleton.setdefault(skeleton(word), []).append(word)
        flagged = []
        for word in sorted(american - own):
            counterparts = sorted(w for w in by_skeleton.get(skeleton(word), []) if w != word)
            flagged.append(word + (" " + ",".join(counterparts) if counterparts else ""))
        sections += [(f"{variant} accepted", sorted_lines(accepted)), (f"{variant} flagged", flagged)]
        paired = sum(1 for line in flagged if " " in line)
        print(f"{variant}: {len(accepted)} accepted, {len(flagged)} flagged ({paired} with the "
              "variant's spelling)", file=sys.stderr)
    sections.append(("en accepted", sorted_lines(every)))
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        for name, lines in sections:
            f.write(f"={name}\n" + "".join(line + "\n" for line in lines))


if __name__ == "__main__":
    main()
