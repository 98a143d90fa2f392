#!/usr/bin/env python3
"""Builds data/slip_costs.inc: how unlikely each slip of one letter is, learned from misspellings.

The misspellings read are the typing ranking's tuning set (bench/README.md), as
`lexivane_suggestion_quality --tuning-set FILE` writes it: one "misspelling TAB intended word" a
line. Pairs of letters a to z alone (letter case ignored) that are one or two edits apart (an
optimal-string-alignment distance: insertions, deletions, substitutions, swaps of adjacent
letters) are aligned, and each edit counted: which letter was typed for which, which letter was
left out, which letter was put in. Farther pairs are left out: their alignment says little of
which slips were made.

Each slip's cost is -ln of its smoothed likelihood: a letter typed for a letter, or left out, per
time the intended word holds that letter; a letter put in, per letter of the intended words over
26. Costs of one kind are centred on their mean over the slips seen, so that 0 is a slip of the
usual likelihood, a negative cost a likelier one; the typing distance adds them, times a fitted
weight, to its costs for a slip of that kind (suggest/typing_distance.h).

    python3 data/make_slip_costs.py TUNING_SET_TSV

Format: a C++ initializer's elements, in hundredths of a nat: 26 rows of 26 for a letter typed
(column) for the intended letter (row), 0 where they are the same; then a row of 26 for each
letter left out; then a row of 26 for each letter put in; a to z each. Needs only the Python 3
standard library. Same tuning set, same bytes.
"""

import argparse
import collections
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUTPUT = os.path.join(HERE, "slip_costs.inc")
LETTERS = "abcdefghijklmnopqrstuvwxyz"
FARTHEST = 2      # edits between a pair that is counted
PSEUDOCOUNT = 0.5  # added to every count, so that a slip never seen is unlikely, not impossible


def distances(typed, word):
    """The table of optimal-string-alignment distances between the prefixes of both."""
    n, m = len(typed), len(word)
    d = [[0] * (m + 1) for _ in range(n + 1)]
    for i in range(n + 1):
        d[i][0] = i
    for j in range(m + 1):
        d[0][j] = j
    for i in range(1, n + 1):
        for j in range(1, m + 1):
            best = min(d[i - 1][j - 1] + (typed[i - 1] != word[j - 1]),
                       d[i - 1][j] + 1, d[i][j - 1] + 1)
            if i > 1 and j > 1 and typed[i - 1] == word[j - 2] and typed[i - 2] == word[j - 1]:
                best = min(best, d[i - 2][j - 2] + 1)
            d[i][j] = best
    return d


def slips(typed, word, d):
    """The edits of one optimal alignment, from the end: ("typed", wanted, typed),
    ("left out", wanted) and ("put in", typed); swaps are not counted."""
    i, j = len(typed), len(word)
    while i > 0 or j > 0:
        if i > 0 and j > 0 and d[i][j] == d[i - 1][j - 1] + (typed[i - 1] != word[j - 1]):
            if typed[i - 1] != word[j - 1]:
                yield ("typed", word[j - 1], typed[i - 1])
            i, j = i - 1, j - 1
        elif (i > 1 and j > 1 and typed[i - 1] == word[j - 2] and typed[i - 2] == word[j - 1]
              and d[i][j] == d[i - 2][j - 2] + 1):
            i, j = i - 2, j - 2
        elif i > 0 and d[i][j] == d[i - 1][j] + 1:
            yield ("put in", typed[i - 1])
            i -= 1
        else:
            yield ("left out", word[j - 1])
            j -= 1


def centred(costs, weights):
    mean = sum(c * w for c, w in zip(costs, weights)) / sum(weights)
    return [c - mean for c in costs]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tuning_set", help="misspelling TAB intended word, a pair a line")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    args = parser.parse_args(argv)

    counts = collections.Counter()
    letters = collections.Counter()
    pairs = 0
    with open(args.tuning_set, encoding="utf-8") as f:
        for line in f:
            typed, _, word = line.rstrip("\n").lower().partition("\t")
            if not typed or not word or not set(typed + word) <= set(LETTERS):
                continue
            d = distances(typed, word)
            if not 0 < d[len(typed)][len(word)] <= FARTHEST:
                continue
            pairs += 1
            letters.update(word)
            counts.update(slips(typed, word, d))

    def cost(count, chances):
        return -math.log((count + PSEUDOCOUNT) / (chances + PSEUDOCOUNT * len(LETTERS)))

    pairs_of_letters = [(wanted, typed) for wanted in LETTERS for typed in LETTERS if typed != wanted]
    typed_for = centred([cost(counts["typed", w, t], letters[w]) for w, t in pairs_of_letters],
                        [counts["typed", w, t] + PSEUDOCOUNT for w, t in pairs_of_letters])
    typed_for = dict(zip(pairs_of_letters, typed_for))
    per_letter = sum(letters.values()) / len(LETTERS)
    left_out = centred([cost(counts["left out", c], letters[c]) for c in LETTERS],
                       [counts["left out", c] + PSEUDOCOUNT for c in LETTERS])
    put_in = centred([cost(counts["put in", c], per_letter) for c in LETTERS],
                     [counts["put in", c] + PSEUDOCOUNT for c in LETTERS])

    def row(costs):
        return ", ".join(f"{round(100 * c):5d}" for c in costs) + ",\n"

    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write("// Written by data/make_slip_costs.py from the tuning set; do not edit.\n")
        f.write(f"// {pairs} pairs counted. A letter typed (column) for the intended letter (row):\n")
        for wanted in LETTERS:
            f.write(row(typed_for.get((wanted, typed), 0) for typed in LETTERS))
        f.write("// A letter left out:\n")
        f.write(row(left_out))
        f.write("// A letter put in:\n")
        f.write(row(put_in))
    print(f"{args.output}: {pairs} pairs counted")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
