#!/usr/bin/env python3
"""The provider in the real Enchant 2 tools, and in Emacs through them.

Enchant loads providers from one fixed folder only, so every client runs in a private mount
namespace in which a staging folder (the system's providers plus ours) is bind-mounted over that
folder; nothing outside the namespace changes. Enchant's configuration (the ordering that puts
Lexivane first, and the personal lists) lives in a fresh folder of the test's own. Where mount
namespaces are not permitted (an unprivileged container) the test is skipped with exit 77.

The answers must agree with the lexivane tool's on the same input, when the tool is given: the
words flagged and their suggestions with `lexivane -a`, the words listed with `lexivane list`.

Usage: clients_test.py PROVIDER_MODULE ENCHANT_PROVIDER_DIR TESTDATA_DIR WORK_DIR [LEXIVANE]
"""

import difflib
import os
import pathlib
import re
import shutil
import subprocess
import sys

MODULE, SYSTEM_DIR, TESTDATA, WORK = (pathlib.Path(arg).resolve() for arg in sys.argv[1:5])
LEXIVANE = sys.argv[5] if len(sys.argv) > 5 else None
SKIP = 77
failures = []


def skip(reason):
    print(f"skipped: {reason}")
    sys.exit(SKIP)


def prepare():
    shutil.rmtree(WORK, ignore_errors=True)
    stage, config, home = WORK / "stage", WORK / "config", WORK / "home"
    for folder in (stage, config, home):
        folder.mkdir(parents=True)
    for provider in SYSTEM_DIR.glob("*.so"):
        shutil.copy(provider, stage)
    shutil.copy(MODULE, stage / "enchant_lexivane.so")
    (config / "enchant.ordering").write_text("en_US:lexivane\nen:lexivane\n")
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "HOME": str(home),
           "XDG_CONFIG_HOME": str(home / ".config"), "ENCHANT_CONFIG_DIR": str(config),
           "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"}
    return stage, config, env


def run(stage, env, command, stdin=""):
    """Runs `command` with the staged providers in place of the system's; returns its output."""
    wrapped = ["unshare", "--mount", "sh", "-c", 'mount --bind "$1" "$2" && shift 2 && exec "$@"',
               "sh", str(stage), str(SYSTEM_DIR), *command]
    data = stdin if isinstance(stdin, bytes) else stdin.encode()
    result = subprocess.run(wrapped, input=data, capture_output=True, env=env, timeout=30)
    return result.returncode, result.stdout.decode("utf-8", "replace"), \
        result.stderr.decode("utf-8", "replace")


def run_tool(env, arguments, stdin):
    result = subprocess.run([LEXIVANE, *arguments], input=stdin.encode(), capture_output=True,
                            env=env, timeout=30)
    return result.stdout.decode("utf-8", "replace")


def misspellings(pipe_output):
    """The answers about misspelt words (`&` and `#` lines) of an ispell pipe conversation."""
    return "".join(line + "\n" for line in pipe_output.splitlines() if line[:1] in ("&", "#"))


def without_ordinals(answers):
    """Enchant hands ordinals (`1st`, `42nd`) to the provider, which flags them; the tool skips
    them as numbers. Every other answer must be the same."""
    return re.sub(r"(?m)^(?:[&#] )?[0-9]+(?:st|nd|rd|th)\b.*\n", "", answers, flags=re.IGNORECASE)


def expect_same(name, expected, actual):
    if expected != actual:
        diff = difflib.unified_diff(expected.splitlines(), actual.splitlines(), "expected",
                                    "actual", lineterm="")
        failures.append(f"{name}:\n" + "\n".join(diff))


def main():
    for tool in ("unshare", "mount", "enchant-2", "enchant-lsmod-2"):
        if not shutil.which(tool):
            skip(f"{tool} is not installed")
    stage, config, env = prepare()
    status, _, error = run(stage, env, ["true"])
    if status != 0:
        skip(f"no private mount namespace here (unshare --mount, mount --bind): {error.strip()}")

    # Discovery: the ordering names Lexivane first for both tags it serves; the apostrophes are
    # what Emacs learns to keep inside words.
    for tag in ("en_US", "en"):
        _, listed, _ = run(stage, env, ["enchant-lsmod-2", "-lang", tag])
        expect_same(f"enchant-lsmod-2 -lang {tag}", f"{tag} (lexivane)\n", listed)
    _, characters, _ = run(stage, env, ["enchant-lsmod-2", "-word-chars", "en_US"])
    expect_same("enchant-lsmod-2 -word-chars", "'\u2019\n", characters)

    # List mode reads every line as text, as `lexivane list` does (and before the session below
    # puts a word in Enchant's personal list). The provider gets each word without the text
    # around it, so the rules that read the characters before a word (`@helo` is a mention to
    # `list`) are left out of the comparison.
    session = (TESTDATA / "session.txt").read_text(encoding="utf-8")
    if LEXIVANE:
        _, listed, _ = run(stage, env, ["enchant-2", "-l", "-d", "en_US"], session)
        expect_same("enchant-2 -l against lexivane list",
                    run_tool(env, ["list", "--no-rule", "mentions"], session),
                    without_ordinals(listed))

    # Whole sessions: the pipe with its commands (*word lands in Enchant's personal list), and
    # list mode over the same lines.
    _, piped, error = run(stage, env, ["enchant-2", "-a", "-d", "en_US"], session)
    expect_same("enchant-2 -a", (TESTDATA / "session.pipe").read_text(encoding="utf-8"), piped)
    personal = config / "en_US.dic"
    expect_same("personal list after *word", "zorbly\n",
                personal.read_text(encoding="utf-8") if personal.exists() else "(none)\n")
    _, listed, _ = run(stage, env, ["enchant-2", "-l", "-d", "en_US"], session)
    expect_same("enchant-2 -l", (TESTDATA / "session.list").read_text(encoding="utf-8"), listed)

    # LEXIVANE_NO_RULE switches word rules off for the provider.
    _, listed, _ = run(stage, {**env, "LEXIVANE_NO_RULE": "digits,capitals"},
                       ["enchant-2", "-l", "-d", "en_US"], "GPLv3 TEH xiv wrold\n")
    expect_same("enchant-2 -l with LEXIVANE_NO_RULE", "GPLv3\nTEH\nwrold\n", listed)

    # The tool gives the same misspellings with the same suggestions, in the typing ranking
    # unless LEXIVANE_RANKING=engine asks for the engine's own search; Enchant's tool also answers
    # `*` for numbers (it asks the provider about them, which accepts them) where ours skips them.
    if LEXIVANE:
        for ranking in ("typing", "engine"):
            if ranking != "typing":
                _, piped, _ = run(stage, {**env, "LEXIVANE_RANKING": ranking},
                                  ["enchant-2", "-a", "-d", "en_US"], session)
            ours = run_tool(env, ["-a", f"--ranking={ranking}", "-p", str(WORK / "lexivane.dic")],
                            session)
            expect_same(f"misspellings of enchant-2 -a against lexivane -a --ranking={ranking}",
                        misspellings(ours), without_ordinals(misspellings(piped)))

    # Bad input reaches the provider as Enchant passes it on (broken UTF-8, a NUL, a word of
    # 5,000 letters) and the session goes on.
    status, piped, error = run(stage, env, ["enchant-2", "-a", "-d", "en_US"],
                               b"caf\xff\nhe\x00llo\n" + b"e" * 5000 + b"\nwrold\n")
    # The last line's answer, its blank line, and the one at the end.
    last = re.search(r"\n& wrold [0-9]+ 0: world\b[^\n]*\n\n\n$", piped)
    expect_same("enchant-2 -a on bad input", "status 0, ends with the answer for wrold",
                f"status {status}, ends " + ("with the answer for wrold" if last else piped[-60:]))

    # Emacs's flyspell with enchant-2 as its speller, word by word and over a large region.
    emacs_skipped = not shutil.which("emacs")
    if not emacs_skipped:
        expected = (TESTDATA / "emacs.flagged").read_text(encoding="utf-8")
        for large in ("", "1"):
            _, flagged, error = run(stage, {**env, "FLY_LARGE": large},
                                    ["emacs", "--batch", "-Q", "-l", str(TESTDATA / "flyspell.el"),
                                     str(TESTDATA / "emacs.txt")])
            expect_same(f"Emacs flyspell (large region: {bool(large)})", expected, flagged)

    for failure in failures:
        print(failure)
    if failures:
        return 1
    if emacs_skipped:
        skip("the enchant-2 checks passed; emacs is not installed, so Emacs was not tried")
    print("Enchant and Emacs use the provider as expected")
    return 0


if __name__ == "__main__":
    sys.exit(main())
