#!/usr/bin/env bash
# Installs everything Lexivane needs to build, test and benchmark on Debian 12. Run as root.
set -euo pipefail

packages=(
  # build and test
  build-essential cmake pkg-config git python3
  # the English variants' word lists (data/make_variant_words.py, run by the build)
  scowl
  # the formatter the sources are held to (scripts/check-format.sh), pinned: versions differ
  clang-format-14
  libicu-dev libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev zlib1g-dev
  # repositories: ignore rules and diffs, and the project configuration
  libgit2-dev libtomlplusplus-dev
  # the report formats' schemas checked in the tests
  python3-jsonschema
  # the Windows cross-build, and Wine (with an X server) to run and test it and to show the
  # dialog (scripts/screenshot-dialog.sh); the component's type library is made with widl and Wine
  g++-mingw-w64-x86-64-posix libz-mingw-w64-dev mingw-w64-tools
  wine wine64 libwine-dev xvfb xauth imagemagick fonts-wine
  # the Qt window of the dialog (liblexivane-qt; Qt Test; the offscreen and xcb platforms), a
  # font for it, and a small window manager that frames its screenshot with the caption
  qt6-base-dev fonts-dejavu-core twm
  # the key presses that the test of `lexivane fix` in its window fakes (XTEST)
  libxtst6
  # the fuzzer
  clang libclang-rt-14-dev
  # benchmarks, and the spell checkers they are measured against
  libbenchmark-dev libaspell-dev aspell-en libhunspell-dev hunspell-en-us libnuspell-dev
  # the aspell and hunspell programs that `lexivane list` and `check` are timed against
  aspell hunspell
  codespell  # its list of common misspellings, planted in testdata/modes-corpus/
  # the Enchant 2 provider (enchant/), and the enchant-2 tools its tests drive
  libenchant-2-dev enchant-2
  # the editor whose ispell and flyspell test `lexivane -a`, and the provider through enchant-2
  emacs-nox
  # the editor whose LSP client tests `lexivane lsp` (lsp/tests/nvim_test.lua)
  neovim
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
