#!/usr/bin/env bash
# Makes sure the Wine prefix PREFIX exists, creating a 64-bit one on first use, then runs
# COMMAND (if given) in the environment every Wine step of the build and the tests uses.
#
# usage: scripts/wine-prefix.sh PREFIX [COMMAND [ARG...]]
#   e.g. scripts/wine-prefix.sh build/mingw/wine-prefix wine regsvr32 /s lexvn11en.dll
# Safe to call again and from two build steps at once: a lock lets one of them create the prefix.
set -euo pipefail
prefix=${1:?usage: scripts/wine-prefix.sh PREFIX [COMMAND [ARG...]]}
shift
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)

export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installers; a crash ends the program with a code instead of a debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

exec 9>"$prefix.lock"
flock 9
if [[ ! -f $prefix/system.reg ]]; then
  wine wineboot --init >/dev/null 2>&1
  wineserver -w
fi
exec 9>&-

if (($#)); then exec "$@"; fi
