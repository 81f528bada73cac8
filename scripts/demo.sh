#!/usr/bin/env bash
# Builds the Windows programs and shows the window under wine, started by
# the host exchange simulator with the sample order, so that the window
# finds the simulator through its parent process.
# With a reachable $DISPLAY the user works in the window and the demo ends
# when it is closed. Without one (a server) the demo runs on a private Xvfb,
# saves a screenshot of the window as build/demo-window.png, closes the
# window and exits 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh imagemagick=/usr/bin/import x11-utils=/usr/bin/xdpyinfo
build=$root/build
win=${VX_WIN_BUILD:-$build/win}
cmake -S . -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$win" -j "${VX_JOBS:-2}" --target VXJSONObject exchange-sim window-driver

# shellcheck source=wine-env.sh
. scripts/wine-env.sh
interactive=
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
  export VX_WINE_KEEP_DISPLAY=1
else
  # A wine desktop draws the caption and frame that no window manager draws.
  export VX_WINE_DESKTOP=1024x768
fi
# A prefix of its own, so that a test run at the same time keeps its own.
wine_env_start "$build/demo"
trap wine_env_stop EXIT

# The host: its database path (longer than the caption shows) and its main
# window, in whose top-right corner the window places itself.
simulator=(wine "$win/tools/exchange-sim/exchange-sim.exe"
  --dbpath 'C:\Programme\Kastelo\VX\Mandanten\Demo GmbH\Daten.fdb'
  --metrics 40,30,900,620
  --order "$(winepath -w samples/order-4711.json)"
  --launch "$(winepath -w "$win/src/app/VXJSONObject.exe")")
driver=(wine "$win/tools/window-driver/window-driver.exe")

if [ -n "$interactive" ]; then
  echo "The window is open on $DISPLAY; the demo ends when you close it."
  "${simulator[@]}" >"$build/demo-simulator.log" 2>&1
  exit 0
fi

"${simulator[@]}" >"$build/demo-simulator.log" 2>&1 &
simulator_pid=$!
"${driver[@]}" wait TLiveImportFrm 60
# Wine draws on the X server after the window's thread has painted.
sleep 1
import -window root -crop "$VX_WINE_DESKTOP+0+0" +repage "$build/demo-window.png"
"${driver[@]}" close TLiveImportFrm
# The simulator ends with its child, the window.
wait "$simulator_pid"
echo "Screenshot of the window: $build/demo-window.png"
