#!/usr/bin/env bash
# Non-blank lines of C++ in the repository, and the share of them that are tests (files named
# *_test.*, everything under tests/, and the component's client programs under component/tests/
# except its benchmark), leaving out the documents of others that the benchmarks read (testdata/).
# The project keeps tests at a quarter to a third.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { if (($# == 0)); then echo 0; else cat "$@" | grep -cv '^[[:space:]]*$'; fi; }
mapfile -t all < <(git ls-files '*.cc' '*.h' '*.h.in' ':!testdata')
mapfile -t tests < <(printf '%s\n' "${all[@]}" | grep -E '(_test\.[^/]*$|^tests/|^component/tests/)' |
  grep -v '_bench\.cc$')
total=$(count "${all[@]}")
test_lines=$(count "${tests[@]}")
echo "tests: $test_lines of $total non-blank C++ lines ($((100 * test_lines / total)) %)"
