#!/usr/bin/env bash
# Whole runs of the lexivane tool against the aspell and hunspell programs on the same files, in
# one run of this script: `lexivane list` against `aspell list` and `hunspell -l` on big.txt and
# on a text of about 100 MB, and `lexivane check` (five suggestions) against `aspell -a` on the
# lines of big.txt. Each figure is the best of RUNS runs (1 for the 100 MB text), loading
# included; CPU is user + system time. The 100 MB text is big.txt and ulysses-pg4300.txt
# repeated, made in a temporary folder that is removed at the end.
#
# Usage: bench/compare-tools.sh LEXIVANE [RUNS]   (e.g. build/release/cli/lexivane 3)
set -euo pipefail

lexivane=$(realpath "$1")
runs=${2:-3}
source "$(dirname "$0")/texts.sh"

# best NAME RUNS COMMAND...: runs COMMAND (its standard input and output as given to `best`)
# and prints the best wall-clock and CPU seconds.
best() {
  local name=$1 n=$2 wall cpu best_wall=999999 best_cpu=999999
  shift 2
  for ((i = 0; i < n; i++)); do
    /usr/bin/time -o "$work/time" -f '%e %U %S' "$@" >/dev/null 2>&1 || true
    read -r wall cpu < <(tail -n 1 "$work/time" | awk '{ print $1, $2 + $3 }')
    best_wall=$(awk -v a="$best_wall" -v b="$wall" 'BEGIN { print (b < a ? b : a) }')
    best_cpu=$(awk -v a="$best_cpu" -v b="$cpu" 'BEGIN { print (b < a ? b : a) }')
  done
  printf '%-34s %8.2f %8.2f\n' "$name" "$best_wall" "$best_cpu"
  eval "wall_${name//[^a-z0-9]/_}=$best_wall cpu_${name//[^a-z0-9]/_}=$best_cpu"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1fx", (b > 0 ? a / b : 0) }'; }

printf '%-34s %8s %8s\n' "run" "wall s" "CPU s"
for file in big large; do
  if [ "$file" = large ]; then n=1 path=$large; else n=$runs path=$big; fi
  best "lexivane list $file" "$n" "$lexivane" list "$path"
  best "aspell list $file" "$n" sh -c 'aspell list <"$1"' - "$path"
  best "hunspell -l $file" "$n" hunspell -l -d en_US "$path"
done
best "lexivane check big" "$runs" "$lexivane" check --suggestions 5 "$big"
best "aspell -a big" 1 sh -c 'aspell -a <"$1"' - "$big_caret"

echo
for file in big large; do
  eval "lw=\$wall_lexivane_list_$file lc=\$cpu_lexivane_list_$file"
  eval "aw=\$wall_aspell_list_$file ac=\$cpu_aspell_list_$file"
  eval "hw=\$wall_hunspell__l_$file hc=\$cpu_hunspell__l_$file"
  echo "list on $file: aspell list takes $(ratio "$aw" "$lw") the wall time and" \
    "$(ratio "$ac" "$lc") the CPU of lexivane list; hunspell -l $(ratio "$hw" "$lw") and" \
    "$(ratio "$hc" "$lc")"
done
echo "check on big: aspell -a takes $(ratio "$wall_aspell__a_big" "$wall_lexivane_check_big")" \
  "the wall time and $(ratio "$cpu_aspell__a_big" "$cpu_lexivane_check_big") the CPU of" \
  "lexivane check --suggestions 5"
