#!/usr/bin/env bash
# Runs Korvena the way a user meets it: the CAD simulator with the demo map, and korvena.exe
# attached to it, both under Wine in the windows build tree's private prefix.
#
# With a display ($DISPLAY set) the windows appear there and a person uses them; the demo ends
# when korvena.exe ends. Without one (or with KORVENA_HEADLESS=1) everything runs on a private
# Xvfb, a scripted session drives the program and the screen is saved as
# build/windows/demo/demo.png.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/windows
bin=$build/bin
demo=$build/demo
map=$root/cadsim/demo/demo-map.json

prefix() { bash "$root/scripts/wine-prefix.sh" "$1" "$build" "${@:2}"; }
say() { echo "run-demo: $*"; }
# A Windows path for a file of this machine (Wine maps / to drive Z:).
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

"$root/scripts/install-deps.sh"
cd "$root"
cmake --preset windows
cmake --build --preset windows --target korvena cadsim
for exe in korvena cadsim; do
  [ -f "$bin/$exe.exe" ] || { say "$bin/$exe.exe was not built"; exit 1; }
done
[ -f "$map" ] || { say "the demo map $map is missing"; exit 1; }

mkdir -p "$demo"
# Start from nothing that an earlier run (a test run, a demo) of this tree left running, and
# end everything this demo started, however it ends.
prefix stop >/dev/null
trap 'prefix stop >/dev/null' EXIT

if [ -n "${DISPLAY:-}" ] && [ -z "${KORVENA_HEADLESS:-}" ]; then
  mode=interactive
  export KORVENA_DISPLAY=$DISPLAY
  say "on $DISPLAY"
else
  mode=scripted
  unset KORVENA_DISPLAY
  cmake --build --preset windows --target demo_session ||
    say "WARNING: the scripted session's driver (target demo_session) did not build"
  prefix xvfb
fi
prefix prepare
prefix register "$bin/cadsim.exe" AutoCAD.Application

wine_run=$build/wine-run.sh
map_windows=$(windows_path "$map")

# Starts the simulator with the demo map in the background and waits until it has had time to
# open its window and announce itself as the running CAD (korvena then attaches to this one
# instead of starting another).
start_cadsim() {
  "$wine_run" "$bin/cadsim.exe" --drawing "$map_windows" >"$demo/cadsim.log" 2>&1 &
  local cadsim=$!
  sleep "${KORVENA_DEMO_SETTLE:-3}"
  if ! kill -0 "$cadsim" 2>/dev/null; then
    say "the simulator ended early; its output:"
    cat "$demo/cadsim.log"
    exit 1
  fi
}

if [ "$mode" = interactive ]; then
  start_cadsim
  say "korvena.exe is running; end it with its exit button"
  say "Ctrl+Z in the CAD window takes back the last run in one step (a confirmed scatter run in two)"
  say "F9 in the CAD window makes it busy for 15 s: Korvena waits, and asks after 10 s"
  "$wine_run" "$bin/korvena.exe"
  exit 0
fi

# ---- The scripted session ------------------------------------------------------------------
# The session driver starts both programs itself, works through the real windows the way the
# end-to-end tests do, prints what it did and leaves both running for the screenshot:
#   demo_session <korvena.exe> <cadsim.exe> <demo map> <work folder>
# More steps, or a screenshot after each (prefix screenshot "$demo/NN-what.png"), go here.
hook=$bin/demo_session.exe
if [ -f "$hook" ]; then
  say "scripted session: $(basename "$hook")"
  if ! "$wine_run" "$hook" "$(windows_path "$bin/korvena.exe")" "$(windows_path "$bin/cadsim.exe")" \
    "$map_windows" "$(windows_path "$demo/work")" >"$demo/session.log" 2>&1; then
    cat "$demo/session.log"
    prefix screenshot "$demo/failed.png"
    say "the scripted session failed"
    exit 1
  fi
  cat "$demo/session.log"
else
  say "no scripted session built ($hook); showing the programs as they start"
  start_cadsim
  "$wine_run" "$bin/korvena.exe" >"$demo/korvena.log" 2>&1 &
  sleep "${KORVENA_DEMO_SETTLE:-3}"
fi
# ---- end of the scripted session -----------------------------------------------------------

prefix screenshot "$demo/demo.png"
say "screenshot: $demo/demo.png"
