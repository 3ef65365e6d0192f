#!/usr/bin/env bash
# A screenshot of the About window under Wine: korvena.exe on a private Xvfb, its web-link button
# clicked, the screen saved as build/windows/demo/about-screen.png and the About window cut out of
# it as build/windows/demo/about.png. Run after a windows build.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build/windows
demo=$build/demo
prefix() { bash "$root/scripts/wine-prefix.sh" "$1" "$build" "${@:2}"; }
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }

cmake --build --preset windows --target korvena about_session
mkdir -p "$demo"
prefix stop >/dev/null
trap 'prefix stop >/dev/null' EXIT
unset KORVENA_DISPLAY
prefix xvfb
prefix prepare

"$build/wine-run.sh" "$build/bin/about_session.exe" "$(windows_path "$build/bin/korvena.exe")" |
  tee "$demo/about-session.log"
frame=$(sed -n 's/^About window: \([0-9]*x[0-9]*+[0-9]*+[0-9]*\)\r\{0,1\}$/\1/p' "$demo/about-session.log")
[ -n "$frame" ] || { echo "about-screenshot: the session did not report the About window" >&2; exit 1; }
prefix screenshot "$demo/about-screen.png"
/usr/bin/convert "$demo/about-screen.png" -crop "$frame" +repage "$demo/about.png"
echo "about-screenshot: $demo/about.png"
