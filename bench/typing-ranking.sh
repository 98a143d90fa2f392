#!/usr/bin/env bash
# Everything the typing ranking is held to, in one run: its top-1 / top-5 / none on
# the four test corpora and the tuning set beside the engine's search and aspell
# (lexivane_suggestion_quality), its time per word beside aspell's on the Birkbeck sample
# (lexivane_suggest_bench: median and p95), and whole runs of the tool against `aspell -a` on
# every test corpus (compare-suggest.sh). Needs a build with -DLEXIVANE_BUILD_BENCH=ON.
#
# Usage: bench/typing-ranking.sh BUILD_DIR [RUNS]   (e.g. build/release 3)
set -euo pipefail

build=$(realpath "$1")
runs=${2:-3}
here=$(dirname "$0")

echo "## Quality"
"$build/bench/lexivane_suggestion_quality"
echo
echo "## Time per word, Birkbeck sample"
"$build/bench/lexivane_suggest_bench" --benchmark_filter='(TypingSuggestions|Aspell_Suggest)/every:1/'
echo
echo "## Whole runs against aspell -a"
"$here/compare-suggest.sh" "$build/cli/lexivane" "$runs"
