#!/usr/bin/env bash
# Runs a command with an X server: the one of the enclosing run, or else a virtual one of its
# own, so that a whole test run (scripts/test.sh) starts exactly one Xvfb for the Windows stage,
# the Qt window's test and both screenshots.
#
#   scripts/with-x-server.sh COMMAND [ARG...]
#
# The server is 800x600, the size of the Wine prefix's virtual desktop (scripts/wine-run.sh), so
# that a window's place on the desktop is its place on the screen. LEXIVANE_X_SERVER marks a
# DISPLAY as the run's own; a desktop session's DISPLAY is never used, so nothing of a run
# appears on a person's screen.
set -euo pipefail
if (($# == 0)); then
  echo "usage: $0 COMMAND [ARG...]" >&2
  exit 64
fi
if [[ -n ${LEXIVANE_X_SERVER:-} && -n ${DISPLAY:-} ]]; then exec "$@"; fi
LEXIVANE_X_SERVER=1 exec xvfb-run -a -s "-screen 0 800x600x24" "$@"
