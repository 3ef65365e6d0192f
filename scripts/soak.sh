#!/usr/bin/env bash
# The soak of the windows build (minutes; CI runs a 100-command pass as the Wine test "soak"):
#   scripts/soak.sh [N] [BUILD_DIR] [COMMANDS_PER_SIMULATOR]
# Runs N consecutive commands (default 2000) through one korvena.exe against cadsim.exe, on the
# windows build tree's private prefix and its own Xvfb, and prints korvena.exe's handles, GDI and USER
# objects and private bytes at the start, the middle and the end. Exit code 0 when no check failed
# and nothing leaked.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
commands=${1:-2000}
build=$(cd "${2:-$root/build/windows}" && pwd)
per_simulator=${3:-50}
bin=$build/bin

prefix() { bash "$root/scripts/wine-prefix.sh" "$1" "$build" "${@:2}"; }
prefix setup --register "$bin/cadsim.exe" AutoCAD.Application >/dev/null
trap 'prefix stop >/dev/null' EXIT
"$build/wine-run.sh" "$bin/soak_commands.exe" "$bin/korvena.exe" "$bin/cadsim.exe" "$commands" "$per_simulator" </dev/null
