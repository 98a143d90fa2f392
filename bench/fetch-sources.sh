#!/usr/bin/env bash
# Fetches Debian source packages (bookworm) and unpacks each into CACHE/NAME, for the benchmarks
# that check real source trees (bench/projects.txt). The system's apt sources are left alone:
# the deb-src line and the package lists live in CACHE/apt. A package already unpacked is kept.
#
# Usage: bench/fetch-sources.sh [--cache DIR] PACKAGE...   (default DIR: ~/.cache/lexivane-bench)
#        bench/fetch-sources.sh [--cache DIR] --list FILE  (the first word of each line of FILE
#                                                           that is not a comment)
# Prints the folder of each package. Needs apt-get and dpkg-source (dpkg-dev), and the network.
# A binary package's name (python3-click) is fetched as its source package; when the archive
# cannot serve that source, the binary package's files are unpacked instead.
set -euo pipefail

cache=${HOME}/.cache/lexivane-bench
packages=()
while [ $# -gt 0 ]; do
  case $1 in
    --cache) cache=$2; shift 2 ;;
    --list) packages+=($(grep -v '^#' "$2" | awk 'NF { print $1 }')); shift 2 ;;
    -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) packages+=("$1"); shift ;;
  esac
done
if [ ${#packages[@]} -eq 0 ]; then
  echo "$0: no package named (--help)" >&2
  exit 2
fi

apt=$cache/apt
mkdir -p "$apt/lists/partial" "$cache/downloads"
echo "deb-src http://deb.debian.org/debian bookworm main" > "$apt/sources.list"
options=(-o "Dir::Etc::SourceList=$apt/sources.list" -o Dir::Etc::SourceParts=-
         -o "Dir::State::Lists=$apt/lists" -o Debug::NoLocking=1)
if [ -z "$(ls "$apt/lists" 2>/dev/null | grep -v partial)" ]; then
  apt-get "${options[@]}" -qq update >&2
fi
# A package the archive cannot serve now is reported and passed over; the others are fetched.
missing=0
for package in "${packages[@]}"; do
  folder=$cache/$package
  if [ ! -d "$folder" ]; then
    if (cd "$cache/downloads" &&
        apt-get "${options[@]}" -qq source --download-only "$package" >&2); then
      dsc=$(ls -t "$cache/downloads/${package}_"*.dsc | head -n 1)
      dpkg-source --no-check -x "$dsc" "$folder" >/dev/null
    elif (cd "$cache/downloads" && apt-get -qq download "$package" >&2); then
      # Where the archive serves the binary package but not the source (the mirror answers
      # 404 for some source tarballs), the binary's files stand in: for Python and JavaScript
      # they are the code itself, with its comments and docstrings.
      echo "$0: $package: the source could not be fetched; its binary package's files are used" >&2
      deb=$(ls -t "$cache/downloads/${package}_"*.deb | head -n 1)
      dpkg-deb -x "$deb" "$folder"
    else
      echo "$0: $package could not be fetched; passed over" >&2
      missing=$((missing + 1))
      continue
    fi
  fi
  echo "$folder"
done
[ "$missing" -eq 0 ]
