#!/usr/bin/env bash
# Benchmarks of the windows build (they print figures; they are not tests):
#   scripts/bench.sh [BUILD_DIR] [N]
# Runs the sequential assignment over N contours and the scatter-point command over N pairs
# (default 2000; at most 500 pairs) through korvena.exe and cross-process COM to cadsim.exe, on
# the build tree's private prefix and its own Xvfb.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(cd "${1:-$root/build/windows}" && pwd)
contours=${2:-2000}
bin=$build/bin

prefix() { bash "$root/scripts/wine-prefix.sh" "$1" "$build" "${@:2}"; }
prefix setup --register "$bin/cadsim.exe" AutoCAD.Application >/dev/null
trap 'prefix stop >/dev/null' EXIT
"$build/wine-run.sh" "$bin/bench_commands.exe" "$bin/korvena.exe" "$bin/cadsim.exe" "$contours" </dev/null
