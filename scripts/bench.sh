#!/usr/bin/env bash
# Benchmarks of the windows build (they print figures; they are not tests):
#   scripts/bench.sh [BUILD_DIR] [N] [PROGID] [ends]
# Builds what it needs, then runs korvena.exe's commands through cross-process COM to cadsim.exe on
# the build tree's private prefix and its own Xvfb: start-up against an empty Win32 program and
# against the same main window made by nothing but Win32 (bare_form1.exe), the
# sequential and the matching assignment over N contours (default 2000), the scatter command over
# min(N, 500) pairs, the scatter command's time per pair in a drawing of 100 and of 2,000 pairs, and the
# silent gaps at the ends of commands that stop short (a rejected entity after N contours, 501 pairs, 500
# pairs answered 否); with "ends", only those.
# The simulator answers as AutoCAD ("AutoCAD.Application"), or under PROGID as a compatible CAD
# ("ZWCAD.Application"), whose entities the program asks for their class names instead of their codes.
# Also prints korvena.exe's size as shipped (stripped, as the release's CPack does) and the machine.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build/windows}
contours=${2:-2000}
progid=AutoCAD.Application
ends=""
for option in "${@:3}"; do
  case "$option" in
    ends) ends=ends ;;
    *) progid=$option ;;
  esac
done
if [ ! -f "$build/CMakeCache.txt" ]; then
  (cd "$root" && cmake --preset windows >/dev/null)
fi
if ! built=$(cmake --build "$build" --target bench_commands empty_window bare_form1 korvena cadsim 2>&1); then
  echo "$built" >&2
  exit 1
fi
build=$(cd "$build" && pwd)
bin=$build/bin

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(wine --version 2>/dev/null || echo wine)"
echo "Load at the start: $(uptime | sed 's/.*load average/load average/')"
echo "The simulator answers as: $progid"
strip=$(sed -n 's/^CMAKE_STRIP:FILEPATH=//p' "$build/CMakeCache.txt")
stripped=$(mktemp -d)
cp "$bin/korvena.exe" "$stripped/korvena.exe"
"${strip:-x86_64-w64-mingw32-strip}" "$stripped/korvena.exe"
echo "korvena.exe as shipped (stripped): $(( $(stat -c %s "$stripped/korvena.exe") / 1024 )) KiB" \
     "(unstripped build: $(( $(stat -c %s "$bin/korvena.exe") / 1024 )) KiB)"
rm -r "$stripped"
echo

prefix() { bash "$root/scripts/wine-prefix.sh" "$1" "$build" "${@:2}"; }
prefix setup --register "$bin/cadsim.exe" AutoCAD.Application >/dev/null
trap 'prefix stop >/dev/null' EXIT
if [ "$progid" != AutoCAD.Application ]; then
  "$build/wine-run.sh" "$bin/cadsim.exe" /RegServer --progid "$progid" </dev/null ||
    { echo "bench: cadsim.exe could not register as $progid" >&2; exit 1; }
fi
"$build/wine-run.sh" "$bin/bench_commands.exe" "$bin/korvena.exe" "$bin/cadsim.exe" "$bin/empty_window.exe" \
  "$bin/bare_form1.exe" "$contours" ${ends:+"$ends"} </dev/null
echo
echo "Load at the end: $(uptime | sed 's/.*load average/load average/')"
