#!/usr/bin/env bash
# Installs what the build, the tests, the demo and the package need and is
# not there yet (Debian 12, as root). Safe to run again: it installs nothing
# twice.
#   bash scripts/setup.sh [PACKAGE=PATH ...]   also what one script alone needs
#
# Each program is checked at the path the scripts really run it from, and
# the package beside it is the one that provides that path: "dpkg -S PATH"
# tells (for an alternatives link such as /usr/bin/wine, ask about its
# target /usr/bin/wine-stable). A package that only sounds right is not
# enough: "wine64" brings the loader but not /usr/bin/wine or
# /usr/bin/wineserver, which come with "wine".
set -euo pipefail

needed=(
  cmake=/usr/bin/cmake
  ninja-build=/usr/bin/ninja
  g++=/usr/bin/g++
  gcc=/usr/bin/gcc
  g++-mingw-w64-x86-64-posix=/usr/bin/x86_64-w64-mingw32-g++-posix
  gcc-mingw-w64-x86-64-posix=/usr/bin/x86_64-w64-mingw32-gcc-posix
  binutils-mingw-w64-x86-64=/usr/bin/x86_64-w64-mingw32-windres
  wine=/usr/bin/wine
  wine=/usr/bin/wineserver
  wine=/usr/bin/wineboot
  wine=/usr/bin/winepath
  xvfb=/usr/bin/Xvfb
  xauth=/usr/bin/xauth
  googletest=/usr/src/googletest/CMakeLists.txt
  python3=/usr/bin/python3
  coreutils=/usr/bin/sha256sum
  "$@"
)

# The packages whose path is absent, each once.
missing=()
for pair in "${needed[@]}"; do
  package=${pair%%=*}
  [ -e "${pair#*=}" ] || [[ " ${missing[*]} " == *" $package "* ]] || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A path still absent means the table above names the wrong package; say
# so now rather than let a script fail later with "command not found".
status=0
for pair in "${needed[@]}"; do
  if [ ! -e "${pair#*=}" ]; then
    echo "setup: ${pair#*=} is still missing after installing ${pair%%=*}" >&2
    status=1
  fi
done
exit $status
