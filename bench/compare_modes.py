"""Runs lexivane list, aspell list, hunspell -l and cspell over testdata/modes-corpus/ (see
compare-modes.sh) and prints, per format and overall: the planted misspellings each finds, the
markup noise (distinct flagged words found nowhere in the file's rendered prose), the prose
noise (distinct flagged words that are in the rendered prose and were not planted), and the CPU
time of lexivane list against aspell list on the same files: start-up, one process per file, and
one process per format.
"""
import os
import re
import resource
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from modes_prose import FORMATS, render  # noqa: E402

CORPUS = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "testdata",
                                      "modes-corpus"))
ASPELL_MODE = {"markdown": "markdown", "html": "html", "tex": "tex", "man": "nroff", "ccpp": "ccpp",
               "python": "perl", "shell": "perl"}
LEXIVANE_MODE = {"markdown": "markdown", "html": "html", "tex": "tex", "man": "nroff", "ccpp": "ccpp",
                 "python": "python", "shell": "shell"}
# Each format's documents are repeated until the text holds this many bytes: large enough that a
# process's start (about 2 ms) is under a twentieth of its time in every format.
REPEATED_BYTES = 8_000_000
HUNSPELL_FLAG = {"html": ["-H"], "tex": ["-t"], "man": ["-n"]}


def net_ratio(net, best):
    """aspell's time over lexivane's with each start-up taken off; "-" when what is left of
    lexivane's is under a tenth of its time, within the start-up's own variation."""
    return "-" if net[0] < 0.1 * best[0] else f"{net[1] / net[0]:.1f}x"


def commands(tool, fmt, path, lexivane, cspell, work):
    """The command line and standard input of one tool on one file."""
    if tool == "lexivane":
        return [lexivane, "list", path], None
    if tool == "aspell":
        return ["aspell", "list", "--lang=en_US", "--mode=" + ASPELL_MODE[fmt]], path
    if tool == "hunspell":
        return ["hunspell", "-d", "en_US", "-l"] + HUNSPELL_FLAG.get(fmt, []) + [path], None
    return [cspell, "lint", "--words-only", "--unique", "--no-progress", "--no-summary", "--no-color",
            "--no-exit-code", "--no-config-search", "-c", os.path.join(work, "cspell.json"), path], None


def run(cmd, stdin):
    with open(stdin or os.devnull, "rb") as f:
        return subprocess.run(cmd, stdin=f, capture_output=True, check=False).stdout.decode("utf-8", "replace")


def occurs(word, text):
    return re.search(r"(?<![^\W\d_])" + re.escape(word) + r"(?![^\W\d_])", text) is not None


def cpu_of(cmds, passes):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    for _ in range(passes):
        for cmd, stdin in cmds:
            run(cmd, stdin)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    return (after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime) / passes


def main():
    lexivane, cspell, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    with open(os.path.join(work, "cspell.json"), "w") as f:
        f.write('{"version": "0.2", "language": "en-US"}\n')
    tools = ["lexivane", "aspell", "hunspell"] + (["cspell"] if cspell else [])
    planted = {}
    for line in open(os.path.join(CORPUS, "manifest.tsv")).read().splitlines()[1:]:
        rel, _, _, wrong = line.split("\t")
        planted.setdefault(rel, set()).add(wrong.lower())
    files = {fmt: sorted(os.path.join(fmt, n) for n in os.listdir(os.path.join(CORPUS, fmt))) for fmt in FORMATS}
    rendered = {rel: render(fmt, os.path.join(CORPUS, rel)) for fmt in FORMATS for rel in files[fmt]}

    # stats[tool][fmt] = (found, planted, markup words, prose words)
    stats = {t: {} for t in tools}
    for tool in tools:
        for fmt in FORMATS:
            found = total = 0
            markup, prose = set(), set()
            for rel in files[fmt]:
                cmd, stdin = commands(tool, fmt, os.path.join(CORPUS, rel), lexivane, cspell, work)
                words = {w.strip() for w in run(cmd, stdin).splitlines() if w.strip()}
                lower = {w.lower() for w in words}
                mine = planted.get(rel, set())
                total += len(mine)
                found += len(mine & lower)
                for w in words:
                    if w.lower() in mine:
                        continue
                    (prose if occurs(w, rendered[rel]) else markup).add(w)
            stats[tool][fmt] = (found, total, markup, prose)

    def pct(a, b):
        return f"{100.0 * a / b:.1f} %" if b else "-"

    print("| format | files | planted | " + " | ".join(f"{t} found / markup / prose" for t in tools) + " |")
    print("|---|---:|---:|" + "---:|" * len(tools))
    rows = FORMATS + ["all"]
    for fmt in rows:
        fmts = FORMATS if fmt == "all" else [fmt]
        nfiles = sum(len(files[f]) for f in fmts)
        cells = []
        for t in tools:
            found = sum(stats[t][f][0] for f in fmts)
            total = sum(stats[t][f][1] for f in fmts)
            markup = set().union(*(stats[t][f][2] for f in fmts))
            prose = set().union(*(stats[t][f][3] for f in fmts))
            cells.append(f"{pct(found, total)} / {len(markup)} / {len(prose)}")
        total = sum(stats[tools[0]][f][1] for f in fmts)
        print(f"| {fmt} | {nfiles} | {total} | " + " | ".join(cells) + " |")

    # The start-up of each program: one run on a document of one correct word, so that the
    # dictionary is loaded.
    empty = os.path.join(work, "one-word.md")
    with open(empty, "w") as f:
        f.write("the\n")
    start = {tool: min(cpu_of([commands(tool, "markdown", empty, lexivane, cspell, work)], 20) for _ in range(runs))
             for tool in ("lexivane", "aspell")}
    print(f"\nStart-up (a document of one word): lexivane list {1000 * start['lexivane']:.2f} ms,"
          f" aspell list {1000 * start['aspell']:.2f} ms of CPU.")
    print("\nOne process per file (best of runs of 5 passes):")
    print("\n| format | lexivane list CPU ms | aspell list CPU ms | aspell / lexivane | the same less start-up |")
    print("|---|---:|---:|---:|---:|")
    sums = [0.0, 0.0, 0.0, 0.0]
    for fmt in FORMATS:
        best = []
        for tool in ("lexivane", "aspell"):
            cmds = [commands(tool, fmt, os.path.join(CORPUS, rel), lexivane, cspell, work) for rel in files[fmt]]
            best.append(min(cpu_of(cmds, 5) for _ in range(runs)))
        net = [max(best[0] - len(files[fmt]) * start["lexivane"], 1e-6), max(best[1] - len(files[fmt]) * start["aspell"], 1e-6)]
        sums = [sums[0] + best[0], sums[1] + best[1], sums[2] + net[0], sums[3] + net[1]]
        print(f"| {fmt} | {1000 * best[0]:.1f} | {1000 * best[1]:.1f} | {best[1] / best[0]:.1f}x | {net_ratio(net, best)} |")
    print(f"| all | {1000 * sums[0]:.1f} | {1000 * sums[1]:.1f} | {sums[1] / sums[0]:.1f}x | {sums[3] / sums[2]:.1f}x |")

    # One process per format, as a person checks a folder: `lexivane list F1 F2 ...` against
    # aspell reading the files one after another on its standard input (from a file, so that no
    # cat is timed).
    print("\nOne process per format, all its files (best of runs of 5 passes):")
    print("\n| format | lexivane list CPU ms | aspell list CPU ms | aspell / lexivane | the same less start-up |")
    print("|---|---:|---:|---:|---:|")
    sums = [0.0, 0.0, 0.0, 0.0]
    for fmt in FORMATS:
        paths = [os.path.join(CORPUS, rel) for rel in files[fmt]]
        joined = os.path.join(work, "joined-" + fmt)
        with open(joined, "wb") as out:
            for path in paths:
                with open(path, "rb") as f:
                    out.write(f.read())
        lexivane_cmd = ([lexivane, "list"] + paths, None)
        aspell_cmd = (commands("aspell", fmt, joined, lexivane, cspell, work)[0], joined)
        best = [min(cpu_of([cmd], 5) for _ in range(runs)) for cmd in (lexivane_cmd, aspell_cmd)]
        net = [max(best[0] - start["lexivane"], 1e-6), max(best[1] - start["aspell"], 1e-6)]
        sums = [sums[0] + best[0], sums[1] + best[1], sums[2] + net[0], sums[3] + net[1]]
        print(f"| {fmt} | {1000 * best[0]:.2f} | {1000 * best[1]:.2f} | {best[1] / best[0]:.1f}x | {net_ratio(net, best)} |")
    print(f"| all | {1000 * sums[0]:.2f} | {1000 * sums[1]:.2f} | {sums[1] / sums[0]:.1f}x | {sums[3] / sums[2]:.1f}x |")

    # Throughput: each format's documents joined and repeated until the text is large (8 MB and
    # up), one process each, so that the start-up no longer counts.
    print(f"\nThe same documents repeated to {REPEATED_BYTES / 1e6:.0f} MB, one process per format"
          " (best of runs of 3):")
    print("\n| format | MB | lexivane list CPU ms | aspell list CPU ms | aspell / lexivane |")
    print("|---|---:|---:|---:|---:|")
    sums = [0.0, 0.0]
    for fmt in FORMATS:
        joined = os.path.join(work, "joined-" + fmt)
        repeated = os.path.join(work, "repeated-" + fmt)
        with open(joined, "rb") as f, open(repeated, "wb") as out:
            text = f.read()
            out.write(text * -(-REPEATED_BYTES // len(text)))
        lexivane_cmd = ([lexivane, "list", "--mode", LEXIVANE_MODE[fmt], repeated], None)
        aspell_cmd = (commands("aspell", fmt, repeated, lexivane, cspell, work)[0], repeated)
        best = [min(cpu_of([cmd], 3) for _ in range(runs)) for cmd in (lexivane_cmd, aspell_cmd)]
        sums = [sums[0] + best[0], sums[1] + best[1]]
        size = os.path.getsize(repeated) / 1e6
        print(f"| {fmt} | {size:.1f} | {1000 * best[0]:.1f} | {1000 * best[1]:.1f} | {best[1] / best[0]:.1f}x |")
    print(f"| all | | {1000 * sums[0]:.1f} | {1000 * sums[1]:.1f} | {sums[1] / sums[0]:.1f}x |")

    print("\nLexivane's markup noise, per format:")
    for fmt in FORMATS:
        words = sorted(stats["lexivane"][fmt][2], key=str.lower)
        print(f"  {fmt} ({len(words)}): {' '.join(words[:40])}{' ...' if len(words) > 40 else ''}")
    print("\nLexivane's prose noise, per format:")
    for fmt in FORMATS:
        words = sorted(stats["lexivane"][fmt][3], key=str.lower)
        print(f"  {fmt} ({len(words)}): {' '.join(words[:40])}{' ...' if len(words) > 40 else ''}")
    missed = [(rel, w) for rel in sorted(planted) for w in sorted(planted[rel])
              if w not in {x.lower() for x in run(*commands("lexivane", rel.split("/")[0],
                                                              os.path.join(CORPUS, rel), lexivane, cspell, work)).split()}]
    print(f"\nPlanted words Lexivane missed ({len(missed)}): " + " ".join(f"{r}:{w}" for r, w in missed))


if __name__ == "__main__":
    main()
