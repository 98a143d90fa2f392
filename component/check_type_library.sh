#!/usr/bin/env bash
# Dumps the type library that a built lexvn11en.dll carries (typelib_dump, under Wine) and
# compares it with the committed listing, so that every name, GUID, flag, slot, dispatch
# identifier, parameter and default value a host can see is checked. Lines of the listing that
# start with "#" are comments.
#
# usage: check_type_library.sh TYPELIB_DUMP DLL EXPECTED WINE_COMMAND...
#   WINE_COMMAND runs a program under Wine, e.g. scripts/wine-run.sh PREFIX
set -euo pipefail
dump=$(realpath "$1") dll=$(realpath "$2") expected=$3
shift 3
wine_run=("$@")

actual=$(cd "$(dirname "$dll")" && "${wine_run[@]}" "$dump" "$(basename "$dll")" | tr -d '\r')
if diff -u <(grep -v '^#' "$expected") <(printf '%s\n' "$actual"); then
  echo "the type library matches $(basename "$expected")"
else
  echo "the type library differs from $(basename "$expected") (- expected, + built)"
  exit 1
fi
