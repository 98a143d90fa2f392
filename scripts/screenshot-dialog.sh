#!/usr/bin/env bash
# Renders the suggestions dialog's Windows window for the word "Teh" into a PNG, under Wine on a
# virtual X screen: usage scripts/screenshot-dialog.sh [out.png] (default build/dialog-teh.png).
#
# It cross-builds examples/show_dialog (incrementally, in build/mingw), makes a Wine prefix in
# build/mingw/wine the first time (about 15 s), then shows the dialog through the library's
# default view, photographs the screen once the window is up, crops the picture to the window
# and closes the dialog through its frame. About 5 s with the prefix in place.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/dialog-teh.png}
build=build/mingw

export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
export WINEPREFIX=$PWD/$build/wine

if [[ ! -f $build/CMakeCache.txt ]]; then
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DLEXIVANE_TABLE_COMPILER="${LEXIVANE_TABLE_COMPILER:-$PWD/build/release/data/lexivane_table_compiler}" \
    -DLEXIVANE_BUILD_CLI=OFF -DLEXIVANE_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j2 --target lexivane_show_dialog >/dev/null

# Without a window manager Wine draws no frames; a virtual desktop draws its own. It is read when
# the desktop starts, so the prefix gets it before any window of ours opens.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "making the Wine prefix $WINEPREFIX" >&2
  xvfb-run -a sh -c '
    wine wineboot --init &&
    wine reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f &&
    wine reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 640x400 /f &&
    wineserver -w' >/dev/null 2>&1
  # Wine's own fonts: Tahoma metrics for "MS Shell Dlg", and the title-bar buttons' glyphs.
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
fi

mkdir -p "$(dirname "$out")"
# One X session for the whole showing: the program reports where the window is once it is up,
# and closes it when told on its standard input.
xvfb-run -a -s "-screen 0 640x400x24" bash -c '
  set -euo pipefail
  coproc show { wine "$1" --on-screen 2>&1; }
  read -r word x y width height <&"${show[0]}"
  if [[ $word != on-screen ]]; then echo "the dialog did not open: $word $x" >&2; exit 1; fi
  sleep 0.3  # the last paint reaching the X server
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$2"
  echo >&"${show[1]}"
  read -r answer <&"${show[0]}"
  wait "$show_PID"
  echo "dialog closed; the answer was \"$answer\"" >&2
' screenshot "$build/examples/show_dialog/lexivane_show_dialog.exe" "$out"
echo "$out"
