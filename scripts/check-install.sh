#!/usr/bin/env bash
# Installs the build in $1 to a scratch prefix and builds examples/host against it, once with
# find_package and once with pkg-config, then runs both.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: check-install.sh BUILD_DIR}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix/usr" >/dev/null
cmake -S examples/host -B "$prefix/host" -DCMAKE_PREFIX_PATH="$prefix/usr" >/dev/null
cmake --build "$prefix/host" >/dev/null
g++ -std=c++20 examples/host/main.cc -o "$prefix/host-pc" \
  $(PKG_CONFIG_PATH="$prefix/usr/lib/pkgconfig" pkg-config --cflags --libs lexivane)

for host in "$prefix/host/host" "$prefix/host-pc"; do
  output=$(LD_LIBRARY_PATH="$prefix/usr/lib" "$host" house recieve)
  grep -q "^house: ok$" <<<"$output"
  grep -q "^recieve: receive" <<<"$output"
done
echo "installed package: find_package and pkg-config hosts work"
