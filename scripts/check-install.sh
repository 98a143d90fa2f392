#!/usr/bin/env bash
# Installs the build in $1 the way a distribution package does (DESTDIR, with the prefix and
# libdir the build was configured with: /usr and lib/x86_64-linux-gnu on Debian), builds
# examples/host against it with find_package and with pkg-config, both with clang++ at its
# default standard so that the package has to supply the one its headers need, and runs both
# on ASCII and UTF-8 words; where the Qt window was built, does the same for a program that shows
# it. Then installs again to another prefix and checks that the pkg-config file follows. Nothing
# of the library is rebuilt.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-install.sh BUILD_DIR}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
fail() { printf '%s\n' "$@" >&2; exit 1; }
prefix=$(cache CMAKE_INSTALL_PREFIX)
libdir=$(cache CMAKE_INSTALL_LIBDIR)
[[ $libdir == /* ]] || libdir=$prefix/$libdir
root=$scratch/root
lib=$root$libdir
DESTDIR=$root cmake --install "$build" >/dev/null

for file in LICENSE README.md; do cmp "$file" "$root$prefix/share/doc/lexivane/$file"; done
for file in COPYING.scowl COPYING.software-terms COPYING.cspell-dicts; do
  cmp "data/$file" "$root$prefix/share/doc/lexivane/$file"
done
# The Enchant provider, where it was built, goes to Enchant's folder below the libdir and finds
# the library one level up.
if grep -q '^ENCHANT_FOUND:INTERNAL=1' "$build/CMakeCache.txt"; then
  found=$(LD_LIBRARY_PATH= ldd "$lib/enchant-2/enchant_lexivane.so" | awk '/liblexivane/ {print $3}')
  [[ $(dirname "$(realpath -m "$found")") == "$(realpath "$lib")" ]] ||
    fail "enchant_lexivane.so: not in $lib/enchant-2, or finding the library at '$found'"
fi
# The tool's window module, where the Qt window was built, sits in <libdir>/lexivane, where the
# tool looks for it, and finds the Qt library one level up (the core library is the tool's).
if [[ -f $lib/pkgconfig/lexivane-qt.pc ]]; then
  module=$lib/lexivane/lexivane-fix-window.so
  [[ -f $module ]] || fail "the tool's window module is not at $module"
  found=$(LD_LIBRARY_PATH= ldd "$module" | awk '/liblexivane-qt/ {print $3}')
  [[ $(dirname "$(realpath -m "$found")") == "$(realpath "$lib")" ]] ||
    fail "$module: finding liblexivane-qt at '$found'"
fi

# The pkg-config file in $1/pkgconfig must name $1 and the headers beside it.
check_pc_dirs() {
  local found
  found=$(PKG_CONFIG_PATH=$1/pkgconfig pkg-config --variable=libdir lexivane)
  [[ $(realpath -m "$found") == "$(realpath "$1")" ]] || fail "lexivane.pc: libdir $found"
  found=$(PKG_CONFIG_PATH=$1/pkgconfig pkg-config --variable=includedir lexivane)
  test -f "$found/lexivane/lexivane.h" || fail "lexivane.pc: includedir $found"
}
check_pc_dirs "$lib"
PKG_CONFIG_PATH=$lib/pkgconfig pkg-config --static --libs lexivane | grep -q -- '-licuuc.*-lz'

cmake -S examples/host -B "$scratch/host" -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_PREFIX_PATH="$root$prefix" >/dev/null
grep -q "^lexivane_DIR:PATH=$lib/" "$scratch/host/CMakeCache.txt"
cmake --build "$scratch/host" >/dev/null
# shellcheck disable=SC2046  # pkg-config's flags are meant to be split
clang++ examples/host/main.cc -o "$scratch/host-pc" \
  $(PKG_CONFIG_PATH="$lib/pkgconfig" pkg-config --cflags --libs lexivane)

# Words go in as UTF-8 bytes and come back as the same bytes: café is in the list, clichè is
# not and its first suggestion is cliché.
cafe=$'caf\xc3\xa9' cliche_grave=$'clich\xc3\xa8' cliche=$'clich\xc3\xa9'
for host in "$scratch/host/host" "$scratch/host-pc"; do
  output=$(LD_LIBRARY_PATH=$lib "$host" house recieve "$cafe" "$cliche_grave")
  for line in "house: ok" "recieve: receive " "$cafe: ok" "$cliche_grave: $cliche "; do
    grep -q "^$line" <<<"$output" || fail "$host: no line \"$line\" in" "$output"
  done
done

# The Qt window, where it was built: the dialog program built against the package with
# find_package's qt component and with pkg-config lexivane-qt shows the dialog for "Teh" on Qt's
# offscreen platform and is answered through the window's frame, as Ignore: with the word.
if [[ -f $lib/pkgconfig/lexivane-qt.pc ]]; then
  cmake -S examples/show_dialog -B "$scratch/show_dialog" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_PREFIX_PATH="$root$prefix" >/dev/null
  cmake --build "$scratch/show_dialog" >/dev/null
  # shellcheck disable=SC2046  # pkg-config's flags are meant to be split
  clang++ examples/show_dialog/main_qt.cc -o "$scratch/show_dialog-pc" \
    $(PKG_CONFIG_PATH="$lib/pkgconfig" pkg-config --cflags --libs lexivane-qt)
  for program in "$scratch/show_dialog/lexivane_show_dialog" "$scratch/show_dialog-pc"; do
    output=$(echo | QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH=$lib "$program" --on-screen Teh \
      2>"$scratch/qt-errors")
    [[ $output == "on-screen "*$'\nTeh' ]] ||
      fail "$program: the dialog was not answered:" "$output" "$(cat "$scratch/qt-errors")"
  done
  qt=", and so does the Qt window"
fi

libdir=$(cache CMAKE_INSTALL_LIBDIR)
if [[ $libdir != /* ]]; then
  cmake --install "$build" --prefix "$scratch/elsewhere" >/dev/null
  check_pc_dirs "$scratch/elsewhere/$libdir"
fi
echo "installed package ($prefix, $libdir): find_package and pkg-config hosts work${qt:-}"
