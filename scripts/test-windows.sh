#!/usr/bin/env bash
# Cross-builds the Windows component and its tests with mingw-w64 and runs them under Wine, all
# inside one X server (the run's own, see scripts/with-x-server.sh), so that the one wine server
# of the build's prefix has a display for the dialog (see scripts/wine-run.sh).
#
#   scripts/test-windows.sh HOST_BUILD_DIR [WINDOWS_BUILD_DIR]
#
# HOST_BUILD_DIR is a Linux build that has made data/lexivane_table_compiler; the Windows build
# goes to WINDOWS_BUILD_DIR (default build/mingw).
set -euo pipefail
cd "$(dirname "$0")/.."
if (($# < 1)); then
  echo "usage: $0 HOST_BUILD_DIR [WINDOWS_BUILD_DIR]" >&2
  exit 64
fi
host_build=$(realpath "$1")
build=${2:-build/mingw}

[[ -n ${LEXIVANE_X_SERVER:-} ]] || exec scripts/with-x-server.sh bash scripts/test-windows.sh "$@"

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DLEXIVANE_TABLE_COMPILER="$host_build/data/lexivane_table_compiler" -DLEXIVANE_BUILD_CLI=OFF
cmake --build "$build" -j"$(nproc)"
status=0
ctest --test-dir "$build" --output-on-failure -j"$(nproc)" || status=$?
# End the prefix's wine server with the X server that it is bound to.
WINEPREFIX=$(realpath "$build")/wine-prefix wineserver -k 2>/dev/null || true
exit "$status"
