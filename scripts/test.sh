#!/usr/bin/env bash
# Builds everything from nothing and runs every test: the release build, an install that
# separate host projects build against, the Windows component and tests under Wine, pictures of
# both dialog windows, bounded fuzzing of the zlib wrapper and of the engine, and the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-debian.sh
# One X server for the whole run: the Qt window's test, both screenshots and the Windows stage.
[[ -n ${LEXIVANE_X_SERVER:-} ]] || exec scripts/with-x-server.sh bash scripts/test.sh "$@"
jobs=$(nproc)

echo "== release build and tests"
# Prefix /usr, as a distribution builds it: the libdir becomes lib/<multiarch triplet> on Debian,
# the layout that scripts/check-install.sh installs and builds against.
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DLEXIVANE_BUILD_BENCH=ON \
  -DCMAKE_INSTALL_PREFIX=/usr
cmake --build build/release -j"$jobs"
ctest --test-dir build/release --output-on-failure -j"$jobs"

echo "== the installed package"
scripts/check-install.sh build/release
echo "== the Qt dialog for \"Teh\", as a picture (from the release build)"
scripts/screenshot-dialog.sh qt build/dialog-teh-qt.png

echo "== Windows cross-build, tested under Wine"
scripts/test-windows.sh build/release build/mingw
echo "== the Windows dialog for \"Teh\", as a picture"
scripts/screenshot-dialog.sh windows build/dialog-teh.png

echo "== fuzzing the zlib wrapper"
zlibwrap/run_fuzzer.sh build/fuzz 60

echo "== fuzzing the engine against its plain reference"
tests/run_engine_fuzzer.sh build/fuzz 45

# Last, so that the run ends with the test runner's summary.
echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEXIVANE_SANITIZE=ON
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize --output-on-failure -j"$jobs"
