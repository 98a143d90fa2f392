#!/usr/bin/env python3
"""Common misspellings of software projects: how often a checker's suggestions give the correction.

    software_misspellings.py make --data DIR [--sample N] [--list FILE]
    software_misspellings.py score --data DIR --split tune|held-out --lexivane PATH
                                   [--peers aspell,hunspell] [--misses FILE]

The corpus is codespell's main list of the misspellings found in software projects (Debian's
codespell_lib/data/dictionary.txt), one `misspelling->correction` or
`misspelling->correction1, correction2, ..., reason` a line: when the part after `->` holds a
comma, what follows its last comma is a reason (empty when the line ends with a comma) and what
comes before it the corrections. A pair is kept when the line has exactly one correction, the
misspelling and the correction are both small ASCII letters only (a-z), the misspelling has three
letters or more and the two differ; each pair is taken once.

The split is fixed by rule: a pair belongs to `tune` when the first byte of the SHA-1 of its
misspelling (UTF-8) is even, else to `held-out`. From each split, `make` takes a sample of N
pairs (3,000 by default; 0 takes them all), drawn from the split's pairs in sorted order with
random.Random(2026), and writes them to DIR/tune.tsv and DIR/held-out.tsv (misspelling TAB
correction, sorted).

`score` runs each tool once over every misspelling of the split, one word a line through the
ispell pipe (`^word`, so that no line is read as a request), in one process fed from a file,
with HOME set to an empty folder (no personal dictionary) and LC_ALL=C.UTF-8. Tools: lexivane
(`PATH -a`, its default typing ranking), and as peers `aspell -a --lang=en_US` (suggestion mode
"normal", the default) and `hunspell -a -d en_US`. For each tool it prints the words, top-1 % and
top-5 % (the correction, compared without regard to case, first / among the first five
suggestions), the share with no suggestion at all (a misspelling the tool accepts counts as
none) and the CPU seconds of the tool's process (user + system). --misses FILE writes the rows
whose correction is not among lexivane's first five, with those five: misspelling TAB
correction TAB suggestions (`(accepted)` or `(none)` when there are none).
"""

import argparse
import hashlib
import os
import random
import re
import resource
import subprocess
import sys
import tempfile

CODESPELL_LIST = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"
SPLITS = ("tune", "held-out")
SEED = 2026
SMALL_LETTERS = re.compile(r"[a-z]+")
PEERS = {
    "aspell": ["aspell", "-a", "--lang=en_US"],
    "hunspell": ["hunspell", "-a", "-d", "en_US"],
}


def corrections(line):
    """(misspelling, [corrections]) of one line of codespell's list, or None for a line
    without `->`.

    >>> corrections("abot->about, abort, a bot,\\n")
    ('abot', ['about', 'abort', 'a bot'])
    >>> corrections("teh->the")
    ('teh', ['the'])
    >>> corrections("clas->class, disabled because of name clash in c++")
    ('clas', ['class'])
    """
    if "->" not in line:
        return None
    misspelling, data = line.split("->", 1)
    data = data.strip()
    if "," in data:
        data = data.rsplit(",", 1)[0]  # after the last comma: the reason
    return misspelling.strip(), [word.strip() for word in data.split(",") if word.strip()]


def corpus_pairs(path):
    """The sorted, distinct (misspelling, correction) pairs of the list at `path` worth scoring."""
    pairs = set()
    with open(path, encoding="utf-8") as f:
        for line in f:
            entry = corrections(line)
            if not entry or len(entry[1]) != 1:
                continue
            misspelling, (correction,) = entry
            if (SMALL_LETTERS.fullmatch(misspelling) and SMALL_LETTERS.fullmatch(correction)
                    and len(misspelling) >= 3 and misspelling != correction):
                pairs.add((misspelling, correction))
    return sorted(pairs)


def split_of(misspelling):
    """`tune` when the first byte of the misspelling's SHA-1 is even, else `held-out`."""
    return "tune" if hashlib.sha1(misspelling.encode("utf-8")).digest()[0] % 2 == 0 else "held-out"


def make(args):
    pairs = corpus_pairs(args.list)
    os.makedirs(args.data, exist_ok=True)
    for split in SPLITS:
        members = [pair for pair in pairs if split_of(pair[0]) == split]
        sample = members
        if 0 < args.sample < len(members):
            sample = sorted(random.Random(SEED).sample(members, args.sample))
        with open(os.path.join(args.data, f"{split}.tsv"), "w", encoding="utf-8") as f:
            f.writelines(f"{wrong}\t{right}\n" for wrong, right in sample)
        print(f"{split}: {len(sample)} of {len(members)} pairs", file=sys.stderr)


def read_pairs(path):
    with open(path, encoding="utf-8") as f:
        return [tuple(line.rstrip("\n").split("\t")) for line in f if line.strip()]


def parse_results(tool, words, output):
    """For each word, its suggestions from a pipe session's output: None when accepted, else the
    list (empty for `#`). Stops the run when the answers do not line up with the words."""
    lines = output.splitlines()
    if not lines or not lines[0].startswith("@(#)"):
        sys.exit(f"{tool}: no banner; it printed: {output[:200]!r}")
    answers = [line for line in lines[1:] if line.strip()]
    if len(answers) != len(words):
        sys.exit(f"{tool}: {len(answers)} answers for {len(words)} words")
    results = []
    for word, answer in zip(words, answers):
        kind = answer[0]
        if kind in "*-+":
            results.append(None)
            continue
        if kind not in "&#?" or answer.split()[1] != word:
            sys.exit(f"{tool}: answer {answer!r} for {word!r}")
        found = answer.split(": ", 1)[1].split(", ") if kind == "&" else []
        results.append(found)
    return results


def run_pipe(tool, command, words, scratch):
    """Runs `command` once over `words` (one a line). Returns (results, CPU seconds)."""
    feed = os.path.join(scratch, f"{tool}.in")
    with open(feed, "w", encoding="utf-8") as f:
        f.writelines(f"^{word}\n" for word in words)
    home = os.path.join(scratch, f"{tool}-home")
    os.makedirs(home, exist_ok=True)
    env = dict(os.environ, HOME=home, LC_ALL="C.UTF-8")
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    with open(feed, "rb") as stdin:
        done = subprocess.run(command, stdin=stdin, capture_output=True, env=env)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if done.returncode != 0:
        sys.exit(f"{' '.join(command)}: exit status {done.returncode}\n"
                 f"{done.stderr.decode('utf-8', 'replace')}")
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return parse_results(tool, words, done.stdout.decode("utf-8", "replace")), cpu


def figures(pairs, results):
    """(top-1 %, top-5 %, no suggestion %) of `results` against the pairs' corrections."""
    top1 = top5 = none = 0
    for (_, correction), found in zip(pairs, results):
        found = [s.lower() for s in found or []]
        top1 += found[:1] == [correction]
        top5 += correction in found[:5]
        none += not found
    share = 100.0 / max(len(pairs), 1)
    return top1 * share, top5 * share, none * share


def write_misses(path, pairs, results):
    with open(path, "w", encoding="utf-8") as f:
        for (wrong, right), found in zip(pairs, results):
            first = (found or [])[:5]
            if right in [s.lower() for s in first]:
                continue
            shown = "(accepted)" if found is None else ", ".join(first) or "(none)"
            f.write(f"{wrong}\t{right}\t{shown}\n")


def score(args):
    pairs = read_pairs(os.path.join(args.data, f"{args.split}.tsv"))
    words = [wrong for wrong, _ in pairs]
    tools = [("lexivane", [args.lexivane, "-a"])]
    tools += [(peer, PEERS[peer]) for peer in args.peers]
    print(f"{args.split}: {len(pairs)} misspellings")
    print(f"{'tool':<10} {'words':>6} {'top-1 %':>8} {'top-5 %':>8} {'none %':>7} {'CPU s':>7}")
    with tempfile.TemporaryDirectory(prefix="software-misspellings-") as scratch:
        for tool, command in tools:
            results, cpu = run_pipe(tool, command, words, scratch)
            top1, top5, none = figures(pairs, results)
            print(f"{tool:<10} {len(words):>6} {top1:>8.1f} {top5:>8.1f} {none:>7.1f} {cpu:>7.2f}",
                  flush=True)
            if tool == "lexivane" and args.misses:
                write_misses(args.misses, pairs, results)


def peer_names(text):
    names = [name for name in text.split(",") if name]
    unknown = [name for name in names if name not in PEERS]
    if unknown:
        raise argparse.ArgumentTypeError(f"unknown peer {', '.join(unknown)}; "
                                         f"known: {', '.join(PEERS)}")
    return names


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    making = commands.add_parser("make")
    making.add_argument("--data", required=True, help="where the splits' files are written")
    making.add_argument("--sample", type=int, default=3000, metavar="N",
                        help="pairs drawn from each split (0: all)")
    making.add_argument("--list", default=CODESPELL_LIST, help="codespell's list of misspellings")
    scoring = commands.add_parser("score")
    scoring.add_argument("--data", required=True, help="the folder make wrote")
    scoring.add_argument("--split", choices=SPLITS, required=True)
    scoring.add_argument("--lexivane", required=True, metavar="PATH")
    scoring.add_argument("--peers", type=peer_names, default=[], metavar="aspell,hunspell")
    scoring.add_argument("--misses", metavar="FILE",
                         help="writes the rows whose correction is not in lexivane's top 5")
    args = parser.parse_args()
    make(args) if args.command == "make" else score(args)


if __name__ == "__main__":
    main()
