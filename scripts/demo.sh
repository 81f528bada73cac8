#!/usr/bin/env bash
# Builds the Windows programs and shows the window under wine, started by
# the host exchange simulator with the sample order, so that the window
# finds the simulator through its parent process.
# With a reachable $DISPLAY the user works in the window and the demo ends
# when it is closed. Without one (a server) the demo runs on a private Xvfb
# and does the window's three jobs through the window itself, as a user
# would: save the host's order, send the saved file back, copy the
# positions to the clipboard. It takes a screenshot at each step, puts them
# into build/demo.png, prints a summary and exits 0 only when every step
# did what it should.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh imagemagick=/usr/bin/import imagemagick=/usr/bin/montage x11-utils=/usr/bin/xdpyinfo \
  fonts-dejavu-core=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
build=$root/build
win=${VX_WIN_BUILD:-$build/win}
cmake -S . -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$win" -j "${VX_JOBS:-2}" --target VXJSONObject exchange-sim vxorder window-driver

# Wine hands the programs their arguments in the Windows code page, read
# from the locale: with a UTF-8 one the "Ö" of a button caption arrives.
export LC_ALL=C.UTF-8
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
demo=$build/demo
# A prefix of its own, so that a test run at the same time keeps its own.
wine_env_start "$demo"
trap wine_env_stop EXIT

# The host: its database path (longer than the caption shows) and its main
# window, in whose top-right corner the window places itself. It is in edit
# mode and stores each document the window sends below build/demo/host.
rm -rf "$demo/out" "$demo/host" "$demo/shots" "$demo/clipboard.bin" "$build/demo.png"
mkdir -p "$demo/out" "$demo/host" "$demo/shots"
simulator=(wine "$win/tools/exchange-sim/exchange-sim.exe"
  --dbpath 'C:\Programme\Kastelo\VX\Mandanten\Demo GmbH\Daten.fdb'
  --metrics 40,30,900,620
  --edit-mode 1
  --outdir "$(winepath -w "$demo/host")"
  --order "$(winepath -w samples/order-4711.json)"
  --launch "$(winepath -w "$win/src/app/VXJSONObject.exe")")

if [ -n "$interactive" ]; then
  echo "The window is open on $DISPLAY; the demo ends when you close it."
  "${simulator[@]}" >"$build/demo-simulator.log" 2>&1
  exit 0
fi

# Every driver command waits for at most its own limit; the outer limit
# only guards against a wine that hangs.
drive() {
  timeout -k 5 90 wine "$win/tools/window-driver/window-driver.exe" "$@"
}
vxorder() {
  timeout -k 5 60 wine "$win/tools/vxorder/vxorder.exe" "$@" | tr -d '\r'
}

shots=()
captions=()
# shot CAPTION: a screenshot of the wine desktop, captioned in the picture.
shot() {
  # Wine draws on the X server after the window's thread has painted.
  sleep 1
  local file
  file=$demo/shots/$(printf '%02d' "${#shots[@]}").png
  # The upper part of the desktop holds the window, its dialogs and boxes.
  import -window root -crop "${VX_WINE_DESKTOP%x*}x560+0+0" +repage "$file"
  shots+=("$file")
  captions+=("$1")
}

# All screenshots so far in one picture, a caption under each.
make_picture() {
  [ ${#shots[@]} -gt 0 ] || return 0
  local args=() i
  for i in "${!shots[@]}"; do
    args+=(-label "${captions[$i]}" "${shots[$i]}")
  done
  montage -font /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf -pointsize 18 -background white \
    "${args[@]}" -tile 2x -geometry +12+12 \
    -title "VXJSONObject demo: save, send and copy through the window" "$build/demo.png"
}

# fail STEP MESSAGE: names the step, adds what a message box of the window
# says, keeps the picture of the steps so far, and ends the demo.
fail() {
  local box
  box=$(drive text TFSB_BOX 2>/dev/null | tr -d '\r' || true)
  shot "FAILED: step $1" || true
  make_picture || true
  echo "demo: step $1 failed: $2" >&2
  if [ -n "$box" ]; then
    echo "demo: the window shows the message: $box" >&2
  fi
  echo "demo: screenshots so far: $build/demo.png; host log: $build/demo-simulator.log" >&2
  exit 1
}

# wait_for_file FILE SECONDS: true once FILE is there.
wait_for_file() {
  local i
  for ((i = 0; i < $2 * 10; i++)); do
    [ -s "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

"${simulator[@]}" >"$build/demo-simulator.log" 2>&1 &
simulator_pid=$!
drive wait TLiveImportFrm 60 || fail "0 (start)" "the window did not open"
shot "The window beside the host (exchange-sim, samples/order-4711.json)"

# 1. Save: the host's order into build/demo/out under the proposed name.
drive click TLiveImportFrm "VX Auftrag speichern" || fail "1 (save)" "no button \"VX Auftrag speichern\""
# The proposed name as it is: it ends in a date with points, which the
# dialog takes for an extension, and the window adds the ".json" itself.
name=$(drive dialog-name TLiveImportFrm "$(winepath -w "$demo/out")\\" | tr -d '\r') ||
  fail "1 (save)" "the save dialog did not come or proposed no name"
shot "1. Save: \"VX Auftrag speichern\", the proposed name in build/demo/out"
drive dialog-ok TLiveImportFrm || fail "1 (save)" "the save dialog did not take $name"
drive wait TFSB_BOX 30 || fail "1 (save)" "no message after saving"
message=$(drive text TFSB_BOX | tr -d '\r')
[[ $message == *"Die erzeugten Datei finden Sie hier"* ]] || fail "1 (save)" "the message is not the success message"
shot "1. Save: the file is written; the message links to its folder"
drive close TFSB_BOX || fail "1 (save)" "the message did not close"
saved=$(find "$demo/out" -name '*.json' | head -n 1)
[ -n "$saved" ] || fail "1 (save)" "no .json file in $demo/out"
saved_check=$(vxorder check "$(winepath -w "$saved")") || fail "1 (save)" "vxorder check $saved: $saved_check"

# 2. Send: the saved file back into the host's open order.
drive click TLiveImportFrm "Öffnen und nach VX senden" || fail "2 (send)" "no button \"Öffnen und nach VX senden\""
drive dialog-name TLiveImportFrm "$(winepath -w "$saved")" >/dev/null || fail "2 (send)" "the open dialog did not come"
shot "2. Send: \"Öffnen und nach VX senden\", the saved file chosen"
drive dialog-ok TLiveImportFrm || fail "2 (send)" "the open dialog did not take $saved"
wait_for_file "$demo/host/outdata-0001.json" 30 || fail "2 (send)" "the host stored no document in $demo/host"
# The window sends one document per file.
sent=$demo/host/outdata-0001.json
sent_check=$(vxorder check "$(winepath -w "$sent")") || fail "2 (send)" "vxorder check $sent: $sent_check"

# 3. Copy: the host's positions onto the clipboard in the grid's format.
drive clipboard-clear || fail "3 (copy)" "the clipboard could not be emptied"
drive link TLiveImportFrm "Nur Inhalt Kopieren" || fail "3 (copy)" "no link \"Nur Inhalt Kopieren\""
drive clipboard CF_DATAGRIDDATA "$(winepath -w "$demo/clipboard.bin")" ||
  fail "3 (copy)" "no CF_DATAGRIDDATA block on the clipboard"
clipboard_size=$(stat -c %s "$demo/clipboard.bin")
shot "3. Copy: \"Nur Inhalt Kopieren\", $clipboard_size bytes of CF_DATAGRIDDATA"

drive close TLiveImportFrm || fail "4 (close)" "the window is gone"
# The simulator ends with its child, the window.
for ((i = 0; i < 200; i++)); do
  kill -0 "$simulator_pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$simulator_pid" 2>/dev/null && fail "4 (close)" "the window did not close within 20 s"
wait "$simulator_pid" || fail "4 (close)" "the host simulator ended with an error"
make_picture

relative() { echo "${1#"$root"/}"; }
echo
echo "Demo summary"
echo "  1. save:  $(relative "$saved"): $saved_check (vxorder check)"
echo "  2. send:  the host stored $(relative "$sent") ($(stat -c %s "$sent") bytes): $sent_check"
echo "  3. copy:  $(relative "$demo/clipboard.bin"): CF_DATAGRIDDATA block of $clipboard_size bytes"
echo "  picture:  $(relative "$build/demo.png")"
