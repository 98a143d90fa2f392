#!/usr/bin/env python3
"""Real identifiers and typos of them: how many a checker flags wrongly, how many it finds.

    identifier_typos.py make [--split S] [--cache DIR] [--per-tree N] [--seed S] [--data DIR]
    identifier_typos.py score TOOL... [--split S] [--data DIR] [--lexivane PATH]
                              [--lexivane-args ARGS] [--cspell PATH] [--top K]

`make` reads the code of each tree of one split of bench/projects.txt found unpacked in the cache
folder (CACHE/PACKAGE, as bench/fetch-sources.sh leaves it; a tree not there is passed over and
named) and collects its distinct identifiers: the names in code, not in comments or strings
(the language scan of planted_misspellings.py), less the keywords of the language, that have a
part of three letters or more. Parts are cut as lexivane cuts them (`_`, a capital after a small
letter or a digit, the last capital of a run before a small letter unless that is a lone `s`).
From each tree it samples up to N (300 by default) correct identifiers, and up to N typo
identifiers of each of two sources, each with one part replaced by a misspelling of it in the
part's letter case: (a) a misspelling from codespell's list of common misspellings, (b) one
typing slip in a part that is an English word of four letters or more (a letter dropped, doubled, two adjacent ones
swapped, one replaced by a neighbour on a QWERTY keyboard). A misspelling that is an English
word (SCOWL's lists up to size 80, any variant) is not taken: no spell checker could tell it.
Sampling is seeded by the seed and the tree's name, so a tree's sample does not change when
another tree comes or goes. DATA/SPLIT/correct.tsv and DATA/SPLIT/typos.tsv hold the result.

`score` writes each set as source files of the identifiers' own languages, one identifier in a
statement a line (`x = IDENT;` in C, `x = IDENT` in Python, `x=$IDENT` in shell), runs each TOOL
on them and prints a table: false alarms, the share of correct identifiers with any part
flagged, and detection, the share of typo identifiers whose changed part is flagged, for each
source. Tools: `lexivane` (`check --identifiers --suggestions 0` and --lexivane-args),
`cspell` (`lint --no-progress --no-summary`), `codespell` (Debian's, with a word pattern that
cuts identifiers into their parts, since out of the box it reads `max_safe_integr` as one
word). --top K lists the K parts (in small letters) each tool flags most often in the correct
identifiers.
"""

import argparse
import collections
import glob
import os
import random
import re
import shlex
import subprocess
import sys
import tempfile

import planted_misspellings

HERE = os.path.dirname(os.path.abspath(__file__))
PROJECTS = os.path.join(HERE, "projects.txt")
SCOWL = "/usr/share/dict/scowl"
SCOWL_LARGEST_SIZE = 80
CSPELL = "/work/cspell-npm/node_modules/.bin/cspell"

# Each language: the extensions that name it, the file and statement an identifier is scored
# in, and its keywords (never sampled: the compiler would catch a typo in one).
C_KEYWORDS = """auto break case char const continue default do double else enum extern float
    for goto if inline int long register restrict return short signed sizeof static struct
    switch typedef union unsigned void volatile while bool true false include define undef ifdef
    ifndef endif elif pragma error warning defined NULL"""
CPP_KEYWORDS = C_KEYWORDS + """ alignas alignof and asm catch class constexpr const_cast
    decltype delete dynamic_cast explicit export friend mutable namespace new noexcept not
    nullptr operator or private protected public reinterpret_cast static_assert static_cast
    template this throw try typeid typename using virtual wchar_t override final concept
    requires co_await co_return co_yield consteval constinit char8_t char16_t char32_t"""
LANGUAGES = {
    "c": ({".c", ".h"}, ".c", "x = {};", C_KEYWORDS),
    "cpp": ({".cc", ".cpp", ".cxx", ".hpp", ".hh"}, ".cc", "x = {};", CPP_KEYWORDS),
    "javascript": ({".js", ".mjs", ".cjs", ".ts"}, ".js", "x = {};", """break case catch class
        const continue debugger default delete do else export extends finally for function if
        import in instanceof new return super switch this throw try typeof var void while with
        yield let static enum await implements package protected interface private public null
        true false undefined async from of get set"""),
    "go": ({".go"}, ".go", "x = {}", """break case chan const continue default defer else
        fallthrough for func go goto if import interface map package range return select struct
        switch type var true false nil iota"""),
    "rust": ({".rs"}, ".rs", "x = {};", """as break const continue crate else enum extern false
        fn for if impl in let loop match mod move mut pub ref return self Self static struct
        super trait true type unsafe use where while async await dyn abstract become box do
        final macro override priv typeof unsized virtual yield try union"""),
    "python": ({".py"}, ".py", "x = {}", """False None True and as assert async await break
        class continue def del elif else except finally for from global if import in is lambda
        nonlocal not or pass raise return try while with yield match case self cls"""),
    "shell": ({".sh", ".bash"}, ".sh", "x=${}", """if then else elif fi case esac for select
        while until do done in function time local declare typeset export readonly unset return
        shift break continue"""),
}
# A shell script without an extension: its interpreter line or its editor's mode line says so.
SHELL_FIRST_LINE = re.compile(r"^#!.*\b(?:ba|da|k|z)?sh\b|-\*-\s*(?:mode:\s*)?(?:shell-script|sh)\b")
# Shell code names things only in a few places: `$name`, `${name`, `name=`, `name()`, `for name`.
SHELL_NAME = re.compile(r"\$\{?[#!]?([A-Za-z_]\w*)|(?:^|(?<=[\s;&|(]))([A-Za-z_]\w*)(?:\[[^\]\n]*\])?\+?="
                        r"|([A-Za-z_][\w-]*)\s*\(\)|\bfunction\s+([A-Za-z_][\w-]*)"
                        r"|\bfor\s+([A-Za-z_]\w*)\s+in\b")
SHELL_COMMENT_OR_LITERAL = re.compile(r"(?:^|(?<=[\s;&|(]))#[^\n]*|'[^']*'")
C_INCLUDE = re.compile(r"^[ \t]*#[ \t]*(?:include|import)[^\n]*", re.M)
NAME = re.compile(r"[A-Za-z0-9_]+")
KEYBOARD_ROWS = ("qwertyuiop", "asdfghjkl", "zxcvbnm")


def identifier_parts(identifier):
    """The (offset, part) pairs of `identifier`, cut as lexivane cuts it; parts with a letter.

    >>> [part for _, part in identifier_parts("getHTTPResponse2_max_URLs")]
    ['get', 'HTTP', 'Response2', 'max', 'URLs']
    >>> [part for _, part in identifier_parts("XMLHttpRequest")]
    ['XML', 'Http', 'Request']
    >>> [part for _, part in identifier_parts("IDsByName__snake_Case_ABCDef_utf8Decoder_x86")]
    ['IDs', 'By', 'Name', 'snake', 'Case', 'ABC', 'Def', 'utf8', 'Decoder', 'x86']
    """
    parts, start = [], 0

    def end_part(end):
        if any(c.isalpha() for c in identifier[start:end]):
            parts.append((start, identifier[start:end]))

    for i, c in enumerate(identifier):
        if c == "_":
            end_part(i)
            start = i + 1
        elif c.isupper() and i > start:
            before = identifier[i - 1]
            small_next = i + 1 < len(identifier) and identifier[i + 1].islower()
            plural = small_next and identifier[i + 1] == "s" and (
                i + 2 == len(identifier) or not identifier[i + 2].islower())
            if before.islower() or before.isdigit() or (before.isupper() and small_next
                                                         and not plural):
                end_part(i)
                start = i
    end_part(len(identifier))
    return parts


def language_of(path, text):
    extension = os.path.splitext(path)[1].lower()
    for language, (extensions, *_rest) in LANGUAGES.items():
        if extension in extensions:
            return language
    if not extension and SHELL_FIRST_LINE.search(text.split("\n", 1)[0]):
        return "shell"
    return None


def names_in_code(language, text):
    """The names written in the code of `text`, a file of `language`."""
    if language == "shell":
        code = SHELL_COMMENT_OR_LITERAL.sub(lambda m: " " * len(m.group()), text)
        return [next(g for g in m.groups() if g) for m in SHELL_NAME.finditer(code)]
    # The scan goes by extension: give it the language's own.
    hidden = planted_misspellings.prose_spans("file" + LANGUAGES[language][1], text)
    if language in ("c", "cpp"):
        hidden += [m.span() for m in C_INCLUDE.finditer(text)]
    code = list(text)
    for begin, end in hidden:
        code[begin:end] = " " * (end - begin)
    return [m.group() for m in NAME.finditer("".join(code)) if not m.group()[0].isdigit()]


def tree_identifiers(tree):
    """The distinct identifiers of a tree's code worth judging: {identifier: language}."""
    found = {}
    for path, text in planted_misspellings.text_files(tree):
        language = language_of(path, text)
        if not language:
            continue
        keywords = set(LANGUAGES[language][3].split())
        for name in names_in_code(language, text):
            if name in keywords or name in found or "-" in name:
                continue
            if any(sum(c.isalpha() for c in part) >= 3 for _, part in identifier_parts(name)):
                found[name] = language
    return found


def english_words(kinds="*"):
    """The words of SCOWL's lists of `kinds` (`words`, `abbreviations`, `proper-names`,
    `upper`...) up to size 80, of any variant, in small letters."""
    words = set()
    for path in glob.glob(os.path.join(SCOWL, f"*-{kinds}.*")):
        size = path.rsplit(".", 1)[1]
        if size.isdigit() and int(size) <= SCOWL_LARGEST_SIZE:
            with open(path, encoding="latin-1") as f:
                words.update(line.strip().lower() for line in f)
    return words


def neighbours(letter):
    for row_index, row in enumerate(KEYBOARD_ROWS):
        at = row.find(letter)
        if at < 0:
            continue
        near = [row[j] for j in (at - 1, at + 1) if 0 <= j < len(row)]
        for other in (row_index - 1, row_index + 1):
            if 0 <= other < len(KEYBOARD_ROWS):
                near += [KEYBOARD_ROWS[other][j] for j in (at - 1, at)
                         if 0 <= j < len(KEYBOARD_ROWS[other])]
        return near
    return []


def typing_slip(word, rng):
    """`word` (small letters) with one slip of the fingers."""
    kind = rng.choice(("drop", "double", "swap", "neighbour"))
    at = rng.randrange(len(word))
    if kind == "drop":
        return word[:at] + word[at + 1:]
    if kind == "double":
        return word[:at] + word[at] + word[at:]
    if kind == "swap":
        at = min(at, len(word) - 2)
        return word[:at] + word[at + 1] + word[at] + word[at + 2:]
    near = neighbours(word[at])
    return word[:at] + rng.choice(near) + word[at + 1:] if near else word


def written_as(part):
    """The letter case a part is written in, or None for one with digits or mixed case."""
    if not part.isalpha():
        return None
    if part.islower():
        return str.lower
    if part.isupper():
        return str.upper
    return str.capitalize if part[1:].islower() else None


def typo_of(identifier, source, lists, rng):
    """`identifier` with one part misspelt from `source` ("a" or "b"), or None when none fits:
    (offset, the misspelt part, the part it replaced, the new identifier).

    >>> typo_of("maxSafeInteger", "a", ({"integer": ["integr"]}, {}, {}), random.Random(1))
    (7, 'Integr', 'Integer', 'maxSafeIntegr')
    >>> typo_of("MAX_VALUE", "b", ({}, {"value"}, {}), random.Random(1))[1].isupper()
    True
    >>> typo_of("get_value", "b", ({}, {"get"}, {}), random.Random(1)) is None
    True
    """
    by_word, plain_words, words = lists
    places = []
    for offset, part in identifier_parts(identifier):
        case = written_as(part)
        if not case or (source == "a" and part.lower() not in by_word):
            continue
        # A slip is made in a word, not in an abbreviation such as `CMDQ`.
        if source == "b" and (len(part) < 4 or part.lower() not in plain_words):
            continue
        places.append((offset, part, case))
    rng.shuffle(places)
    for offset, part, case in places:
        for _ in range(5):
            if source == "a":
                wrong = rng.choice(by_word[part.lower()])
            else:
                wrong = typing_slip(part.lower(), rng)
            if wrong != part.lower() and wrong not in words:
                wrong = case(wrong)
                return offset, wrong, part, (identifier[:offset] + wrong +
                                             identifier[offset + len(part):])
    return None


def projects(split):
    with open(PROJECTS, encoding="utf-8") as f:
        rows = [line.split() for line in f if line.strip() and not line.startswith("#")]
    return [row[0] for row in rows if row[1] == split]


def make(args):
    lists = planted_misspellings.misspellings_by_word(), english_words("words"), english_words()
    folder = os.path.join(args.data, args.split)
    os.makedirs(folder, exist_ok=True)
    seen, correct, typos, missing = set(), [], [], []
    for package in projects(args.split):
        tree = os.path.join(args.cache, package)
        if not os.path.isdir(tree):
            missing.append(package)
            continue
        identifiers = tree_identifiers(tree)
        names = sorted(identifiers)
        rng = random.Random(f"{args.seed}:{package}")
        fresh = [name for name in names if name not in seen]
        for name in rng.sample(fresh, min(args.per_tree, len(fresh))):
            seen.add(name)
            correct.append((package, identifiers[name], name))
        for source in ("a", "b"):
            made = 0
            for name in rng.sample(names, len(names)):
                typo = typo_of(name, source, lists, rng)
                if typo:
                    offset, wrong, right, typo_identifier = typo
                    typos.append((package, identifiers[name], source, typo_identifier, offset,
                                  wrong, right, name))
                    made += 1
                    if made == args.per_tree:
                        break
        print(f"{package}: {len(names)} identifiers", file=sys.stderr)
    with open(os.path.join(folder, "correct.tsv"), "w", encoding="utf-8") as f:
        for row in correct:
            f.write("\t".join(row) + "\n")
    with open(os.path.join(folder, "typos.tsv"), "w", encoding="utf-8") as f:
        for row in typos:
            f.write("\t".join(map(str, row)) + "\n")
    if missing:
        print(f"not in {args.cache}: {' '.join(missing)}", file=sys.stderr)
    print(f"{len(correct)} correct and {len(typos)} typo identifiers in {folder}", file=sys.stderr)


def read_rows(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n").split("\t") for line in f]


def write_sources(folder, items):
    """Writes each (set name, language, identifier) into FOLDER/SET-LANGUAGE.EXT, one a line.
    Returns {(file name, line): (index into items, column of the identifier from 1)}."""
    places, lines_of = {}, collections.defaultdict(list)
    for index, (set_name, language, identifier) in enumerate(items):
        _, extension, statement, _ = LANGUAGES[language]
        name = f"{set_name}-{language}{extension}"
        lines_of[name].append(statement.format(identifier))
        places[(name, len(lines_of[name]))] = (index, statement.index("{") + 1)
    for name, lines in lines_of.items():
        with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
    return places, sorted(lines_of)


# Each tool's finding: file, line, column (None when it gives none), word.
FINDING = {
    "lexivane": re.compile(r"^(?:\./)?(.+?):(\d+):(\d+): ([^:]+)"),
    "cspell": re.compile(r"^(?:\./)?(.+?):(\d+):(\d+) - Unknown word \((.+?)\)"),
    "codespell": re.compile(r"^(?:\./)?(.+?):(\d+):()\s*(.+?) ==>"),
}
# Cuts identifiers as above for codespell, which otherwise takes `\w` runs as words.
CODESPELL_PARTS = r"[A-Z]?[a-z]+|[A-Z]+(?![a-z])"


def run_tool(tool, args, folder, files):
    if tool == "lexivane":
        # The tool runs in the scratch folder: a relative path is taken from here.
        program = os.path.abspath(args.lexivane) if os.sep in args.lexivane else args.lexivane
        command = [program, "check", "--identifiers", "--suggestions", "0"]
        command += shlex.split(args.lexivane_args) + files
    elif tool == "cspell":
        command = [args.cspell, "lint", "--no-progress", "--no-summary"] + files
    else:
        command = ["codespell", "--regex", CODESPELL_PARTS] + files
    done = subprocess.run(command, cwd=folder, capture_output=True, text=True)
    if done.returncode not in (0, 1) and not done.stdout:
        sys.exit(f"{' '.join(command)}: exit status {done.returncode}\n{done.stderr}")
    for line in done.stdout.splitlines():
        match = FINDING[tool].match(line)
        if match:
            name, number, column, word = match.groups()
            yield name, int(number), int(column) if column else None, word


def score(args):
    folder = os.path.join(args.data, args.split)
    correct = read_rows(os.path.join(folder, "correct.tsv"))
    typos = read_rows(os.path.join(folder, "typos.tsv"))
    items = [("correct", language, name) for _, language, name in correct]
    items += [(f"typo-{row[2]}", row[1], row[3]) for row in typos]
    trees = len({row[0] for row in correct})
    print(f"{args.split}: {len(correct)} correct identifiers from {trees} of "
          f"{len(projects(args.split))} trees; typos: "
          + ", ".join(f"({s}) {sum(row[2] == s for row in typos)}" for s in "ab"))
    print(f"{'tool':<12} {'identifiers':>11} {'false alarms %':>14} {'detection (a) %':>15} "
          f"{'detection (b) %':>15}")
    flagged_parts = {}
    with tempfile.TemporaryDirectory(prefix="identifier-typos-") as scratch:
        places, files = write_sources(scratch, items)
        for tool in args.tools:
            flagged, hit, parts = set(), set(), collections.Counter()
            for name, number, column, word in run_tool(tool, args, scratch, files):
                index, start = places.get((name, number), (None, 0))
                if index is None or (column is not None and column < start):
                    continue  # the statement's own `x`
                flagged.add(index)
                if index < len(correct):
                    parts[word.lower()] += 1
                    continue
                offset, wrong = int(typos[index - len(correct)][4]), typos[index - len(correct)][5]
                if column is None:
                    if wrong.lower() in word.lower():
                        hit.add(index)
                elif column - start < offset + len(wrong) and offset < column - start + len(word):
                    hit.add(index)
            flagged_parts[tool] = parts
            alarms = sum(1 for i in flagged if i < len(correct))

            def found(source):
                rows = [i for i, row in enumerate(typos, len(correct)) if row[2] == source]
                return 100.0 * sum(i in hit for i in rows) / max(len(rows), 1)

            print(f"{tool:<12} {len(correct):>11} {100.0 * alarms / max(len(correct), 1):>14.1f} "
                  f"{found('a'):>15.1f} {found('b'):>15.1f}")
    for tool, parts in flagged_parts.items():
        if args.top:
            print(f"\n{tool}: the {args.top} parts flagged most often in correct identifiers")
            print(", ".join(f"{word} {count}" for word, count in parts.most_common(args.top)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--split", choices=("tune", "held-out"), default="tune")
    common.add_argument("--data", default="/tmp/identifier-typos",
                        help="where make writes the identifiers and score reads them")
    commands = parser.add_subparsers(dest="command", required=True)
    making = commands.add_parser("make", parents=[common])
    making.add_argument("--cache", default="/tmp/benchcache",
                        help="the folder of the unpacked trees (CACHE/PACKAGE)")
    making.add_argument("--per-tree", type=int, default=300)
    making.add_argument("--seed", type=int, default=1)
    scoring = commands.add_parser("score", parents=[common])
    scoring.add_argument("tools", nargs="+", choices=sorted(FINDING), metavar="TOOL")
    scoring.add_argument("--lexivane", default="lexivane")
    scoring.add_argument("--lexivane-args", default="",
                         help="more options for lexivane check, e.g. \"--no-rule names\"")
    scoring.add_argument("--cspell", default=os.environ.get("CSPELL", CSPELL))
    scoring.add_argument("--top", type=int, default=0, metavar="K")
    args = parser.parse_args()
    make(args) if args.command == "make" else score(args)


if __name__ == "__main__":
    main()
