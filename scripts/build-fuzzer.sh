#!/usr/bin/env bash
# Configures the sanitized clang build of the libFuzzer targets in BUILD_DIR and builds TARGET.
#
# usage: scripts/build-fuzzer.sh BUILD_DIR TARGET
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: build-fuzzer.sh BUILD_DIR TARGET}
target=${2:?usage: build-fuzzer.sh BUILD_DIR TARGET}

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DLEXIVANE_FUZZ=ON -DLEXIVANE_BUILD_TESTS=OFF -DLEXIVANE_BUILD_CLI=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target"
