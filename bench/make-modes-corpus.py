#!/usr/bin/env python3
"""Builds testdata/modes-corpus/ from documents of Debian packages.

Each file is copied under its format's folder and gets misspellings planted in its prose: a
seeded choice of words from codespell's list of common misspellings replaces correct words on
lines a reader sees. A planted word is kept only if it shows in the file's rendered prose (see
modes_prose.py) once planted, so none of them hides in markup. The planted words go to
manifest.tsv, the provenance of every file to README.md. The same machine and seed give the same
corpus. A source that names a package version is taken from that package, fetched with
`apt-get download` and unpacked into a temporary folder, so it needs not be installed.

Usage: bench/make-modes-corpus.py [SEED]   (needs codespell, pandoc, man)
"""
import os
import random
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from modes_prose import render  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.normpath(os.path.join(HERE, "..", "testdata", "modes-corpus"))
CODESPELL = "/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt"

# (format, source path, name in the corpus[, package=version to fetch it from, its licence])
SOURCES = [
    ("markdown", "/usr/share/doc/nodejs/api/tty.md", "nodejs-tty.md"),
    ("markdown", "/usr/share/doc/git/README.md", "git-README.md"),
    ("markdown", "/usr/share/doc/libbenchmark-dev/benchmark/reducing_variance.md", "benchmark-reducing_variance.md"),
    ("markdown", "/usr/share/doc/systemd/DISTRO_PORTING.md", "systemd-DISTRO_PORTING.md"),
    ("html", "/usr/share/doc/base-passwd/users-and-groups.html", "base-passwd-users-and-groups.html"),
    ("html", "/usr/share/doc/libffi8/html/The-Closure-API.html", "libffi-The-Closure-API.html"),
    ("html", "/usr/share/doc/libffi8/html/Introduction.html", "libffi-Introduction.html"),
    ("tex", "/usr/share/emacs/28.2/etc/refcards/gnus-refcard.tex", "emacs-gnus-refcard.tex"),
    ("man", "/usr/share/man/man1/make.1.gz", "make.1"),
    ("man", "/usr/share/man/man1/xargs.1.gz", "xargs.1"),
    ("man", "/usr/share/man/man7/regex.7.gz", "regex.7"),
    ("man", "/usr/share/man/man5/passwd.5.gz", "passwd.5"),
    ("ccpp", "/usr/include/stdio.h", "stdio.h"),
    ("ccpp", "/usr/include/c++/12/bits/stl_pair.h", "stl_pair.h"),
    ("python", "/usr/lib/python3.11/textwrap.py", "textwrap.py"),
    ("python", "/usr/lib/python3.11/shlex.py", "shlex.py"),
    ("python", "/usr/lib/python3.11/fnmatch.py", "fnmatch.py"),
    ("shell", "/usr/bin/ldd", "ldd.sh"),
    ("shell", "/usr/sbin/update-ca-certificates", "update-ca-certificates.sh"),
    ("shell", "/usr/bin/gettext.sh", "gettext.sh"),
    ("tex", "/usr/share/doc/texlive-doc/latex/amsmath/testmath.tex.gz", "amsmath-testmath.tex",
     "texlive-latex-base-doc=2022.20230122-3",
     "the file's header: copies unchanged, or changed under another name"),
    ("tex", "/usr/share/doc/chktex/ChkTeX.tex.gz", "chktex-manual.tex", "chktex=1.7.8-1",
     "GPL-2+ (the file's header)"),
]

WORD = re.compile(r"(?<![\w\\@$%&.\-/])([A-Za-z][a-z]{3,})(?![\w\-/(])")


def misspellings():
    """correct word -> its common misspellings, from codespell's main list."""
    out = {}
    for line in open(CODESPELL, encoding="utf-8"):
        wrong, _, right = line.strip().partition("->")
        if "," in right or not re.fullmatch(r"[a-z]{4,}", wrong) or not re.fullmatch(r"[a-z]{4,}", right):
            continue
        out.setdefault(right, []).append(wrong)
    return out


def in_prose(word, text):
    return re.search(r"(?<![A-Za-z])" + re.escape(word) + r"(?![A-Za-z])", text) is not None


def hidden_spans(fmt, line):
    """Spans of a line that are code or markup even when the line is prose."""
    pats = {"markdown": r"`[^`]*`|\]\([^)]*\)|<[^>]*>", "html": r"<[^>]*>|<code>.*?</code>|<tt>.*?</tt>",
            "tex": r"\\(?:begin|end|ref|eqref|label|cite\w*)\{[^}]*\}|\\[A-Za-z@]+|%.*$|\$[^$]*\$", "man": r"^\.\S*|\\f\S|\\\S",
            "ccpp": r"`[^`]*`|[@\\][a-z]+\s+\S+", "python": r"`[^`]*`|:\w+\s+\w+:", "shell": r"`[^`]*`"}.get(fmt)
    return [m.span() for m in re.finditer(pats, line)] if pats else []


def candidates(fmt, lines, rendered, fixes):
    out, code = [], False
    for no, line in enumerate(lines):
        s = line.strip()
        if fmt == "markdown" and s.startswith("```") or fmt == "man" and s in (".nf", ".fi", ".EX", ".EE") \
                or fmt == "html" and re.search(r"</?pre", s) or fmt == "tex" and re.search(r"\\(begin|end)\{verbatim", s):
            code = not code if fmt not in ("man", "tex") else s in (".nf", ".EX") or "begin" in s
            continue
        # code examples in documents; in source, preprocessor lines and doctest lines are code
        if code or fmt == "markdown" and line.startswith("    ") or fmt == "man" and s.startswith('.\\"') \
                or fmt == "ccpp" and (s.startswith("#") or s.endswith("\\")) \
                or fmt == "python" and s.startswith((">>>", "... ")):
            continue
        spans = hidden_spans(fmt, line)
        for m in WORD.finditer(line):
            w = m.group(1)
            if w.lower() not in fixes or any(a <= m.start() < b for a, b in spans) or not in_prose(w, rendered):
                continue
            out.append((no, m.start(), w))
    return out


def plant(fmt, src, dst, rng, fixes, used):
    data = subprocess.run(["zcat", "-f", src], capture_output=True, check=True).stdout.decode("utf-8")
    open(dst, "w", encoding="utf-8").write(data)
    lines = data.split("\n")
    cands = candidates(fmt, lines, render(fmt, dst), fixes)
    rng.shuffle(cands)
    want = max(4, min(25, len(data) // 900))
    kept, taken_lines = [], set()
    for _ in range(4):
        batch = []
        while cands and len(kept) + len(batch) < want:
            no, col, w = cands.pop()
            if no in taken_lines:
                continue
            choices = [x for x in fixes[w.lower()] if x not in used]
            if not choices:
                continue
            wrong = rng.choice(sorted(choices))
            if w[0].isupper():
                wrong = wrong.capitalize()
            batch.append((no, col, w, wrong))
            taken_lines.add(no)
            used.add(wrong.lower())
        if not batch:
            break
        for no, col, w, wrong in batch:
            lines[no] = lines[no][:col] + wrong + lines[no][col + len(w):]
        open(dst, "w", encoding="utf-8").write("\n".join(lines))
        rendered = render(fmt, dst)
        for no, col, w, wrong in batch:
            if in_prose(wrong, rendered):
                kept.append((no + 1, w, wrong))
            else:
                lines[no] = lines[no][:col] + w + lines[no][col + len(wrong):]
        open(dst, "w", encoding="utf-8").write("\n".join(lines))
        if len(kept) >= want:
            break
    return sorted(kept), len(data)


def fetch(pinned, work):
    """Unpacks the package `name=version` under work; returns its root, name and version."""
    root = os.path.join(work, pinned)
    if not os.path.isdir(root):
        subprocess.run(["apt-get", "download", pinned], cwd=work, check=True, capture_output=True)
        name = pinned.split("=")[0]
        deb = next(os.path.join(work, f) for f in sorted(os.listdir(work)) if f.startswith(name + "_") and f.endswith(".deb"))
        subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
    name, _, version = pinned.partition("=")
    return root, name, version


def licence(pkg, root=""):
    path = f"/usr/share/doc/{pkg}/copyright"
    try:
        text = open(root + path, encoding="utf-8", errors="replace").read()
    except OSError:
        return "?"
    m = re.search(r"^License:\s*(\S.*)$", text, re.M)
    return m.group(1).strip() if m else "see " + path


README = """# Corpus for the modes benchmark

Documents from Debian 12 packages on the machine that built it, one folder per format, each with
common misspellings planted in its prose by `bench/make-modes-corpus.py @SEED@` (made by that
script: do not edit by hand). `manifest.tsv` lists every planted word: file, line, the correct
word it replaced, the misspelling. The misspellings come from codespell's main list
(`/usr/lib/python3/dist-packages/codespell_lib/data/dictionary.txt`, entries with one correction),
each used once in the corpus. Apart from the planted words the files are as the packages ship
them (man pages uncompressed; `ldd`, `update-ca-certificates` given a `.sh` name so that their
format is known from it).

LaTeX: `emacs-gnus-refcard.tex` is the one of Emacs's reference cards in LaTeX (the others are
plain TeX with the cards' own macros, which pandoc renders to nothing); it keeps nearly all its
prose in macro definitions and tables. `amsmath-testmath.tex` is a LaTeX sample article (sections,
citations, cross-references, much display math, figures, verbatim) and `chktex-manual.tex` a LaTeX
manual (lists, descriptions, verbatim), each taken from the package version named in its row,
which the script fetches with `apt-get download`; their licence is given by the file's header.
No YAML file with prose comments was found, so the shell/YAML format holds shell scripts only.

| file | bytes | planted | package | path | licence |
|---|---:|---:|---|---|---|
@ROWS@

The licence is the first `License:` field of `/usr/share/doc/PACKAGE/copyright`; the copyright
file of each package holds the full terms.
"""


def main():
    seed = sys.argv[1] if len(sys.argv) > 1 else "19"
    with tempfile.TemporaryDirectory() as work:
        build(seed, work)


def build(seed, work):
    fixes, used = misspellings(), set()
    manifest = ["file\tline\tcorrect\tplanted"]
    rows = []
    for fmt, src, name, *package in SOURCES:
        os.makedirs(os.path.join(OUT, fmt), exist_ok=True)
        rel = f"{fmt}/{name}"
        root, terms = "", None
        if package:
            root, pkg, ver = fetch(package[0], work)
            terms = package[1]
        else:
            pkg = subprocess.run(["dpkg", "-S", src], capture_output=True, text=True).stdout.split(":")[0]
            ver = subprocess.run(["dpkg-query", "-W", "-f=${Version}", pkg], capture_output=True, text=True).stdout
        kept, size = plant(fmt, root + src, os.path.join(OUT, rel), random.Random(f"{seed}:{rel}"), fixes, used)
        manifest += [f"{rel}\t{no}\t{w}\t{wrong}" for no, w, wrong in kept]
        rows.append(f"| `{rel}` | {size:,} | {len(kept)} | {pkg} {ver} | `{src}` | {terms or licence(pkg, root)} |")
        print(f"{rel}: {size} bytes, {len(kept)} planted", file=sys.stderr)
    open(os.path.join(OUT, "manifest.tsv"), "w").write("\n".join(manifest) + "\n")
    open(os.path.join(OUT, "README.md"), "w").write(README.replace("@SEED@", seed).replace("@ROWS@", "\n".join(rows)))


if __name__ == "__main__":
    main()
