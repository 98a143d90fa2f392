#!/usr/bin/env bash
# Renders the suggestions dialog for the word "Teh" into a PNG on a virtual X screen:
#
#   scripts/screenshot-dialog.sh qt [out.png]        the Qt window (default build/dialog-teh-qt.png)
#   scripts/screenshot-dialog.sh windows [out.png]   the Windows window (default build/dialog-teh.png)
#
# Both run examples/show_dialog, which reports where the window is once it is up and closes the
# dialog through its frame when told on its standard input; the picture is taken in between,
# cropped to the window with its frame.
#
# qt: the program of the release build (LEXIVANE_BUILD, default build/release, brought up to date
# but not configured here) on Xvfb, with twm drawing the frame and its caption (in the X
# server's built-in font, so that no X font package is needed). About 2 s.
#
# windows: cross-builds the program (incrementally, in build/mingw), runs it through
# scripts/wine-run.sh in the build's prefix (made on first use, about 15 s, with the virtual
# desktop that draws window frames) and shows the dialog through the library's default view.
# About 5 s with the prefix in place.
set -euo pipefail
cd "$(dirname "$0")/.."
platform=${1:?usage: screenshot-dialog.sh qt|windows [out.png]}

# The showing, inside an X session: $1 runs the program and prints what it prints, $2 is the
# picture. Reads "on-screen X Y WIDTH HEIGHT [WINDOW]", photographs the window with the frame
# that the window manager drew around it (the Qt program names its X window) or else that
# rectangle of the screen (the Windows program gives its frame's), and closes the dialog.
photograph='
  coproc show { eval "$1" 2>&1; }
  pid=$show_PID  # bash forgets it once the program has ended
  while read -r word x y width height window <&"${show[0]}" && [[ $word != on-screen ]]; do
    echo "$word $x $y $width $height $window" >&2  # what the program said before the window was up
  done
  if [[ ${word:-} != on-screen ]]; then echo "the dialog did not open" >&2; exit 1; fi
  sleep 0.3  # the last paint reaching the X server
  if [[ -n $window ]]; then
    import -frame -window "$window" "$2"
  else
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$2"
  fi
  echo >&"${show[1]}"
  answer=$(tail -n 1 <&"${show[0]}")
  wait "$pid"
  echo "dialog closed; the answer was \"$answer\"" >&2
'

case $platform in
  qt)
    out=${2:-build/dialog-teh-qt.png}
    build=${LEXIVANE_BUILD:-build/release}
    cmake --build "$build" -j2 --target lexivane_show_dialog >/dev/null
    mkdir -p "$(dirname "$out")"
    twmrc=$(mktemp)
    trap 'rm -f "$twmrc"' EXIT
    # A dialog is a transient window, which twm frames only when told to.
    printf '%s\n' 'TitleFont "fixed"' 'MenuFont "fixed"' 'IconFont "fixed"' 'ResizeFont "fixed"' \
      'IconManagerFont "fixed"' DecorateTransients RandomPlacement NoGrabServer >"$twmrc"
    scripts/with-x-server.sh bash -c '
      set -euo pipefail
      LC_ALL=C twm -f "$3" 2>/dev/null &
      twm_pid=$!
      trap "kill $twm_pid 2>/dev/null || true" EXIT
      sleep 0.5  # twm taking over the screen before the window maps
      '"$photograph" screenshot \
      "QT_QPA_PLATFORM=xcb $build/examples/show_dialog/lexivane_show_dialog --on-screen" "$out" \
      "$twmrc"
    ;;
  windows)
    out=${2:-build/dialog-teh.png}
    build=build/mingw
    if [[ ! -f $build/CMakeCache.txt ]]; then
      cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
        -DLEXIVANE_TABLE_COMPILER="${LEXIVANE_TABLE_COMPILER:-$PWD/build/release/data/lexivane_table_compiler}" \
        -DLEXIVANE_BUILD_CLI=OFF -DLEXIVANE_BUILD_TESTS=OFF >/dev/null
    fi
    cmake --build "$build" -j2 --target lexivane_show_dialog >/dev/null
    mkdir -p "$(dirname "$out")"
    # The screen is the size of the prefix's virtual desktop, so that the window's place on the
    # one is its place on the other.
    scripts/with-x-server.sh bash -c '
      set -euo pipefail
      # A server of the prefix left over from an earlier session stays bound to the X server of
      # that session, where no window of ours would appear.
      WINEPREFIX=$3 wineserver -k 2>/dev/null || true
      '"$photograph"'
      # The server of the prefix is bound to this X server: end it with it.
      WINEPREFIX=$3 wineserver -k 2>/dev/null || true
    ' screenshot "scripts/wine-run.sh $PWD/$build/wine-prefix $build/examples/show_dialog/lexivane_show_dialog.exe --on-screen" \
      "$out" "$PWD/$build/wine-prefix"
    ;;
  *)
    echo "usage: screenshot-dialog.sh qt|windows [out.png]" >&2
    exit 2
    ;;
esac
echo "$out"
