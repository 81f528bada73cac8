#!/usr/bin/env bash
# Installs what the build and the tests need and is not there yet
# (Debian 12, as root). Safe to run again: it installs nothing twice.
set -euo pipefail

missing=()
need() { # need PACKAGE FILE: PACKAGE is missing when FILE is absent
  [ -e "$2" ] || missing+=("$1")
}
need cmake /usr/bin/cmake
need ninja-build /usr/bin/ninja
need g++ /usr/bin/g++
need g++-mingw-w64-x86-64-posix /usr/bin/x86_64-w64-mingw32-g++-posix
need binutils-mingw-w64-x86-64 /usr/bin/x86_64-w64-mingw32-windres
need wine64 /usr/bin/wine
need xvfb /usr/bin/Xvfb
need xauth /usr/bin/xauth
need googletest /usr/src/googletest/CMakeLists.txt
need python3 /usr/bin/python3
for extra in "$@"; do
  need "${extra%%=*}" "${extra#*=}"
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
