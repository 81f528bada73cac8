#!/usr/bin/env bash
# Builds the parser's fuzz target with clang and libFuzzer and runs it.
#   bash fuzz/run.sh [SECONDS]     default 300
# Needs clang and libclang-rt-14-dev (apt-get install clang libclang-rt-14-dev).
# Inputs that fail are written to build/json-fuzz/crashes/; copy them to
# tests/json/fuzz_regressions/ once fixed, where the unit tests replay them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/json-fuzz
seconds=${1:-300}
cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target json_parser_fuzz
mkdir -p "$build/corpus" "$build/crashes"
# The checked-in seeds and regressions start the corpus; what the run adds
# stays in the build folder.
"$build/json_parser_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=4096 \
  -dict="$root/fuzz/json.dict" -artifact_prefix="$build/crashes/" -print_final_stats=1 \
  "$build/corpus" "$root/fuzz/corpus" "$root/tests/json/fuzz_regressions"
