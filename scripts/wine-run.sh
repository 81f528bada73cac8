#!/usr/bin/env bash
# Runs a Windows program under wine in the project's throwaway prefix.
# CTest uses this as the emulator of the Windows build.
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${VX_WINEPREFIX:-$root/build/wine/prefix}"
export WINEDEBUG=-all
# VX_WINE_MISSING_DLLS=a,b runs the program as if the DLLs a and b were missing.
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d${VX_WINE_MISSING_DLLS:+;$VX_WINE_MISSING_DLLS=d}"
exec wine "$@"
