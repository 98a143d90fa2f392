#!/usr/bin/env bash
# Renders the suggestions dialog's Windows window for the word "Teh" into a PNG, under Wine on a
# virtual X screen: usage scripts/screenshot-dialog.sh [out.png] (default build/dialog-teh.png).
#
# It cross-builds examples/show_dialog (incrementally, in build/mingw), runs it through
# scripts/wine-run.sh in the build's prefix (made on first use, about 15 s, with the virtual
# desktop that draws window frames), shows the dialog through the library's default view,
# photographs the screen once the window is up, crops the picture to the window and closes the
# dialog through its frame. About 5 s with the prefix in place.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/dialog-teh.png}
build=build/mingw

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DLEXIVANE_TABLE_COMPILER="${LEXIVANE_TABLE_COMPILER:-$PWD/build/release/data/lexivane_table_compiler}" \
    -DLEXIVANE_BUILD_CLI=OFF -DLEXIVANE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target lexivane_show_dialog >/dev/null

mkdir -p "$(dirname "$out")"
# One X session for the whole showing: the program reports where the window is once it is up,
# and closes it when told on its standard input.
# The screen is the size of the prefix's virtual desktop, so that the window's place on the one
# is its place on the other.
xvfb-run -a -s "-screen 0 800x600x24" bash -c '
  set -euo pipefail
  # A server of the prefix left over from an earlier session stays bound to the X server of
  # that session, where no window of ours would appear.
  WINEPREFIX=$2 wineserver -k 2>/dev/null || true
  coproc show { scripts/wine-run.sh "$2" "$1" --on-screen 2>&1; }
  read -r word x y width height <&"${show[0]}"
  if [[ $word != on-screen ]]; then echo "the dialog did not open: $word $x" >&2; exit 1; fi
  sleep 0.3  # the last paint reaching the X server
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$3"
  echo >&"${show[1]}"
  read -r answer <&"${show[0]}"
  wait "$show_PID"
  echo "dialog closed; the answer was \"$answer\"" >&2
  # The server of the prefix is bound to this X server: end it with it.
  WINEPREFIX=$2 wineserver -k 2>/dev/null || true
' screenshot "$build/examples/show_dialog/lexivane_show_dialog.exe" "$PWD/$build/wine-prefix" "$out"
echo "$out"
