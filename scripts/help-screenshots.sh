#!/usr/bin/env bash
# Takes the help file's screenshots again from the real programs under Wine: runs the headless
# demo (korvena.exe numbering the demo map's hill, picking the summit's height and checking the
# spot heights in the simulator's window), then cuts out
#   help/images/main-window.png   the main window after the run
#   help/images/demo-after.png    the CAD window: numbered contours, check lines, its command line
#   help/images/scatter-check.png the CAD window's lower part: the badly placed label's red check line
#                                 and the command line that counts it
# and stores them as small 8-bit palette PNGs. The build uses the committed PNGs and needs no
# Wine; run this after a change to the windows the pictures show, and commit the result.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo=$root/build/windows/demo
images=$root/help/images

KORVENA_HEADLESS=1 "$root/scripts/run-demo.sh"

# The session prints each window's frame as WIDTHxHEIGHT+LEFT+TOP in screen pixels, which are
# the Xvfb's pixels.
frame() {
  local found
  found=$(sed -n "s/^$1: \([0-9]*x[0-9]*+-\{0,1\}[0-9]*+-\{0,1\}[0-9]*\)\r\{0,1\}\$/\1/p" "$demo/session.log")
  [ -n "$found" ] || { echo "help-screenshots: the session did not report the $1" >&2; exit 1; }
  echo "$found"
}
main_window=$(frame "Main window")
cad_window=$(frame "CAD window")

# Palette PNGs: the windows have few colours, and the help file stays small.
save() { convert "$1" "${@:3}" +repage -strip -colors 64 "PNG8:$2"; }
save "$demo/demo.png" "$images/main-window.png" -crop "$main_window"
save "$demo/demo.png" "$images/demo-after.png" -crop "$cad_window"
save "$demo/demo.png" "$images/scatter-check.png" -crop "$cad_window" +repage -gravity South -crop 100%x33%+0+0
pictures=("$images"/main-window.png "$images"/demo-after.png "$images"/scatter-check.png)
if command -v optipng >/dev/null; then optipng -quiet -o5 "${pictures[@]}"; fi
ls -l "${pictures[@]}"
