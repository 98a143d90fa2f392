#!/usr/bin/env bash
# Two builds of the lexivane tool on the same files in one run, so that a change can show that
# no front end became slower: `list` on big.txt and on a text of about 100 MB, `check` with five
# suggestions and the ispell pipe (`-a`) on big.txt, each the best of RUNS runs (1 for the 100 MB
# text), loading included, with `aspell list` on big.txt beside them for the target that `list`
# keeps. CPU is user + system time. With LSP_BENCH (a lexivane_lsp_bench program), the language
# server benchmark runs against each build too.
#
# Usage: bench/compare-builds.sh BEFORE AFTER [RUNS]
#   BEFORE, AFTER: the two tools; each finds its own library, or give a folder holding the
#   library as BEFORE_LIBS (it goes into LD_LIBRARY_PATH for BEFORE only).
set -euo pipefail

before=$(realpath "$1")
after=$(realpath "$2")
runs=${3:-3}
source "$(dirname "$0")/texts.sh"

before_tool=(env "LD_LIBRARY_PATH=${BEFORE_LIBS:-}" "$before")
after_tool=("$after")

# best NAME RUNS COMMAND...: the best CPU seconds of RUNS runs of COMMAND.
best() {
  local name=$1 n=$2 cpu best_cpu=999999
  shift 2
  for ((i = 0; i < n; i++)); do
    /usr/bin/time -o "$work/time" -f '%U %S' "$@" >/dev/null 2>&1 || true
    cpu=$(tail -n 1 "$work/time" | awk '{ print $1 + $2 }')
    best_cpu=$(awk -v a="$best_cpu" -v b="$cpu" 'BEGIN { print (b < a ? b : a) }')
  done
  printf '%-28s %8.2f\n' "$name" "$best_cpu"
}

printf '%-28s %8s\n' "run" "CPU s"
best "aspell list big" "$runs" sh -c 'aspell list <"$1"' - "$big"
for build in before after; do
  declare -n command="${build}_tool"
  best "$build: list big" "$runs" "${command[@]}" list "$big"
  best "$build: list large" 1 "${command[@]}" list "$large"
  best "$build: check big" "$runs" "${command[@]}" check --suggestions 5 "$big"
  best "$build: pipe big" "$runs" sh -c '"$@" -a <"$0"' "$big_caret" "${command[@]}"
done
if [ -n "${LSP_BENCH:-}" ]; then
  for build in before after; do
    echo "== $build: the language server"
    declare -n command="${build}_tool"
    env LEXIVANE_TOOL="${command[-1]}" \
      LD_LIBRARY_PATH="$([ "$build" = before ] && echo "${BEFORE_LIBS:-}")" \
      "$LSP_BENCH" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true 2>/dev/null |
      grep -E '_median ' || true
  done
fi
