#!/usr/bin/env bash
# False alarms on real source trees: the distinct words that `lexivane list` (prose only, and
# with --identifiers), cspell and codespell flag in each tree of bench/projects.txt, folded to
# lower case, with the split each tree is in. The trees come from bench/fetch-sources.sh; the
# words each tool flagged are kept in OUT/TREE.TOOL.txt for reading and for sampling by hand.
#
# Usage: bench/compare-projects.sh LEXIVANE [--cache DIR] [--out DIR] [--split tune|held-out]
# Needs: the trees fetched, codespell (Debian), cspell (npm; CSPELL names one, else
# /work/cspell-npm's or a download into OUT). Minutes per tree for cspell on the larger ones.
set -euo pipefail

lexivane=$(realpath "$1")
shift
cache=${HOME}/.cache/lexivane-bench
out=$(mktemp -d)
split=
while [ $# -gt 0 ]; do
  case $1 in
    --cache) cache=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --split) split=$2; shift 2 ;;
    *) echo "$0: unknown argument $1" >&2; exit 2 ;;
  esac
done
here=$(dirname "$(realpath "$0")")
mkdir -p "$out"
cspell=${CSPELL:-}
if [ -z "$cspell" ]; then
  npm install --silent --prefix "$out/npm" cspell@9.8.0 >/dev/null
  cspell=$out/npm/node_modules/.bin/cspell
fi

# distinct: the lines of standard input folded to lower case, each once.
distinct() { tr '[:upper:]' '[:lower:]' | sort -u; }

printf '%-28s %-9s %10s %14s %8s %10s\n' tree split lexivane "+identifiers" cspell codespell
grep -v '^#' "$here/projects.txt" | awk 'NF { print $1, $2 }' | while read -r tree in_split; do
  [ -n "$split" ] && [ "$split" != "$in_split" ] && continue
  folder=$cache/$tree
  if [ ! -d "$folder" ]; then
    echo "$0: $folder is not there (bench/fetch-sources.sh --list bench/projects.txt); passed over" >&2
    continue
  fi
  (cd "$folder" && "$lexivane" list -u . 2>/dev/null || true) | distinct >"$out/$tree.lexivane.txt"
  (cd "$folder" && "$lexivane" list -u --identifiers . 2>/dev/null || true) |
    distinct >"$out/$tree.identifiers.txt"
  (cd "$folder" && "$cspell" lint --no-progress --no-summary --words-only --unique "**" \
    2>/dev/null || true) | distinct >"$out/$tree.cspell.txt"
  (cd "$folder" && codespell . 2>/dev/null || true) |
    sed -n 's/^[^:]*:[0-9]*: \(.*\) ==> .*/\1/p' | distinct >"$out/$tree.codespell.txt"
  printf '%-28s %-9s %10d %14d %8d %10d\n' "$tree" "$in_split" \
    "$(wc -l <"$out/$tree.lexivane.txt")" "$(wc -l <"$out/$tree.identifiers.txt")" \
    "$(wc -l <"$out/$tree.cspell.txt")" "$(wc -l <"$out/$tree.codespell.txt")"
done
echo "words flagged, by tree and tool: $out"
