#!/usr/bin/env bash
# The main job from nothing: installs what is missing, builds the library and the tool (what
# `cmake --install build/release` installs) and checks the sample text (or the files given)
# with the embedded word list.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DLEXIVANE_BUILD_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target lexivane lexivane_cli >/dev/null
status=0
build/release/cli/lexivane check "${@:-examples/sample.txt}" || status=$?
# 1 means misspellings were found, which is what the sample is for.
if [[ $status -gt 1 ]]; then exit "$status"; fi
