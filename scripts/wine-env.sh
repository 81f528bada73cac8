# Sourced by the test and demo scripts: a throwaway wine prefix inside the
# build folder and a private X display. Never touches ~/.wine.
#   wine_env_start BUILD_DIR   prepares the prefix, starts Xvfb and the wine server
#   wine_env_stop              ends the wine server and Xvfb
# Optional, set before wine_env_start:
#   VX_WINE_KEEP_DISPLAY=1     use the caller's $DISPLAY instead of a private Xvfb
#   VX_WINE_DESKTOP=WxH        run the programs on a wine desktop of that size,
#                              which draws captions and frames without a window manager

wine_env_start() {
  mkdir -p "$1"
  local build
  build=$(cd "$1" && pwd)
  local template=$build/wine/template
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv=d;winemenubuilder.exe=d"
  VX_WINEBOOT_LOG=$build/wine/wineboot.log
  if ! wine_env_template_whole "$template"; then
    wine_env_make_template "$template"
  fi
  # A prefix that wineboot left without its system files makes every
  # program fail with "could not load kernel32.dll"; one more try from
  # scratch, then stop before any test runs.
  if ! wine_env_template_whole "$template"; then
    echo "wine-env: the wine prefix $template is not whole; making it once more" >&2
    wine_env_make_template "$template"
  fi
  if ! wine_env_template_whole "$template"; then
    echo "wine-env: wineboot could not make a whole wine prefix in $template (twice); see $VX_WINEBOOT_LOG" >&2
    # A full disk is the known cause: wineboot then leaves the system DLLs
    # out and still writes the registry.
    echo "wine-env: free space there: $(df -h --output=avail "$build" | tail -n 1 | tr -d ' ') (a prefix needs about 700 MB)" >&2
    tail -n 20 "$VX_WINEBOOT_LOG" >&2
    return 1
  fi
  # Hard links make the copy instant; the registry files are rewritten in
  # place by the server, so they are copied for real.
  export VX_WINEPREFIX=$build/wine/prefix
  export WINEPREFIX=$VX_WINEPREFIX
  rm -rf "$VX_WINEPREFIX"
  cp -al "$template" "$VX_WINEPREFIX"
  for reg in "$template"/*.reg; do
    cp --remove-destination "$reg" "$VX_WINEPREFIX/"
  done
  # The server reads the registry files when it starts, below. A program
  # that crashes (wine's explorer does, now and then, in comctl32) would
  # otherwise wait for a click on wine's crash dialog, and every captured
  # run with it; without the dialog its report goes to the error output.
  printf '\n[Software\\\\Wine\\\\WineDbg]\n"ShowCrashDialog"=dword:00000000\n' >>"$VX_WINEPREFIX/user.reg"
  if [ -n "${VX_WINE_DESKTOP:-}" ]; then
    printf '\n[Software\\\\Wine\\\\Explorer]\n"Desktop"="Default"\n\n[Software\\\\Wine\\\\Explorer\\\\Desktops]\n"Default"="%s"\n' \
      "$VX_WINE_DESKTOP" >>"$VX_WINEPREFIX/user.reg"
  fi

  VX_XVFB_PID=
  if [ -z "${VX_WINE_KEEP_DISPLAY:-}" ]; then
    wine_env_start_xvfb || return 1
  fi
  # A persistent server keeps captured runs from waiting for it to let go.
  wineserver -p
  # The first program in a prefix starts wine's background services, which
  # inherit its output; start them here with no output to inherit, or every
  # captured run afterwards (ctest) waits for them forever. A prefix in which
  # not even cmd.exe starts would fail every test one by one: stop here.
  if ! wine cmd.exe /c exit >>"$VX_WINEBOOT_LOG" 2>&1 </dev/null; then
    echo "wine-env: no program starts in the wine prefix $VX_WINEPREFIX; see $VX_WINEBOOT_LOG" >&2
    tail -n 20 "$VX_WINEBOOT_LOG" >&2
    wine_env_stop
    return 1
  fi
}

# True when the prefix holds what every program needs: the registry that the
# server writes when it ends, and the system DLLs that wineboot installs.
wine_env_template_whole() {
  [ -s "$1/system.reg" ] && [ -s "$1/drive_c/windows/system32/kernel32.dll" ]
}

# Makes a prefix from scratch with wineboot, its output appended to
# $VX_WINEBOOT_LOG together with the facts that explain a failure later.
wine_env_make_template() {
  local template=$1 status
  rm -rf "$template"
  mkdir -p "$(dirname "$template")"
  {
    echo "== $(date '+%F %T') wineboot -i in $template"
    df -h "$(dirname "$template")" /tmp 2>&1
  } >>"$VX_WINEBOOT_LOG"
  status=0
  WINEPREFIX=$template wineboot -i >>"$VX_WINEBOOT_LOG" 2>&1 </dev/null || status=$?
  # The registry files are written only when the server of the new prefix
  # ends, so wait for it once here.
  WINEPREFIX=$template wineserver -w >>"$VX_WINEBOOT_LOG" 2>&1 || true
  {
    echo "== wineboot exit status $status; $(find "$template/drive_c/windows/system32" -maxdepth 1 -type f 2>/dev/null | wc -l) files in system32"
    ls -l "$template/system.reg" "$template/drive_c/windows/system32/kernel32.dll" 2>&1 || true
  } >>"$VX_WINEBOOT_LOG"
}

# A private X display for wine_env_start. Xvfb picks the first display
# number that is free, and tells it when it is ready: a lock file in /tmp is
# not enough, since another /tmp (a chroot, a container) can share the
# abstract socket names, and another server's display would be taken over.
wine_env_start_xvfb() {
  local numbers
  numbers=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numbers" >/dev/null 2>&1 &
  VX_XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$numbers" ] && break
    sleep 0.1
  done
  export DISPLAY=:$(head -n 1 "$numbers")
  rm -f "$numbers"
  if [ "$DISPLAY" = ":" ]; then
    echo "wine-env: Xvfb did not start" >&2
    return 1
  fi
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${VX_XVFB_PID:-}" ]; then
    kill "$VX_XVFB_PID" 2>/dev/null || true
    wait "$VX_XVFB_PID" 2>/dev/null || true
  fi
}
