#!/usr/bin/env bash
# Takes the help file's screenshots again from the real programs under Wine: runs the headless
# demo (korvena.exe numbering the demo map's hill in the simulator's window), then cuts out
#   help/images/main-window.png   the main window after the run
#   help/images/demo-after.png    the CAD window with the numbered contours and its command line
# and stores them as small 8-bit palette PNGs. The build uses the committed PNGs and needs no
# Wine; run this after a change to the windows the pictures show, and commit the result.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
demo=$root/build/windows/demo
images=$root/help/images

KORVENA_HEADLESS=1 "$root/scripts/run-demo.sh"

# The session prints the main window's frame as WIDTHxHEIGHT+LEFT+TOP in screen pixels, which
# are the Xvfb's pixels.
main_window=$(sed -n 's/^Main window: \([0-9]*x[0-9]*+[0-9]*+[0-9]*\)\r\{0,1\}$/\1/p' "$demo/session.log")
[ -n "$main_window" ] || { echo "help-screenshots: the session did not report the main window" >&2; exit 1; }

# Palette PNGs: the windows have few colours, and the help file stays small.
save() { convert "$1" "${@:3}" +repage -strip -colors 64 "PNG8:$2"; }
save "$demo/demo.png" "$images/main-window.png" -crop "$main_window"
# The simulator's window is all that is not the black root window around it.
save "$demo/demo.png" "$images/demo-after.png" -trim
if command -v optipng >/dev/null; then optipng -quiet -o5 "$images"/main-window.png "$images"/demo-after.png; fi
ls -l "$images"/main-window.png "$images"/demo-after.png
