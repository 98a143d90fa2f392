#!/usr/bin/env bash
# Whole runs of `lexivane suggest --ranking=typing` against `aspell -a` (normal mode) on the same
# words: the misspellings of each test corpus (../shared/bench/corpora: wikipedia-mitton,
# birkbeck-sample, norvig-testset1, aspell), each once, those without a blank. Both load their
# dictionaries, suggest for every word and print the lists; aspell suggests only for the words
# it does not know, lexivane for every word. Each figure is the best of RUNS runs; CPU is user +
# system time.
#
# Usage: bench/compare-suggest.sh LEXIVANE [RUNS]   (e.g. build/release/cli/lexivane 3)
set -euo pipefail

lexivane=$(realpath "$1")
runs=${2:-3}
corpora=${LEXIVANE_BENCH_DATA:-$(dirname "$0")/../../shared/bench}/corpora
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config LC_ALL=C.UTF-8

# best COMMAND...: the best CPU seconds (user + system, to the microsecond) of RUNS runs of
# COMMAND, its output discarded.
best() {
  python3 - "$runs" "$@" <<'PY'
import resource, subprocess, sys
runs, command = int(sys.argv[1]), sys.argv[2:]
best = None
for _ in range(runs):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    best = cpu if best is None else min(best, cpu)
print(f"{best:.4f}")
PY
}

printf '%-18s %6s %14s %12s %8s\n' corpus words "lexivane CPU s" "aspell CPU s" ratio
for corpus in wikipedia-mitton birkbeck-sample norvig-testset1 aspell; do
  cut -f1 "$corpora/$corpus.tsv" | grep -v ' ' | sort -u >"$work/words"
  sed 's/^/^/' "$work/words" >"$work/caret"
  mapfile -t words <"$work/words"
  ours=$(best "$lexivane" suggest --ranking=typing --no-custom "${words[@]}")
  theirs=$(best sh -c 'aspell -a <"$1"' - "$work/caret")
  printf '%-18s %6d %14.3f %12.3f %7.2fx\n' "$corpus" "${#words[@]}" "$ours" "$theirs" \
    "$(awk -v a="$ours" -v b="$theirs" 'BEGIN { print (b > 0 ? a / b : 0) }')"
done
