#!/usr/bin/env bash
# Every test: installs what is missing, then the host build with its unit tests, the windows build
# (MinGW, unit and end-to-end tests under Wine, headless) and the windows32 build (the 32-bit program,
# its release checks, and its Wine tests where 32-bit programs run; skipped with the reason elsewhere).
# All run even when one fails; the exit status is non-zero when any failed.
# CI=true (or any true value) builds with warnings as errors.
#
# The Wine tests spend most of their time waiting for the programs, not computing, so the builds that
# do not depend on them run beside them: while the windows build's Wine tests run, the host build and
# its tests and then the windows32 build go on in the background (their output follows when they are
# done). Each step's time is printed, and a table of them at the end.
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
      # The windows32 build needs nothing of the host build: it goes on after a failure there.
    fi
  done
}
run_background_step() {
  case "$1" in
    host) cmake --workflow --preset host ;;
    windows32-build) cmake --preset windows32 && cmake --build --preset windows32 ;;
  esac
}

step "install-deps" scripts/install-deps.sh
mkdir -p "$logs"
rm -f "$logs"/*.log "$logs/background.results"

step "windows: configure and build" bash -c 'cmake --preset windows && cmake --build --preset windows'

background host windows32-build &
background_pid=$!
step "windows: tests" ctest --preset windows
echo "==== waiting for the host build and the windows32 build ===="
wait "$background_pid" || true
for name in host windows32-build; do
  echo "==== $name (ran in the background) ===="
  cat "$logs/$name.log" 2>/dev/null || echo "(no log)"
done
while IFS='|' read -r name took result; do
  echo "==== $name: $result in $took (in the background) ===="
  times+=("$name (background)|$took|$result")
  [ "$result" = passed ] || failed+=("$name")
done <"$logs/background.results"

if [[ " ${failed[*]} " == *" windows32-build "* ]]; then
  echo "==== windows32: tests not run, the build failed ===="
else
  step "windows32: tests" ctest --preset windows32
fi

echo
echo "==== times (the background steps ran beside the windows tests) ===="
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
