#!/usr/bin/env bash
# Builds the benchmarks in Release and prints their ratio tables, each row
# of ours against its yardstick measured in the same run:
#   JSON      on the order files and the numbers, catalog and feed shapes:
#             vxorder check/compact/format as whole processes against a
#             RapidJSON, an nlohmann and a simdjson program (time and peak
#             memory; simdjson has no format), the hostile texts against
#             benign ones, and the model in one process against RapidJSON,
#             nlohmann::json and simdjson
#   base64    the attachment codec against a plain one
#   INI       the fast INI file against inih
#   host link a host call against a bare pipe ping-pong
#
#   bash scripts/bench.sh [--wine]    as root on Debian 12: installs what is missing
#   --wine    also the whole-file rows of the Windows build under wine
#             (vxorder.exe against rapidjson_order.exe and nlohmann_order.exe,
#             the 10 000 positions and the three shapes; simdjson is a
#             library of the Linux system and is not there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
wine_too=
case "${1:-}" in
  "") ;;
  --wine) wine_too=1 ;;
  *) echo "usage: bash scripts/bench.sh [--wine]" >&2; exit 2 ;;
esac

bash scripts/setup.sh rapidjson-dev=/usr/include/rapidjson/document.h \
  nlohmann-json3-dev=/usr/include/nlohmann/json.hpp \
  libbenchmark-dev=/usr/include/benchmark/benchmark.h \
  libinih-dev=/usr/include/INIReader.h \
  libsimdjson-dev=/usr/include/simdjson.h
jobs=${VX_JOBS:-2}
build=$root/build/bench
results=$build/results
mkdir -p "$results"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=ON -DVX_TESTS=OFF >/dev/null
cmake --build "$build" -j "$jobs"

json=$build/bench/json
echo
echo "== JSON: vxorder as a whole process"
"$json/json_file_ratio" --vxorder "$build/tools/vxorder/vxorder" --rapidjson "$json/rapidjson_order" \
  --nlohmann "$json/nlohmann_order" --simdjson "$json/simdjson_order" --rounds 5

# Each Google Benchmark program writes its rows to a file; the table pairs
# them. Its own report and the machine's description go to a log beside it.
run_table() { # GROUP PROGRAM [ARGS...]
  local group=$1
  shift
  "$@" --benchmark_out="$results/$group.json" --benchmark_out_format=json >"$results/$group.log" 2>&1
  python3 bench/ratio_table.py "$group" "$results/$group.json"
}

echo
echo "== JSON: the model in one process (CPU time)"
run_table json "$json/vx_json_bench" --benchmark_min_time=0.2
echo
echo "== base64"
run_table base64 "$build/bench/base64/vx_base64_bench" --benchmark_min_time=0.2
echo
echo "== INI"
run_table ini "$build/bench/settings/vx_settings_bench" --benchmark_min_time=0.2
echo
echo "== Host link"
run_table hostlink "$build/bench/hostlink/hostlink_bench" --benchmark_min_time=0.2

if [ -n "$wine_too" ]; then
  win=$root/build/bench-win
  cmake -S . -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_BENCH=ON -DVX_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
  cmake --build "$win" -j "$jobs" --target vxorder json_file_ratio rapidjson_order nlohmann_order
  # shellcheck source=wine-env.sh
  . scripts/wine-env.sh
  wine_env_start "$win"
  trap wine_env_stop EXIT
  windows_path() { winepath -w "$1" 2>/dev/null; }
  echo
  echo "== JSON under wine: vxorder.exe as a whole process"
  wine "$win/bench/json/json_file_ratio.exe" --vxorder "$(windows_path "$win/tools/vxorder/vxorder.exe")" \
    --rapidjson "$(windows_path "$win/bench/json/rapidjson_order.exe")" \
    --nlohmann "$(windows_path "$win/bench/json/nlohmann_order.exe")" \
    --folder "$(windows_path "$win/ratio")" --orders small --rounds 5 </dev/null
fi
