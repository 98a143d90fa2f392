#!/usr/bin/env bash
# Fails when a C++ source of ours differs from what the committed .clang-format makes of it. The
# formatter is pinned to Debian's clang-format-14 (scripts/setup-debian.sh installs it): other
# versions break some lines otherwise. testdata/ holds documents of others and is left alone, and
# so are build folders inside the tree.
#
#   scripts/check-format.sh [--fix]    --fix formats the files in place instead
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
mapfile -d '' files < <(find . \( -path ./testdata -o -path './build*' -o -path ./.git \) -prune \
  -o -type f \( -name '*.cc' -o -name '*.h' \) -print0 | sort -z)
if [[ ${1:-} == --fix ]]; then
  "$format" -i "${files[@]}"
  exit 0
fi
"$format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} sources as .clang-format formats them"
