#!/usr/bin/env bash
# Documents in their modes: `lexivane list` (mode from each file's extension) against
# `aspell list --mode=...`, `hunspell -l` (-H for HTML, -t for TeX, -n for man pages) and cspell
# on every file of testdata/modes-corpus/. Prints per format and overall the share of planted
# misspellings found, the markup noise (distinct flagged words that occur nowhere in the file's
# rendered prose: pandoc's plain text for Markdown, HTML and LaTeX, `man -l` through `col -b` for
# man pages, the comments and strings for code), the prose noise (distinct flagged words that do
# occur there and were not planted), and the CPU time of lexivane list and aspell list over the
# same files, best of RUNS runs of 5 passes: the start-up (a document of one word), one process
# per file, and one process per format over all its files (aspell reading them one after
# another on its standard input), and each format's documents repeated to 8 MB in one process
# (throughput, start-up aside). aspell has no Python mode:
# Python and shell files go through its perl mode (# comments and string literals): its comment
# mode flags nothing at all in aspell 0.60.8, not even a misspelt word in a comment.
#
# cspell 9.8.0 is installed from npm into the temporary folder unless CSPELL names a cspell
# program; CSPELL=none leaves it out.
#
# Usage: bench/compare-modes.sh LEXIVANE [RUNS]   (e.g. build/dev/cli/lexivane 3)
# Needs: aspell aspell-en hunspell hunspell-en-us pandoc man-db, and npm for cspell.
set -euo pipefail

lexivane=$(realpath "$1")
runs=${2:-3}
here=$(dirname "$(realpath "$0")")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config LC_ALL=C.UTF-8

cspell=${CSPELL:-}
if [ -z "$cspell" ]; then
  npm install --silent --prefix "$work/npm" cspell@9.8.0 >/dev/null
  cspell=$work/npm/node_modules/.bin/cspell
elif [ "$cspell" = none ]; then
  cspell=
fi

echo "lexivane: $lexivane; aspell $(aspell --version | sed 's/.*Aspell //;s/).*//');" \
  "$(hunspell -v </dev/null | head -n 1); cspell ${cspell:+$("$cspell" --version)}; $(pandoc --version | head -n 1)"
python3 "$here/compare_modes.py" "$lexivane" "$cspell" "$work" "$runs"
