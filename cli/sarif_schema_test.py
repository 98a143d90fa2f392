#!/usr/bin/env python3
"""The CI formats of `lexivane check` read back as their readers read them.

`--format sarif` must write one log that the published SARIF 2.1.0 JSON schema accepts (with
its URI formats checked), whose locations and fixes point at the misspelt words themselves:
each region, cut from the file in UTF-16 code units, is the word the message names, and each
artifact URI decodes to the file. `--format github` must write one workflow command a finding
whose columns (the end one inclusive) cut out the same word. Both are run on ASCII and
non-ASCII text, a word at a line's end and at the file's end, several files (names with a space,
a comma, non-ASCII letters, an absolute path), standard input, and files with no findings.

Usage: sarif_schema_test.py LEXIVANE SCHEMA WORK_DIR. Exit status 0 when all held; otherwise
each failure is printed and the status is 1.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import urllib.parse

import jsonschema

LEXIVANE, SCHEMA, WORK_DIR = map(os.path.abspath, sys.argv[1:4])

FILES = {
    "ascii.txt": "The teh cat sat on the mat.\nAnother wrold here.\n",
    "non ascii/café, naïve.md": "Café 😀 teh and 𝄞 wrold\r\nend of line: recieve\nlast teh",
    "clean.txt": "Nothing is wrong here.\n",
}

# RFC 3986: a URI reference is made of these characters, with `%` only before two hex digits;
# a URI starts with a scheme. jsonschema checks these formats only when an optional module is
# installed, so the test checks them itself.
URI_REFERENCE = re.compile(r"^(?:[A-Za-z0-9\-._~!$&'()*+,;=:@/?#]|%[0-9A-Fa-f]{2})*$")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.\-]*:")

failures = []


def fail(message):
    failures.append(message)


def run(args, stdin=None):
    done = subprocess.run([LEXIVANE, "check", *args], input=stdin, capture_output=True,
                          cwd=WORK_DIR)
    return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")


def cut(path, line, start, end):
    """The UTF-16 units [start, end) (from 1) of a line (from 1) of a file, as text."""
    text = FILES.get(path) if path is not None else STDIN
    if text is None:
        text = FILES[os.path.relpath(path, WORK_DIR)]
    lines = re.split(r"\r\n|\r|\n", text)
    units = lines[line - 1].encode("utf-16-le")
    return units[2 * (start - 1) : 2 * (end - 1)].decode("utf-16-le", "replace")


def word_of(message):
    found = re.match(r'^"([^"]+)" is not a known word', message)
    return found.group(1) if found else None


checker = jsonschema.FormatChecker()
checker.checks("uri-reference")(lambda value: bool(URI_REFERENCE.match(value)))
checker.checks("uri")(lambda value: bool(URI_REFERENCE.match(value) and SCHEME.match(value)))
with open(SCHEMA, encoding="utf-8") as schema_file:
    validator = jsonschema.Draft4Validator(json.load(schema_file), format_checker=checker)

STDIN = "stdin has teh word\n"
shutil.rmtree(WORK_DIR, ignore_errors=True)
for name, text in FILES.items():
    os.makedirs(os.path.join(WORK_DIR, os.path.dirname(name)), exist_ok=True)
    with open(os.path.join(WORK_DIR, name), "w", encoding="utf-8", newline="") as file:
        file.write(text)
absolute = os.path.join(WORK_DIR, "ascii.txt")
runs = [
    # (files given, expected findings)
    (["ascii.txt"], 2),
    (["non ascii/café, naïve.md"], 4),
    (["ascii.txt", "non ascii/café, naïve.md", "clean.txt", absolute], 8),
    (["clean.txt"], 0),
    (["-"], 1),
]

for files, expected in runs:
    stdin = STDIN.encode() if files == ["-"] else None
    code, out, err = run(["--format", "sarif", *files], stdin)
    if code != (1 if expected else 0) or err:
        fail(f"sarif {files}: exit {code}, stderr {err!r}")
    if out.count("\n") != 1:
        fail(f"sarif {files}: not one log on one line:\n{out}")
    log = json.loads(out)
    for error in validator.iter_errors(log):
        fail(f"sarif {files}: {'/'.join(map(str, error.absolute_path))}: {error.message}")
    results = log["runs"][0]["results"]
    if len(results) != expected:
        fail(f"sarif {files}: {len(results)} results, expected {expected}")
    for result in results:
        place = result["locations"][0]["physicalLocation"]
        uri = place["artifactLocation"]["uri"]
        path = urllib.parse.unquote(uri.removeprefix("file://"))
        if path not in files and not (path == "<stdin>" and files == ["-"]):
            fail(f"sarif {files}: URI {uri} names no file given")
        region = place["region"]
        word = cut(None if path == "<stdin>" else path, region["startLine"],
                   region["startColumn"], region["endColumn"])
        if word != word_of(result["message"]["text"]):
            fail(f"sarif {files}: region {region} holds {word!r}: {result['message']['text']}")
        for fix in result.get("fixes", []):
            if fix["artifactChanges"][0]["replacements"][0]["deletedRegion"] != region:
                fail(f"sarif {files}: a fix replaces another region than {region}")

    code, out, err = run(["--format", "github", *files], stdin)
    if code != (1 if expected else 0) or err:
        fail(f"github {files}: exit {code}, stderr {err!r}")
    commands = out.splitlines()
    if len(commands) != expected:
        fail(f"github {files}: {len(commands)} commands, expected {expected}:\n{out}")
    for command in commands:
        found = re.match(r"^::warning file=([^,:]*),line=(\d+),col=(\d+),endColumn=(\d+),"
                         r"title=Misspelled word::(.*)$", command)
        if not found:
            fail(f"github {files}: not a warning command: {command}")
            continue
        path = urllib.parse.unquote(found.group(1))
        line, col, end = map(int, found.group(2, 3, 4))
        word = cut(None if path == "<stdin>" else path, line, col, end + 1)
        if word != word_of(found.group(5)):
            fail(f"github {files}: columns {col}..{end} hold {word!r}: {command}")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
