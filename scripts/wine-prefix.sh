#!/usr/bin/env bash
# The private Wine prefix of a windows build tree, and the Xvfb and wineserver that serve it.
# Used by the ctest fixtures (setup / stop) and by scripts/run-demo.sh; never touches ~/.wine.
#
#   wine-prefix.sh setup BUILD [--register EXE PROGID]...
#       fixture set-up: ends what an earlier run of this tree left behind, starts an Xvfb,
#       starts a persistent wineserver, prepares the prefix, registers the COM servers
#   wine-prefix.sh prepare BUILD     create the prefix once (wineboot -i), apply the settings
#   wine-prefix.sh xvfb BUILD        start an Xvfb on a free display, record display and pid
#   wine-prefix.sh server BUILD      start the prefix's wineserver, persistent until stop
#   wine-prefix.sh register BUILD EXE [PROGID]
#                                    run EXE /RegServer in the prefix; check PROGID under HKLM
#   wine-prefix.sh screenshot BUILD PNG
#                                    save the recorded Xvfb's screen as PNG
#   wine-prefix.sh stop BUILD        wineserver -k for this prefix, kill the recorded Xvfb
#
# State lives in BUILD/wine-state: display (the Xvfb's number), xvfb.pid, logs.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
script=$here/$(basename "${BASH_SOURCE[0]}")
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"

readonly screen_geometry=${KORVENA_XVFB_SCREEN:-1280x1024x24}
readonly ready_stamp=.korvena-ready
# Seconds a wineserver started here outlives its last client; setup empties it (until stop).
server_persist=30

usage() {
  sed -n '2,/^set /p' "$script" | grep '^#' | sed 's/^# \{0,1\}//' >&2
  exit 2
}

# Paths given on the command line are relative to where the script was called from.
caller_dir=$PWD
absolute() { case "$1" in /*) echo "$1" ;; *) echo "$caller_dir/$1" ;; esac; }

now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

fail() {
  echo "wine-prefix: $*" >&2
  if [ -s "${log:-}" ]; then
    echo "---- last lines of $log ----" >&2
    tail -n 40 "$log" >&2
  fi
  exit 1
}

# Sets build, state and log, and the Wine environment, for the build tree $1.
use_build() {
  [ -n "${1:-}" ] || usage
  mkdir -p "$1"
  build=$(cd "$1" && pwd)
  state=$build/wine-state
  mkdir -p "$state"
  log=$state/wine.log
  korvena_wine_env "$build"
  cd "$build"
}

# Runs the rest of the script again under the tree's lock, so that two callers never prepare
# at once. flock -o: the processes started here (Xvfb, Wine) must not inherit the lock.
lock_tree() {
  [ -z "${KORVENA_PREFIX_LOCKED:-}" ] || return 0
  KORVENA_PREFIX_LOCKED=1 exec flock -o -w 300 -E 75 "$state/lock" bash "$script" "$@"
}

# ---- Xvfb ----------------------------------------------------------------------------------

stop_xvfb() {
  local pid
  pid=$(cat "$state/xvfb.pid" 2>/dev/null || true)
  if korvena_alive "$pid" && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do korvena_alive "$pid" || break; sleep 0.1; done
  fi
  rm -f "$state/xvfb.pid" "$state/display"
}

start_xvfb() {
  stop_xvfb
  local fdfile=$state/xvfb.displayfd pid
  rm -f "$fdfile"
  # -displayfd: Xvfb picks a free display itself and writes its number once it accepts
  # clients. setsid and the redirections keep it out of the caller's session and output.
  setsid Xvfb -displayfd 3 -screen 0 "$screen_geometry" -nolisten tcp \
    3>"$fdfile" </dev/null >"$state/xvfb.log" 2>&1 &
  pid=$!
  for _ in $(seq 100); do
    [ -s "$fdfile" ] && break
    korvena_alive "$pid" || break
    sleep 0.1
  done
  if ! [ -s "$fdfile" ] || ! korvena_alive "$pid"; then
    log=$state/xvfb.log fail "Xvfb did not start"
  fi
  [ "$(cat "/proc/$pid/comm")" = Xvfb ] || fail "pid $pid is not the Xvfb"
  echo "$pid" >"$state/xvfb.pid"
  tr -dc '0-9' <"$fdfile" >"$state/display"
  DISPLAY=":$(cat "$state/display")"
  export DISPLAY
  echo "wine-prefix: Xvfb $DISPLAY ($screen_geometry), pid $pid"
}

# ---- wineserver and the prefix -------------------------------------------------------------

# Ends every Wine process of this prefix and waits until its wineserver is gone.
stop_wine() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    timeout 30 wineserver -w </dev/null >/dev/null 2>&1 || true
  fi
}

# The settings every test and the demo rely on, as a .reg file. Written as UTF-16LE with a
# byte-order mark: regedit then reads the Chinese value names whatever the Unix locale.
write_settings_reg() {
  local text=$state/settings.reg.txt
  cat >"$text" <<'EOF'
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"
"Tahoma"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
EOF
  { printf '\xff\xfe'; sed 's/$/\r/' "$text" | iconv -f UTF-8 -t UTF-16LE; } >"$state/settings.reg"
}

# Exports KEY and prints it as UTF-8 without carriage returns.
export_key() {
  local out=$state/export.reg
  rm -f "$out"
  wine regedit /E "Z:$out" "$1" </dev/null >>"$log" 2>&1 || return 1
  [ -s "$out" ] || return 1
  iconv -f UTF-16 -t UTF-8 "$out" | tr -d '\r'
}

# Every value line of the settings must be in the registry now.
verify_settings() {
  local key="" line exported="" missing=0
  while IFS= read -r line; do
    case "$line" in
      \[*\])
        key=${line#[}
        key=${key%]}
        exported=$(export_key "$key") || fail "cannot export $key"
        ;;
      \"*)
        if ! grep -Fxq -- "$line" <<<"$exported"; then
          echo "wine-prefix: missing under [$key]: $line" >&2
          missing=1
        fi
        ;;
    esac
  done <"$state/settings.reg.txt"
  [ "$missing" = 0 ] || fail "the registry settings did not land"
}

# Wine draws the title-bar buttons with the Marlett font, which Debian ships only in fonts-wine;
# installing that package would also bring a Tahoma without Chinese glyphs. So the prefix gets
# Marlett alone, taken from the package file. Cosmetic: a failure only leaves "0 1 r" glyphs.
install_marlett() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts work
  [ -f "$fonts/marlett.ttf" ] && return 0
  work=$(mktemp -d)
  if (cd "$work" && apt-get download fonts-wine >>"$log" 2>&1 &&
    dpkg-deb -x fonts-wine_*.deb extracted >>"$log" 2>&1) &&
    [ -f "$work/extracted/usr/share/wine/fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp "$work/extracted/usr/share/wine/fonts/marlett.ttf" "$fonts/"
  else
    echo "wine-prefix: no Marlett font for the title bars (fonts-wine could not be fetched)" >&2
  fi
  rm -rf "$work"
}

prepare() {
  local t0
  if [ ! -f "$WINEPREFIX/$ready_stamp" ]; then
    # Absent or half made (an interrupted boot): start again from nothing.
    stop_wine
    rm -rf "$WINEPREFIX"
    korvena_wineserver_start "$server_persist"
    t0=$(now)
    # With the display the tests use: wineboot starts the desktop process, which stays with
    # the wineserver and would otherwise leave every later window without a display.
    wine wineboot -i </dev/null >>"$log" 2>&1 || fail "wineboot -i failed"
    # The first boot leaves two service managers behind, and COM servers then fail with "RPC
    # server unavailable": start again with the prefix as it is now.
    stop_wine
    korvena_wineserver_start "$server_persist"
    install_marlett
    touch "$WINEPREFIX/$ready_stamp"
    echo "wine-prefix: created $WINEPREFIX in $(since "$t0") s"
  else
    korvena_wineserver_start "$server_persist"
  fi
  t0=$(now)
  write_settings_reg
  wine regedit /S "Z:$state/settings.reg" </dev/null >>"$log" 2>&1 || fail "regedit import failed"
  verify_settings
  echo "wine-prefix: settings applied and checked in $(since "$t0") s"
}

register() {
  local exe=$1 progid=${2:-} t0
  [ -f "$exe" ] || fail "$exe does not exist (build it first)"
  t0=$(now)
  timeout 120 wine "$exe" /RegServer </dev/null >>"$log" 2>&1 || fail "$exe /RegServer failed"
  if [ -n "$progid" ]; then
    wine reg query "HKLM\\Software\\Classes\\$progid\\CLSID" </dev/null >>"$log" 2>&1 ||
      fail "$exe /RegServer did not register $progid under HKLM\\Software\\Classes"
  fi
  echo "wine-prefix: registered $(basename "$exe")${progid:+ as $progid} in $(since "$t0") s"
}

screenshot() {
  local png=$1 display
  display=$(cat "$state/display" 2>/dev/null) || fail "no Xvfb recorded in $state"
  mkdir -p "$(dirname "$png")"
  xwd -root -silent -display ":$display" | /usr/bin/convert xwd:- "$png" ||
    fail "screenshot of :$display failed"
  echo "wine-prefix: screenshot $png"
}

setup() {
  local t0 registrations=()
  t0=$(now)
  while [ $# -gt 0 ]; do
    case "$1" in
      --register)
        [ $# -ge 3 ] || usage
        registrations+=("$(absolute "$2")" "$3")
        shift 3
        ;;
      *) usage ;;
    esac
  done
  : >"$log"
  # A clean slate: whatever an earlier (perhaps interrupted) run of this tree left running.
  stop_wine
  start_xvfb
  server_persist=""
  prepare
  set -- "${registrations[@]+"${registrations[@]}"}"
  while [ $# -gt 0 ]; do
    register "$1" "$2"
    shift 2
  done
  echo "wine-prefix: ready in $(since "$t0") s"
}

command=${1:-}
[ $# -ge 2 ] || usage
use_build "$2"
shift 2
case "$command" in
  setup)
    lock_tree setup "$build" "$@"
    setup "$@"
    ;;
  prepare)
    lock_tree prepare "$build"
    prepare
    ;;
  xvfb) start_xvfb ;;
  server) korvena_wineserver_start ;;
  register)
    [ $# -ge 1 ] || usage
    register "$(absolute "$1")" "${2:-}"
    ;;
  screenshot)
    [ $# -eq 1 ] || usage
    screenshot "$(absolute "$1")"
    ;;
  stop)
    stop_wine
    stop_xvfb
    # Output files of programs ctest killed on timeout (wine-run.sh removes its own otherwise).
    rm -f "$state"/run.*
    echo "wine-prefix: stopped"
    ;;
  *) usage ;;
esac
