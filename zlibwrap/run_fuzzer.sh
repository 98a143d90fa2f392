#!/usr/bin/env bash
# Builds the zlib wrapper's libFuzzer target with clang in BUILD_DIR and runs it for SECONDS on
# a seed corpus of compressed files that it writes itself: valid, hostile-length and damaged.
# Crashes, leaks and inputs slower than 10 s are written to BUILD_DIR and fail the run.
#
# usage: zlibwrap/run_fuzzer.sh [BUILD_DIR (build/fuzz)] [SECONDS (60)]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-60}

scripts/build-fuzzer.sh "$build" lexivane_zlib_fuzzer

corpus="$build/zlib-corpus"
mkdir -p "$corpus"
python3 - "$corpus" <<'PYTHON'
import os, struct, sys, zlib
text = b"The quick brown fox jumps over the lazy dog. " * 20
stream = zlib.compress(text)
seeds = {
    "valid": struct.pack("<i", len(text)) + stream,
    "stored": struct.pack("<i", len(text)) + zlib.compress(text, 0),
    "zero-length": struct.pack("<i", 0) + stream,
    "negative-length": struct.pack("<i", -13) + stream,
    "largest-length": struct.pack("<i", 2**31 - 1) + stream,
    "bomb": struct.pack("<i", 2_000_000_000) + zlib.compress(bytes(1_000_000), 9),
    "truncated": struct.pack("<i", len(text)) + stream[: len(stream) // 2],
    "short": b"\x01\x02",
}
for name, content in seeds.items():
    with open(os.path.join(sys.argv[1], "seed-" + name), "wb") as f:
        f.write(content)
PYTHON

"$build/zlibwrap/lexivane_zlib_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -timeout=10 -artifact_prefix="$build/" -print_final_stats=1 "$corpus"
