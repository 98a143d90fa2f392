#!/usr/bin/env bash
# A whole source tree checked by the lexivane tool against codespell on the same tree, and
# against cspell on one of its subsystems, in one run of this script: wall and CPU seconds and
# peak memory of each, with the ratios. The tree is the Linux kernel's sources as Debian packs
# them (linux-source-6.1, about 75,000 files), unpacked into a temporary folder that is removed
# at the end; cspell 9.8.0 comes from npm into the same folder unless CSPELL names one.
#
# Usage: bench/compare-repository.sh LEXIVANE [SUBSYSTEM]   (default SUBSYSTEM: kernel)
# Needs: linux-source-6.1 and codespell (Debian), npm; one run of each (minutes, not seconds).
set -euo pipefail

lexivane=$(realpath "$1")
subsystem=${2:-kernel}
tarball=$(ls /usr/src/linux-source-6.1.tar.* 2>/dev/null | head -n 1)
if [ -z "$tarball" ]; then
  echo "$0: needs Debian's linux-source-6.1 (apt-get install linux-source-6.1)" >&2
  exit 2
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tar -xf "$tarball" -C "$work"
tree=$(find "$work" -mindepth 1 -maxdepth 1 -type d | head -n 1)
cspell=${CSPELL:-}
if [ -z "$cspell" ]; then
  npm install --silent --prefix "$work/npm" cspell@9.8.0 >/dev/null
  cspell=$work/npm/node_modules/.bin/cspell
fi
echo "tree: $(basename "$tarball"), $(find "$tree" -type f | wc -l) files;" \
  "$("$lexivane" --version | head -n 1); codespell $(codespell --version); cspell $("$cspell" --version)"

# run NAME FOLDER COMMAND...: one run of COMMAND in FOLDER; wall s, CPU s, peak MB.
run() {
  local name=$1 folder=$2
  shift 2
  (cd "$folder" && /usr/bin/time -o "$work/time" -f '%e %U %S %M' "$@" >"$work/out" 2>/dev/null) || true
  read -r wall user system peak < <(tail -n 1 "$work/time")
  local cpu findings
  cpu=$(awk -v a="$user" -v b="$system" 'BEGIN { print a + b }')
  findings=$(wc -l <"$work/out")
  printf '%-40s %8.1f %8.1f %8.0f %9d\n' "$name" "$wall" "$cpu" "$((peak / 1024))" "$findings"
  eval "wall_${name//[^a-z0-9]/_}=$wall"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0fx", (b > 0 ? a / b : 0) }'; }

printf '%-40s %8s %8s %8s %9s\n' "run" "wall s" "CPU s" "peak MB" "lines out"
run "lexivane check --suggestions 0 tree" "$tree" "$lexivane" check --suggestions 0 .
run "lexivane check tree" "$tree" "$lexivane" check .
run "codespell tree" "$tree" codespell .
run "lexivane check subsystem" "$tree" "$lexivane" check "$subsystem"
run "cspell lint subsystem" "$tree" "$cspell" lint --no-progress --no-summary "$subsystem/**"
echo "codespell / lexivane --suggestions 0: $(ratio "$wall_codespell_tree" "$wall_lexivane_check___suggestions_0_tree")," \
  "codespell / lexivane: $(ratio "$wall_codespell_tree" "$wall_lexivane_check_tree")," \
  "cspell / lexivane on $subsystem: $(ratio "$wall_cspell_lint_subsystem" "$wall_lexivane_check_subsystem") (wall)"
