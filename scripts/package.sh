#!/usr/bin/env bash
# Builds the Windows programs in Release and packs them for Windows users:
#   build/dist/VXJSONObject-<version>-win64.zip
# with VXJSONObject.exe, vxorder.exe, exchange-sim.exe, LIESMICH.txt (German,
# Windows-1252, CR LF) and SHA256SUMS, all at the top of the archive. The
# version is the one in the file VERSION. Prints the archive's path.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh >&2
build=$root/build
win=${VX_WIN_BUILD:-$build/win}
version=$(head -n 1 VERSION)
# The same build folder and type as the demo and the tests, so that after
# either of them nothing is built again.
cmake -S . -B "$win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" >/dev/null
cmake --build "$win" -j "${VX_JOBS:-2}" --target VXJSONObject vxorder exchange-sim >&2

name=VXJSONObject-$version-win64
dist=$build/dist
stage=$dist/$name
rm -rf "$stage" "$dist"/VXJSONObject-*-win64.zip
mkdir -p "$stage"
programs=(VXJSONObject.exe vxorder.exe exchange-sim.exe)
cp "$win/src/app/VXJSONObject.exe" "$win/tools/vxorder/vxorder.exe" \
  "$win/tools/exchange-sim/exchange-sim.exe" "$stage/"
# The static runtime brings its debugging sections; users need none of them.
for program in "${programs[@]}"; do
  x86_64-w64-mingw32-strip "$stage/$program"
done

# The text is kept in UTF-8 with LF; Windows users get their code page and
# line ends. A character that Windows-1252 lacks stops the package.
python3 packaging/make_liesmich.py packaging/LIESMICH.txt.in "$stage/LIESMICH.txt" "$version"

(cd "$stage" && sha256sum "${programs[@]}" LIESMICH.txt >SHA256SUMS)
(cd "$stage" && cmake -E tar cf "../$name.zip" --format=zip "${programs[@]}" LIESMICH.txt SHA256SUMS)
rm -rf "$stage"
echo "$dist/$name.zip"
