#!/usr/bin/env bash
# Builds the engine's libFuzzer target with clang in BUILD_DIR and runs it for SECONDS on a
# seed corpus of misspellings and odd text that it writes itself (UTF-16LE). Crashes, hangs,
# sanitizer reports and answers that differ from the plain reference fail the run.
#
# usage: tests/run_engine_fuzzer.sh [BUILD_DIR (build/fuzz)] [SECONDS (45)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-45}

scripts/build-fuzzer.sh "$build" lexivane_engine_fuzzer

corpus="$build/engine-corpus"
mkdir -p "$corpus"
python3 - "$corpus" <<'PYTHON'
import os, sys
seeds = ["offise", "Teh", "thankyou", "recieve", "hello,", "(dogs')", "caf\u00e9", "x1",
         "teh\u0001the", "a teh b\u0001teh teh", "\ud800ab", "1,234.5", "zygotr", "don't",
         # parts on either side of the longest entry (23 units) and of the long custom words,
         # and parts that cleaning shortens
         "electroencephalograph'sat", "counterrevolutionariescounterrevolutionaries",
         "atpneumonoultramicroscopicsilicovolcanoconiosis", "x" * 24 + "'s",
         "at" + "-" * 30 + "at", "at" + "'" * 30 + "a's", "1" * 30 + "at", "it's" * 12,
         "at" + " " * 24 + "ox", "e" + "lectroencephalograph" * 3]
for i, seed in enumerate(seeds):
    with open(os.path.join(sys.argv[1], f"seed-{i}"), "wb") as f:
        f.write(seed.encode("utf-16-le", "surrogatepass"))
PYTHON

"$build/tests/lexivane_engine_fuzzer" -max_total_time="$seconds" -max_len=160 -timeout=10 \
  -rss_limit_mb=2048 -artifact_prefix="$build/" -print_final_stats=1 "$corpus"
