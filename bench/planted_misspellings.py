#!/usr/bin/env python3
"""Plants real misspellings into a copy of a source tree, and scores which checkers find them.

    planted_misspellings.py plant TREE COPY [--count N] [--seed S]
    planted_misspellings.py score COPY TOOL REPORT

`plant` copies TREE to COPY and replaces N words (100 by default) of its text files with a
misspelling of theirs from codespell's list of common misspellings (Debian's codespell), each
in the word's letter case: at most one a line and three a file, spread over the files. A word
stands alone in prose or a comment (`kind` word) or inside a name with `_` or in camel case
(`kind` identifier). What was planted is written to COPY/.planted.tsv: path, line, the
misspelling, the word it replaced, the kind.

Places are told apart by a rough scan of each file's language, by its name: in C-family
files `//` and `/* */` comments, `"` and backtick strings and `'` literals (in Rust of one
character: `'a` is a lifetime) are prose, in `#` languages (Python, shell, Perl, Ruby, CMake,
make; also a file without a known extension whose first line is an interpreter line, or an
editor's mode line naming such a language: `-*- shell-script -*-`) `#` comments and quoted
strings (triple-quoted too), and text files (no code extension) are prose throughout. A word
alone in code (a keyword, a type) is never planted: a slip there breaks the build. So the kinds are `prose` (a word alone in prose), `prose-name` (a part of a
name in prose) and `code-name` (a part of a name in code, found only by a checker that reads
identifiers).

`score` reads REPORT, the output of TOOL run in COPY (`lexivane`: `lexivane check
--suggestions 0 .`; `cspell`: `cspell lint --no-progress --no-summary "**"`; `codespell`:
`codespell .`), and prints how many planted misspellings of each kind it reported on their line.
"""

import argparse
import os
import random
import re
import shutil
import sys

DICTIONARY = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"
WORD = re.compile(r"[A-Za-z]+")
# A name: letters, digits and `_`, with `_` inside or a capital after a small letter.
TOKEN = re.compile(r"[A-Za-z0-9_]+")
LARGEST_FILE = 1 << 20
C_FAMILY = {".c", ".h", ".cc", ".cpp", ".cxx", ".hpp", ".hh", ".java", ".js", ".mjs", ".cjs", ".ts",
            ".go", ".rs", ".cs", ".m", ".swift", ".kt", ".scala", ".php"}
HASH_COMMENTS = {".py", ".sh", ".bash", ".pl", ".pm", ".rb", ".cmake", ".mk", ".in", ".am",
                 ".ac", ".tcl", ".r", ".yml", ".yaml", ".toml", ".conf", ".cfg"}
HASH_NAMES = {"Makefile", "CMakeLists.txt", "configure", "Rakefile"}


# A first line that makes a file without a known extension a script of a `#` language: an
# interpreter line, or an editor's mode line naming one (`-*- shell-script -*-`).
HASH_SCRIPT = re.compile(r"#!|.*-\*-.*\b(?:shell-script|sh|bash|python|perl|ruby)\b.*-\*-|"
                         r".*\bvim?:.*\b(?:ft|filetype)=(?:sh|bash|python|perl|ruby)\b", re.I)


def prose_spans(path, text):
    """The [begin, end) spans of `text` that are prose, by the file's language."""
    name = os.path.basename(path)
    extension = os.path.splitext(name)[1].lower()
    if (extension not in C_FAMILY and extension not in HASH_COMMENTS
            and HASH_SCRIPT.match(text[:text.find("\n")])):
        extension = ".sh"
    if extension in C_FAMILY:
        # Rust's `'` also opens a lifetime (`&'a str`): there only a one-character literal.
        quoted = r"'(?:\\.|[^'\\\n])'" if extension == ".rs" else r"'(?:\\.|[^'\\\n])*'"
        pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|`[^`]*`|' + quoted, re.S)
    elif extension in HASH_COMMENTS or name in HASH_NAMES:
        pattern = re.compile(r'#[^\n]*|"""[\s\S]*?"""|\'\'\'[\s\S]*?\'\'\'|'
                             r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'')
    else:
        return [(0, len(text))]
    return [match.span() for match in pattern.finditer(text)]


def misspellings_by_word():
    """Each plain word of four letters or more with the misspellings codespell corrects to it."""
    by_word = {}
    with open(DICTIONARY, encoding="utf-8") as f:
        for line in f:
            wrong, _, right = line.strip().partition("->")
            if "," in right or not right.isalpha() or not wrong.isalpha():
                continue
            if right != right.lower() or len(right) < 4 or len(wrong) < 4:
                continue
            by_word.setdefault(right, []).append(wrong)
    return by_word


def text_files(tree):
    for folder, folders, files in os.walk(tree):
        folders[:] = sorted(d for d in folders if not d.startswith("."))
        for name in sorted(files):
            path = os.path.join(folder, name)
            if os.path.islink(path) or os.path.getsize(path) > LARGEST_FILE:
                continue
            with open(path, "rb") as f:
                data = f.read()
            if b"\0" in data:
                continue
            try:
                yield os.path.relpath(path, tree), data.decode("utf-8")
            except UnicodeDecodeError:
                continue


def in_case_of(word, wrong):
    if word.isupper():
        return wrong.upper()
    if word[0].isupper():
        return wrong[0].upper() + wrong[1:]
    return wrong


def plant(args):
    by_word = misspellings_by_word()
    random.seed(args.seed)
    shutil.rmtree(args.copy, ignore_errors=True)
    shutil.copytree(args.tree, args.copy, symlinks=True)
    # Every place a listed word could be planted: (path, line number, column, word, kind).
    places = []
    texts = {}
    for path, text in text_files(args.copy):
        texts[path] = text
        spans = prose_spans(path, text)
        line_start = 0
        for number, line in enumerate(text.split("\n"), 1):
            for token in TOKEN.finditer(line):
                at = line_start + token.start()
                prose = any(begin <= at < end for begin, end in spans)
                name = "_" in token.group().strip("_") or re.search(r"[a-z][A-Z]", token.group())
                if not prose and not name:
                    continue
                kind = ("prose-name" if name else "prose") if prose else "code-name"
                for word in re.finditer(r"[A-Z]?[a-z]+|[A-Z]+(?![a-z])", token.group()):
                    if word.group().lower() in by_word and word.group() in (
                            word.group().lower(), word.group().capitalize()):
                        places.append((path, number, token.start() + word.start(), word.group(),
                                       kind))
            line_start += len(line) + 1
    random.shuffle(places)
    chosen, lines, per_file = [], set(), {}
    for place in places:
        path, number = place[0], place[1]
        if (path, number) in lines or per_file.get(path, 0) >= 3:
            continue
        lines.add((path, number))
        per_file[path] = per_file.get(path, 0) + 1
        chosen.append(place)
        if len(chosen) == args.count:
            break
    planted = []
    for path in sorted({place[0] for place in chosen}):
        lines_of = texts[path].split("\n")
        for _, number, column, word, kind in sorted(p for p in chosen if p[0] == path):
            wrong = in_case_of(word, random.choice(by_word[word.lower()]))
            line = lines_of[number - 1]
            lines_of[number - 1] = line[:column] + wrong + line[column + len(word):]
            planted.append((path, number, wrong, word, kind))
        with open(os.path.join(args.copy, path), "w", encoding="utf-8", newline="") as f:
            f.write("\n".join(lines_of))
    with open(os.path.join(args.copy, ".planted.tsv"), "w", encoding="utf-8") as f:
        for row in planted:
            f.write("\t".join(map(str, row)) + "\n")
    print(f"{len(planted)} planted in {len(per_file)} files of {args.copy}", file=sys.stderr)


REPORTS = {
    "lexivane": re.compile(r"^(?:\./)?(.+?):(\d+):\d+: (.+?)(?::|$)"),
    "cspell": re.compile(r"^(?:\./)?(.+?):(\d+):\d+ - Unknown word \((.+?)\)"),
    "codespell": re.compile(r"^(?:\./)?(.+?):(\d+): (.+?) ==>"),
}


def score(args):
    found = set()
    pattern = REPORTS[args.tool]
    with open(args.report, encoding="utf-8", errors="replace") as f:
        for line in f:
            match = pattern.match(line.rstrip("\n"))
            if match:
                path, number, word = match.groups()
                for part in WORD.findall(word):
                    found.add((path, int(number), part.lower()))
    totals, hits = {}, {}
    with open(os.path.join(args.copy, ".planted.tsv"), encoding="utf-8") as f:
        for row in f:
            path, number, wrong, _, kind = row.rstrip("\n").split("\t")
            totals[kind] = totals.get(kind, 0) + 1
            if (path, int(number), wrong.lower()) in found:
                hits[kind] = hits.get(kind, 0) + 1
    for kind in sorted(totals):
        print(f"{args.tool} {kind}: {hits.get(kind, 0)} of {totals[kind]}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    planting = commands.add_parser("plant")
    planting.add_argument("tree")
    planting.add_argument("copy")
    planting.add_argument("--count", type=int, default=100)
    planting.add_argument("--seed", type=int, default=1)
    scoring = commands.add_parser("score")
    scoring.add_argument("copy")
    scoring.add_argument("tool", choices=sorted(REPORTS))
    scoring.add_argument("report")
    args = parser.parse_args()
    plant(args) if args.command == "plant" else score(args)


if __name__ == "__main__":
    main()
