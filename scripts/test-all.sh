#!/usr/bin/env bash
# Every test: installs what is missing, then the host build with its unit tests, the windows build
# (MinGW, unit and end-to-end tests under Wine, headless) and the windows32 build (the 32-bit program,
# its release checks, and its Wine tests where 32-bit programs run; skipped with the reason elsewhere).
# All run even when one fails; the exit status is non-zero when any failed.
# CI=true (or any true value) builds with warnings as errors.
#
# The Wine tests spend most of their time waiting for the programs, not computing, so the builds that
# do not depend on them run beside them: while the windows build's Wine tests run, the windows32 build
# and then the host build with its tests go on in the background, the host build on into the windows32
# tests (their output follows when they are done). Each step's time is printed, and a table of them at
# the end.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

started=$SECONDS
logs=build/test-all
failed=()
times=()

# step NAME COMMAND...: runs a step in the foreground and records its time and result.
step() {
  local name=$1 start=$SECONDS
  shift
  echo "==== $name ===="
  if "$@"; then
    echo "==== $name: passed in $((SECONDS - start)) s ===="
    times+=("$name|$((SECONDS - start)) s|passed")
  else
    echo "==== $name: FAILED after $((SECONDS - start)) s ===="
    times+=("$name|$((SECONDS - start)) s|FAILED")
    failed+=("$name")
  fi
}

# The background work: one step after the other, each into a log of its own and a line of results.
background() {
  local name start
  for name in "$@"; do
    start=$SECONDS
    if run_background_step "$name" >"$logs/$name.log" 2>&1; then
      echo "$name|$((SECONDS - start)) s|passed" >>"$logs/background.results"
    else
      echo "$name|$((SECONDS - start)) s|FAILED" >>"$logs/background.results"
    fi
  done
}
run_background_step() {
  case "$1" in
    windows32-build) cmake --preset windows32 && cmake --build --preset windows32 ;;
    host) cmake --workflow --preset host ;;
  esac
}

# Waits until the background step NAME is done (or the background has ended), prints its log and
# records its result; true when it passed.
collect() {
  local name=$1 line
  until line=$(grep "^$name|" "$logs/background.results" 2>/dev/null) || ! kill -0 "$background_pid" 2>/dev/null; do
    sleep 1
  done
  line=$(grep "^$name|" "$logs/background.results" 2>/dev/null) || line="$name|-|FAILED"
  echo "==== $name (ran in the background) ===="
  cat "$logs/$name.log" 2>/dev/null || echo "(no log)"
  IFS='|' read -r name took result <<<"$line"
  echo "==== $name: $result in $took (in the background) ===="
  times+=("$name (background)|$took|$result")
  [ "$result" = passed ] || { failed+=("$name"); return 1; }
}

step "install-deps" scripts/install-deps.sh
mkdir -p "$logs"
rm -f "$logs"/*.log "$logs/background.results"

step "windows: configure and build" bash -c 'cmake --preset windows && cmake --build --preset windows'

# The windows32 build first: its tests follow the windows tests; the host build goes on meanwhile.
background windows32-build host &
background_pid=$!
step "windows: tests" ctest --preset windows
if collect windows32-build; then
  step "windows32: tests" ctest --preset windows32
else
  echo "==== windows32: tests not run, the build failed ===="
fi
collect host || true
wait "$background_pid" || true

echo
echo "==== times (the background steps ran beside the Wine tests) ===="
for entry in "${times[@]}"; do
  IFS='|' read -r name took result <<<"$entry"
  printf '  %-40s %8s  %s\n' "$name" "$took" "$result"
done
printf '  %-40s %8s\n' "all" "$((SECONDS - started)) s"

if [ ${#failed[@]} -gt 0 ]; then
  echo "test-all: failed: ${failed[*]}" >&2
  exit 1
fi
echo "test-all: all passed"
