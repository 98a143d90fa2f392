#!/usr/bin/env bash
# Compares the dynamic symbols that a shared library exports, demangled and sorted, with the
# committed list. A change of the public API must change the list in the same commit; anything
# else that appears is a leak.
#
# usage: tests/check_exported_symbols.sh LIBRARY EXPECTED_LIST
set -euo pipefail
library=${1:?usage: check_exported_symbols.sh LIBRARY EXPECTED_LIST}
expected=${2:?usage: check_exported_symbols.sh LIBRARY EXPECTED_LIST}
actual=$(nm -D --defined-only -C "$library" | cut -d' ' -f3- | LC_ALL=C sort -u)
if ! diff -u "$expected" <(printf '%s\n' "$actual"); then
  echo "the exported symbols of $library differ from $expected (- expected, + exported)" >&2
  exit 1
fi
echo "$(wc -l <"$expected") exported symbols, as listed"
