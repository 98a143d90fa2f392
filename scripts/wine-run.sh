#!/usr/bin/env bash
# Runs a Windows program under Wine in the build's own prefix, creating the prefix on first use.
#
#   scripts/wine-run.sh PREFIX PROGRAM [ARGS...]
#
# The cross-build uses it as the emulator of every Windows executable (CTest and build-time
# tools), so all of them share one 64-bit prefix per build folder. The exit status is the
# program's. A crash exits with a code instead of opening the debugger; Mono and Gecko are never
# installed. Creating a prefix takes about 15 s; later runs start in a fraction of a second while
# the wine server stays up (it lingers for 60 s after the last program).
#
# Windows need an X display: run the tests on one X server together with the build
# (scripts/with-x-server.sh), because a wine server started without a display stays without one
# while it lives.
set -euo pipefail

if (($# < 2)); then
  echo "usage: $0 PREFIX PROGRAM [ARGS...]" >&2
  exit 64
fi
prefix=$1
shift

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Wine turns Windows file names into Unix ones in the character set of the process's locale, and
# cannot name a file beyond it: in the C locale (a plain container or a fresh root sets no LANG)
# making "café.dic" fails with "File not found". C.UTF-8 is always there on Debian.
if [[ $(locale charmap 2>/dev/null) != UTF-8 ]]; then
  export LC_ALL=C.UTF-8
fi

create_prefix() {
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
  # Without a window manager, frames and captions come from a Wine virtual desktop.
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null
  wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 800x600 /f >/dev/null
  # Wine's own fonts give Tahoma metrics and the title-bar glyphs.
  if compgen -G '/usr/share/wine/fonts/*.ttf' >/dev/null; then
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
  fi
  wineserver -w
  touch "$prefix/.lexivane-ready"
}

if [[ ! -e $prefix/.lexivane-ready ]]; then
  mkdir -p "$prefix"
  # Parallel test runs wait for the one that creates the prefix.
  exec 9>"$prefix.lock"
  flock 9
  if [[ ! -e $prefix/.lexivane-ready ]]; then
    echo "creating the Wine prefix $prefix" >&2
    create_prefix
  fi
  flock -u 9
fi

# Keeps the server warm between programs (failing harmlessly when one is running already) and
# starts Wine's own services if they are not up. Both linger after the program; their
# descriptors must point nowhere, or a test runner would wait for their output until they end.
wineserver -p 60 </dev/null >/dev/null 2>&1 || true
wine wineboot </dev/null >/dev/null 2>&1 || true
exec wine "$@"
