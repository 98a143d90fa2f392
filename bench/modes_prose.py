"""The prose a reader of a document sees, per format, for the modes benchmark.

Markdown, HTML and LaTeX go through pandoc's plain-text writer, man pages through `man -l` with
a very wide page and `col -b`, and source code is cut down to its comments and string literals.
Used by make-modes-corpus.py (to plant misspellings where a reader sees them) and by
compare-modes.sh (to tell noise from markup and noise from prose).
"""
import io
import os
import re
import subprocess
import sys
import tokenize

FORMATS = ["markdown", "html", "tex", "man", "ccpp", "python", "shell"]


def _run(cmd, stdin=None, env=None):
    return subprocess.run(cmd, input=stdin, capture_output=True, env=env, check=False).stdout.decode(
        "utf-8", "replace")


def _c_like(text):
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i + 2:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j
            out.append(text[i + 2:j])
            i = j + 2
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"' and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(text[i + 1:j])
            i = j + 1
        elif c == "'":
            j = text.find("'", i + 1 + (text[i + 1:i + 2] == "\\"))
            i = (j + 1) if 0 <= j - i <= 8 else i + 1
        else:
            i += 1
    return "\n".join(out)


def _python(text):
    out = []
    try:
        for tok in tokenize.generate_tokens(io.StringIO(text).readline):
            if tok.type == tokenize.COMMENT:
                out.append(tok.string[1:])
            elif tok.type == tokenize.STRING:
                s = re.sub(r"^[rRbBuUfF]*", "", tok.string)
                q = 3 if s[:3] in ('"""', "'''") else 1
                out.append(s[q:-q])
    except (tokenize.TokenError, IndentationError, SyntaxError):
        pass
    return "\n".join(out)


def _shell(text):
    out = []
    for line in text.splitlines():
        if line.startswith("#!"):
            continue
        out.extend(m.group(1) if m.group(1) is not None else m.group(2) for m in re.finditer(r'"([^"]*)"|\'([^\']*)\'', line))
        m = re.search(r'(?:^|[\s;])#(.*)$', re.sub(r'"[^"]*"|\'[^\']*\'', lambda m: " " * len(m.group(0)), line))
        if m:
            out.append(m.group(1))
    return "\n".join(out)


def render(fmt, path):
    """The rendered prose of the file at path, read as the given format."""
    if fmt in ("markdown", "html", "tex"):
        reader = {"markdown": "gfm", "html": "html", "tex": "latex"}[fmt]
        return _run(["pandoc", "-f", reader, "-t", "plain", "--wrap=none", path])
    if fmt == "man":
        env = dict(os.environ, MANWIDTH="1000", MAN_KEEP_FORMATTING="0")
        return _run(["col", "-b"], stdin=_run(["man", "-l", path], env=env).encode(), env=env)
    text = open(path, encoding="utf-8", errors="replace").read()
    return {"ccpp": _c_like, "python": _python, "shell": _shell}[fmt](text)


if __name__ == "__main__":
    sys.stdout.write(render(sys.argv[1], sys.argv[2]))
