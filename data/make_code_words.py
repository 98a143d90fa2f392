#!/usr/bin/env python3
"""Builds data/code_words.txt, the front ends' lists of programming words, from npm's @cspell
dictionaries of programming languages, filtered by Debian's lists of misspellings and of English.

The front ends accept a word of a document that the other lists reject when the general list, or
the list of the document's language, holds it (frontend/session/code_words.h). Five lists, each
a section of the file:

- `general`, the vocabulary of programming in any language: the entries that the dictionaries
  of at least CONSENSUS (2) languages list (`ctx`, `idx`, `ptr`, `async`, `decrypt`); the words
  of five letters or more of SCOWL's sizes 70 and 80 (Debian's scowl 2020.12.07) that some
  language's dictionary lists (`renderer`, `comparator`, `shader`); and the software terms'
  acronyms of three or four letters in small letters (`tcp`, `btn`), as identifiers write them;
- `c`, for the C family: @cspell/dict-cpp's refined list (the C and C++ standard libraries), and
  those entries of its other lists that name a page of sections 2 and 3 of the C library's
  manual (Debian's manpages-dev 6.03: `strrchr`, `setenv`, `mmap`);
- `python`: @cspell/dict-python's entries that occur in the source of Python's standard library
  (Debian's libpython3.11-stdlib 3.11.2, /usr/lib/python3.11), as a name or a part of one;
- `shell`: @cspell/dict-shell's commands, builtins and options;
- `html`: @cspell/dict-html's and @cspell/dict-css's elements, attributes, properties and values,
  less the names of character references (which never reach the check as words);
- `identifiers`, asked for the words of identifiers alone: the parts of names (cut as the front
  ends cut identifiers) that IDENTIFIER_NAMES (2) distinct names use in each of
  IDENTIFIER_CORPORA (2) of four corpora of code: the kernel's C sources (Debian's
  linux-source-6.1, read from its tarball), Python's standard library, and the headers of
  libc6-dev and libstdc++-12-dev (`tok`, `hdr`, `nxt`, `rlimit`); less what another list holds,
  and with codespell's list for code (`uint` for `unit`) left out of its misspellings.
A language's list leaves out what the general list holds.

Every list then drops (data/README.md says why each filter is there, and what it costs):
- what is not ASCII letters alone, and entries of one or two letters;
- what codespell 2.2.2 (Debian) lists as a misspelling in any of its dictionaries;
- mixed-case entries (`GgA`, `warpSize`) and all-capital ones of five letters or more (`BADDB`);
- what the embedded list (unless the names rule flags it in small letters) or the extra word
  list already accepts;
- a word one typing slip (a letter put in, left out, changed, or two swapped) from a common word
  (not in `identifiers`, whose corpora vouch for every entry)
  of five letters or more, that is not that word with an ending (`parsers`): common English
  (SCOWL size 35 or less: `pinger` is a slip of `finger`) or an entry of SHARED (4) languages
  (`strcut` of `struct`); unless VOUCHING (3) languages list it (`fread`, a slip of `bread`) or,
  in a language's list, the language's own names hold it (a manual page, a name in Python's
  library, a builtin or option of bash 5.2).
An entry in small letters is kept rather than a capitalised twin. Lines: a heading `=NAME`, then
the section's entries sorted by the lower-cased entry, then by the entry, in byte order.

    apt-get install scowl codespell manpages-dev libpython3.11-stdlib linux-source-6.1 \
        libc6-dev libstdc++-12-dev
    npm install --prefix /tmp/codedicts @cspell/dict-cpp@7.2.0 ...   (each of PACKAGES)
    python3 data/make_code_words.py --cspell-dir /tmp/codedicts/node_modules/@cspell

It also writes the packages' licences (all MIT) to data/COPYING.cspell-dicts. The same inputs
give the same bytes; the script stops when a package's version differs from PACKAGES.
"""

import argparse
import html.entities
import json
import os
import re
import string
import subprocess
import sys
import tarfile
import textwrap
from collections import Counter

from make_extra_words import entries_of as extra_entries_of, read_lines

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUTPUT = os.path.join(HERE, "code_words.txt")
DEFAULT_LICENCES = os.path.join(HERE, "COPYING.cspell-dicts")
EMBEDDED_LIST = os.path.join(HERE, "words.dic")
EXTRA_LIST = os.path.join(HERE, "extra_words.txt")
NAME_LIST = os.path.join(HERE, "name_words.txt")
SCOWL_DIR = "/usr/share/dict/scowl"
CODESPELL_DIR = "/usr/lib/python3/dist-packages/codespell_lib/data"
CODESPELL_CODE_LIST = "dictionary_code.txt"
MANUAL_FILES = "/var/lib/dpkg/info/manpages-dev.list"
PYTHON_LIBRARY = "/usr/lib/python3.11"
KERNEL_SOURCE = "/usr/src/linux-source-6.1.tar.xz"
HEADER_PACKAGES = ("libc6-dev", "libstdc++-12-dev")

# The packages read, with the versions the committed file was made from.
PACKAGES = {
    "dict-cpp": "7.2.0", "dict-csharp": "4.0.8", "dict-css": "4.1.2", "dict-dart": "2.3.2",
    "dict-dotnet": "5.0.15", "dict-elixir": "4.0.8", "dict-fsharp": "1.1.1",
    "dict-golang": "6.0.29", "dict-haskell": "4.0.6", "dict-html": "4.0.16",
    "dict-julia": "1.1.1", "dict-kotlin": "1.1.1", "dict-lua": "4.0.8", "dict-node": "5.0.9",
    "dict-php": "4.1.3", "dict-powershell": "5.0.17", "dict-python": "4.5.3", "dict-r": "2.1.1",
    "dict-ruby": "5.1.4", "dict-rust": "4.1.2", "dict-scala": "5.0.11", "dict-shell": "1.2.0",
    "dict-software-terms": "5.4.9", "dict-swift": "2.0.6", "dict-typescript": "3.2.3",
    "dict-zig": "1.0.0",
}
# The dictionaries of programming languages and their standard libraries, whose agreement makes
# the general list. Java's is packed in a binary form, so it is not read.
LANGUAGES = ("cpp", "csharp", "dart", "dotnet", "elixir", "fsharp", "golang", "haskell", "julia",
             "kotlin", "lua", "node", "php", "powershell", "python", "r", "ruby", "rust", "scala",
             "swift", "typescript", "zig")
# A language's own vocabulary, where its package has more: Rust's names of crates and CUDA's
# names are no words of the language.
LANGUAGE_FILES = {"cpp": {"cpp.txt.gz", "cpp-compound-words.txt.gz", "cpp-legacy.txt.gz",
                          "cpp-refined.txt.gz"},
                  "rust": {"rust.txt.gz"}}
# How many languages' dictionaries make an entry general vocabulary, and how many make it
# common enough in code to be kept though it is a slip of a common word.
CONSENSUS = 2
VOUCHING = 3
# How many languages make an entry a word of code so common that a slip of it is no word.
SHARED = 4
SCOWL_SIZES = (10, 20, 35, 40, 50, 55, 60, 70, 80, 95)
COMMON_SCOWL_SIZE = 35
SLIP_MIN_LENGTH = 5
# The walk never judges a part of a name of two letters, and in prose such a word is as often a
# slip (`im`, `el`) as an abbreviation.
MIN_LENGTH = 3
# Endings that make a word of another (`parse`, `parser`, `parsers`), where a slip at a word's
# end is rare.
ENDINGS = ("s", "r", "d", "es", "er", "or", "ed", "ly")
RARER_MIN_LENGTH = 5

# The vocabulary of identifiers: the parts of names made of two parts or more (`tok_type`,
# `hdrLen`) that IDENTIFIER_NAMES (2) distinct names use in each of IDENTIFIER_CORPORA (2) of
# the corpora of code.
IDENTIFIER_NAMES = 2
IDENTIFIER_CORPORA = 2
IDENTIFIER = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
ENTRY = re.compile(r"[A-Za-z]+")
NAME_PART = re.compile(r"[A-Z]?[a-z]+|[A-Z]+(?![a-z])")


def entries_of(path):
    """The entries of a list that are ASCII letters alone (comments, blanks, forbidden words,
    affix marks and other syntax left out)."""
    return {e for e in extra_entries_of(read_lines(path)) if ENTRY.fullmatch(e)}


def package_files(cspell_dir, package, names=None):
    folder = os.path.join(cspell_dir, package)
    with open(os.path.join(folder, "package.json"), encoding="utf-8") as f:
        version = json.load(f)["version"]
    if version != PACKAGES[package]:
        raise SystemExit(f"@cspell/{package} is {version}, not {PACKAGES[package]}")
    dict_dir = os.path.join(folder, "dict")
    if not os.path.isdir(dict_dir):
        dict_dir = folder
    found = sorted(n for n in os.listdir(dict_dir) if n.endswith((".txt", ".txt.gz")))
    return [os.path.join(dict_dir, n) for n in found if names is None or n in names]


def package_entries(cspell_dir, package, names=None):
    entries = set()
    for path in package_files(cspell_dir, package, names):
        entries |= entries_of(path)
    return entries


def scowl_words(sizes, parts=("words",)):
    words = set()
    for size in sizes:
        for part in parts:
            for spelling in ("english", "american"):
                path = os.path.join(SCOWL_DIR, f"{spelling}-{part}.{size}")
                if os.path.exists(path):
                    words.update(w.lower() for w in read_lines(path))
    if not words:
        raise SystemExit(f"no SCOWL lists in {SCOWL_DIR} (apt-get install scowl)")
    return words


def misspellings(skipped=()):
    """Every misspelling codespell knows, in lower case, but those of its `skipped` lists."""
    found = set()
    for name in sorted(os.listdir(CODESPELL_DIR)):
        if name.startswith("dictionary") and name.endswith(".txt") and name not in skipped:
            for line in read_lines(os.path.join(CODESPELL_DIR, name)):
                if "->" in line:
                    found.add(line.split("->", 1)[0].strip().lower())
    if not found:
        raise SystemExit(f"no codespell lists in {CODESPELL_DIR} (apt-get install codespell)")
    return found


def manual_names():
    """The names of the pages of sections 2 and 3 of the C library's manual."""
    with open(MANUAL_FILES, encoding="utf-8") as f:
        paths = f.read().split()
    return {os.path.basename(p).split(".")[0].lower() for p in paths
            if re.search(r"/man[23]/[^/]+\.[23]\.gz$", p)}


def python_library_words():
    """The words (names and their parts, lower-cased) of the standard library's source."""
    words = set()
    for root, dirs, files in os.walk(PYTHON_LIBRARY):
        dirs[:] = sorted(d for d in dirs if d not in ("site-packages", "dist-packages"))
        for name in sorted(files):
            if name.endswith(".py"):
                with open(os.path.join(root, name), "rb") as f:
                    text = f.read().decode("utf-8", "replace")
                for token in set(re.findall(r"[A-Za-z]+", text)):
                    words.add(token.lower())
                    words.update(p.lower() for p in NAME_PART.findall(token))
    if not words:
        raise SystemExit(f"no Python source in {PYTHON_LIBRARY}")
    return words


def shell_names():
    """The builtins, keywords and options of bash, as bash itself lists them."""
    listed = subprocess.run(["bash", "-c", "compgen -b; compgen -k; shopt; set -o"],
                            capture_output=True, text=True, check=True).stdout
    return {line.split()[0].lower() for line in listed.splitlines() if line.strip()}


def html_references():
    return {name.rstrip(";").lower() for name in html.entities.html5}


def identifier_parts(name):
    """The parts of `name` of letters alone, in small letters, cut as the front ends cut an
    identifier (frontend/words/identifier_parts.h): at `_` and digits, before a capital after a
    small letter, and before the last capital of a run that a small letter follows (unless that
    is a lone `s`: `URLs`)."""
    parts = []
    for piece in re.split(r"[_0-9]+", name):
        start = 0
        for i in range(1, len(piece)):
            c, before = piece[i], piece[i - 1]
            small_next = i + 1 < len(piece) and piece[i + 1].islower()
            plural = small_next and piece[i + 1] == "s" and (
                i + 2 == len(piece) or not piece[i + 2].islower())
            if c.isupper() and (before.islower() or (before.isupper() and small_next
                                                       and not plural)):
                parts.append(piece[start:i])
                start = i
        parts.append(piece[start:])
    return [p.lower() for p in parts if p]


def names_by_part(texts):
    """For each part of the names of two parts or more in `texts`, how many distinct names."""
    names = set()
    for text in texts:
        names.update(IDENTIFIER.findall(text))
    counts = Counter()
    for name in names:
        counts.update(set(identifier_parts(name)))
    return counts


def kernel_texts():
    """The C sources and headers of the kernel, from Debian's linux-source package."""
    if not os.path.exists(KERNEL_SOURCE):
        raise SystemExit(f"no {KERNEL_SOURCE} (apt-get install linux-source-6.1)")
    with tarfile.open(KERNEL_SOURCE, "r:xz") as tar:
        for member in tar:
            if member.isfile() and member.name.endswith((".c", ".h")):
                yield tar.extractfile(member).read().decode("utf-8", "replace")


def python_texts():
    for root, dirs, files in os.walk(PYTHON_LIBRARY):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(".py"):
                with open(os.path.join(root, name), "rb") as f:
                    yield f.read().decode("utf-8", "replace")


def package_header_texts(package):
    listed = subprocess.run(["dpkg", "-L", package], capture_output=True, text=True,
                            check=True).stdout.split("\n")
    for path in sorted(listed):
        if os.path.isfile(path) and "/include/" in path:
            with open(path, "rb") as f:
                yield f.read().decode("utf-8", "replace")


def identifier_vocabulary():
    """The parts that IDENTIFIER_NAMES names of each of IDENTIFIER_CORPORA corpora use: the
    kernel (C), Python's library, and the headers of the C and C++ libraries."""
    corpora = [kernel_texts(), python_texts()] + [package_header_texts(p)
                                                  for p in HEADER_PACKAGES]
    agreement = Counter()
    for texts in corpora:
        counts = names_by_part(texts)
        agreement.update(p for p, n in counts.items() if n >= IDENTIFIER_NAMES)
    return {p for p, n in agreement.items() if n >= IDENTIFIER_CORPORA}


class Accepted:
    """What the embedded and extra lists accept in every letter case, with the extra list's
    rules of letter case; a name of the embedded list is accepted Capitalised only."""

    def __init__(self):
        with open(EMBEDDED_LIST, "rb") as f:
            raw = f.read().rstrip(b"\0").split(b"\r\n")
        self.embedded = {line.decode("cp1252") for line in raw}
        # The names rule flags a name of the embedded list written in small letters.
        with open(NAME_LIST, encoding="ascii") as f:
            self.embedded -= set(f.read().split())
        with open(EXTRA_LIST, encoding="ascii") as f:
            self.extra = {}
            for e in f.read().split():
                self.extra.setdefault(e.lower(), set()).add(e)

    def __call__(self, entry):
        """Whether the lists accept `entry` in every case it accepts (sorted_word_list.h): an
        entry of the extra list accepts itself, and its ALL CAPS form; one in small letters
        every case."""
        lower = entry.lower()
        if lower in self.embedded:
            return True
        twins = self.extra.get(lower, set())
        return lower in twins or entry in twins or (entry.isupper() and bool(twins))


def has_usable_case(entry):
    """Small letters, Capitalised, or capitals of four letters at most."""
    if entry == entry.lower():
        return True
    if entry.isupper():
        return len(entry) <= 4
    return entry[0].isupper() and entry[1:] == entry[1:].lower()


def one_slip_from(word):
    """Every word one typing slip from `word`: a letter put in, left out, changed, two swapped."""
    letters = string.ascii_lowercase
    splits = [(word[:i], word[i:]) for i in range(len(word) + 1)]
    slips = {a + b[1:] for a, b in splits if b}
    slips |= {a + b[1] + b[0] + b[2:] for a, b in splits if len(b) > 1}
    slips |= {a + c + b[1:] for a, b in splits if b for c in letters}
    slips |= {a + c + b for a, b in splits for c in letters}
    slips.discard(word)
    return slips


class Filters:
    def __init__(self, counts, shared):
        self.misspelt = misspellings()
        self.accepted = Accepted()
        common = scowl_words(s for s in SCOWL_SIZES if s <= COMMON_SCOWL_SIZE) | shared
        self.common = {w for w in common if len(w) >= SLIP_MIN_LENGTH and ENTRY.fullmatch(w)}
        self.counts = counts  # why entries were left out, by list and reason

    def is_slip(self, word):
        """Whether `word` is one slip from a common word, and not a common word with an ending
        (`balancer`, `parsers`, `renderer`: words far more often than slips)."""
        if word in self.common:
            return False
        if any(word.endswith(e) and word[:-len(e)] in self.common for e in ENDINGS):
            return False
        return any(s in self.common for s in one_slip_from(word))

    def apply(self, name, entries, vouched):
        """`entries` through every filter; `vouched(lower)` says whether a slip is kept."""
        why = self.counts.setdefault(name, Counter())
        why["candidates"] = len(entries)
        kept = set()
        for entry in entries:
            lower = entry.lower()
            if len(entry) < MIN_LENGTH:
                why["short"] += 1
            elif lower in self.misspelt:
                why["codespell"] += 1
            elif not has_usable_case(entry):
                why["case"] += 1
            elif self.accepted(entry):
                why["accepted"] += 1
            elif self.is_slip(lower) and not vouched(lower):
                why["slip"] += 1
            else:
                kept.add(entry)
        # A lower-case entry accepts every case; its other-case twins add nothing.
        kept = {e for e in kept if e == e.lower() or e.lower() not in kept}
        why["kept"] = len(kept)
        return kept


def build(cspell_dir, counts):
    languages = {lang: package_entries(cspell_dir, f"dict-{lang}", LANGUAGE_FILES.get(lang))
                 for lang in LANGUAGES}
    agreement = Counter()
    for entries in languages.values():
        agreement.update({e.lower() for e in entries})
    agreed = {w for w, n in agreement.items() if n >= CONSENSUS}
    vouched = {w for w, n in agreement.items() if n >= VOUCHING}
    filters = Filters(counts, {w for w, n in agreement.items() if n >= SHARED})
    programming = set().union(*languages.values())
    programming_lower = {e.lower() for e in programming}
    terms = package_entries(cspell_dir, "dict-software-terms")
    rarer_english = scowl_words((70, 80))

    general = {e for e in programming if e.lower() in agreed}
    general |= {w for w in rarer_english if len(w) >= RARER_MIN_LENGTH and w in programming_lower}
    general |= {t.lower() for t in terms if t.isupper() and 3 <= len(t) <= 4}

    cpp = languages["cpp"]
    refined = package_entries(cspell_dir, "dict-cpp", {"cpp-refined.txt.gz"})
    manual = manual_names()
    c_family = refined | {e for e in cpp if e.lower() in manual}

    library = python_library_words()
    python = {e for e in languages["python"] if e.lower() in library}

    shell = package_entries(cspell_dir, "dict-shell")

    references = html_references()
    web = package_entries(cspell_dir, "dict-html") | package_entries(cspell_dir, "dict-css")
    web = {e for e in web if e.lower() not in references}

    lists = {"general": filters.apply("general", general, lambda w: w in vouched)}
    own = {"c": (c_family, lambda w: w in manual or w in {r.lower() for r in refined}),
           "python": (python, lambda w: w in library),
           "shell": (shell, lambda w, bash=shell_names(): w in bash),
           "html": (web, lambda w: False)}
    general_lower = {g.lower() for g in lists["general"]}
    for name, (entries, own_names) in own.items():
        # What the general list holds, a language's list need not: every mode has both.
        entries = {e for e in entries if e.lower() not in general_lower}
        lists[name] = filters.apply(name, entries, lambda w, v=own_names: w in vouched or v(w))
    # Parts of names no other list holds; judged in identifiers alone.
    held = {e.lower() for entries in lists.values() for e in entries}
    parts = {p for p in identifier_vocabulary() if p not in held}
    # codespell's list for code holds names of code as misspellings of words (`uint` of `unit`,
    # `stdio` of `studio`, `creat` of `create`): right for prose, wrong for identifiers.
    filters.misspelt = misspellings(skipped={CODESPELL_CODE_LIST})
    lists["identifiers"] = filters.apply("identifiers", parts, lambda w: True)
    return lists


def write_licences(cspell_dir, path):
    """Each package's licence, those of the same text once, under the names of the packages."""
    packages_of = {}
    for package in sorted(PACKAGES):
        with open(os.path.join(cspell_dir, package, "LICENSE"), encoding="utf-8") as f:
            packages_of.setdefault(f.read().strip(), []).append(package)
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write("The lists of programming words (code_words.txt) are taken from these npm\n"
                "packages, each under the licence below its names.\n")
        for text, packages in sorted(packages_of.items(), key=lambda item: item[1]):
            names = textwrap.fill(", ".join(f"@cspell/{p} {PACKAGES[p]}" for p in packages), 78)
            f.write(f"\n{'=' * 78}\n{names}\n\n{text}\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--cspell-dir", required=True,
                        help="a folder of unpacked @cspell packages, each in dict-NAME")
    parser.add_argument("--output", default=DEFAULT_OUTPUT)
    parser.add_argument("--licences", default=DEFAULT_LICENCES)
    args = parser.parse_args()
    write_licences(args.cspell_dir, args.licences)

    counts = {}
    lists = build(args.cspell_dir, counts)
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        for name, entries in lists.items():
            f.write(f"={name}\n")
            f.write("".join(e + "\n" for e in sorted(entries, key=lambda e: (e.lower(), e))))
    for name, why in counts.items():
        print(f"{name}: " + ", ".join(f"{k} {v}" for k, v in sorted(why.items())),
              file=sys.stderr)
    print(f"{os.path.getsize(args.output)} bytes", file=sys.stderr)


if __name__ == "__main__":
    main()
