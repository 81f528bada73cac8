#!/usr/bin/env bash
# Builds and runs every test: the native unit tests, then the Windows build
# and its release package under wine. Ends with one line "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh || exit 1
jobs=${VX_JOBS:-2}
build=$root/build
passed=0
failed=0

# Adds the counts of a ctest summary line ("95% tests passed, 1 tests failed out of 20").
count_ctest() {
  local line total fails
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1)
  if [ -z "$line" ]; then
    failed=$((failed + 1))
    return
  fi
  fails=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  total=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + total - fails))
  failed=$((failed + fails))
}

echo "== Native build and unit tests (the include order among them)"
if cmake -S . -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_TESTS=ON >/dev/null &&
   cmake --build "$build/native" -j "$jobs"; then
  ctest --test-dir "$build/native" -j "$jobs" --output-on-failure --timeout 300 >"$build/native-ctest.log" 2>&1
  cat "$build/native-ctest.log"
  count_ctest "$build/native-ctest.log"
else
  echo "native build failed"
  failed=$((failed + 1))
fi

echo "== Windows build and unit tests under wine"
if cmake -S . -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVX_TESTS=ON \
       -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null &&
   cmake --build "$build/win" -j "$jobs"; then
  # The release package of this build, for its test among the others below.
  if ! VX_WIN_BUILD="$build/win" bash scripts/package.sh >"$build/package.log" 2>&1; then
    cat "$build/package.log"
    echo "packaging failed"
    failed=$((failed + 1))
  fi
  # shellcheck source=wine-env.sh
  . scripts/wine-env.sh
  if wine_env_start "$build"; then
    # Into a file, not a pipe: a wine service that inherits a pipe would hold it open.
    ctest --test-dir "$build/win" -j 1 --output-on-failure --timeout 300 >"$build/win-ctest.log" 2>&1 </dev/null
    wine_env_stop
    cat "$build/win-ctest.log"
    count_ctest "$build/win-ctest.log"
  else
    echo "wine could not be prepared: no Windows test was run"
    failed=$((failed + 1))
  fi
else
  echo "Windows build failed"
  failed=$((failed + 1))
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
