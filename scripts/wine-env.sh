# shellcheck shell=bash
# Sourced, not run. The one place that says how a Korvena build tree runs Wine.
#
#   korvena_wine_env BUILD_DIR   exports WINEPREFIX (the tree's private prefix), WINEDEBUG,
#                                WINEDLLOVERRIDES, a UTF-8 locale and DISPLAY
#   korvena_alive PID            true when PID is a live process (a zombie does not count)
#
# DISPLAY: $KORVENA_DISPLAY when set (the demo on a person's screen), else the Xvfb that
# scripts/wine-prefix.sh started for this tree (recorded in BUILD_DIR/wine-state/display),
# else whatever DISPLAY the caller had.

korvena_wine_env() {
  local build=$1
  export WINEPREFIX="$build/wineprefix"
  export WINEDEBUG=-all
  # No Mono or Gecko download prompts; and no debugger on a crash: Wine's winedbg --auto
  # leaves the crashed program waiting for ever, so a crash would look like a hang.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
  # Wine converts arguments and file names with the Unix locale; keep a person's UTF-8 locale,
  # otherwise (CI runs with none) use C.UTF-8 so that Chinese text survives the trip.
  case "${LC_ALL:-${LC_CTYPE:-${LANG:-}}}" in
    *UTF-8* | *utf8* | *UTF8* | *utf-8*) ;;
    *) export LC_ALL=C.UTF-8 ;;
  esac
  if [ -n "${KORVENA_DISPLAY:-}" ]; then
    export DISPLAY="$KORVENA_DISPLAY"
  elif [ -s "$build/wine-state/display" ]; then
    DISPLAY=":$(cat "$build/wine-state/display")"
    export DISPLAY
  fi
}

korvena_alive() {
  local pid=$1 state
  [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
  # Field 3 of /proc/PID/stat is the state; the command name in field 2 may hold blanks.
  state=$(sed 's/^.*) //' "/proc/$pid/stat" | cut -d' ' -f1)
  [ "$state" != Z ] && [ "$state" != X ]
}

# Starts this prefix's wineserver unless one runs, detached from the caller's output: a
# wineserver that inherits a test's stdout keeps ctest waiting. PERSIST is seconds to stay
# after the last client (empty: until killed).
korvena_wineserver_start() {
  local persist=${1:-}
  mkdir -p "$WINEPREFIX"
  wineserver "-p$persist" </dev/null >/dev/null 2>&1 || true
}
