#!/usr/bin/env bash
# Runs the Wine tests of a build N times in a row and prints every failure with its test's output:
#   scripts/flakes.sh N [PRESET]      PRESET: windows (default) or windows32
# Builds the tree first when it is not built. Each run's whole log is kept in
# build/PRESET/flakes/run-K.log; the end gives the tally. Exits 1 when any run failed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

runs=${1:?usage: scripts/flakes.sh N [PRESET]}
preset=${2:-windows}
logs=build/$preset/flakes
[ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null
mkdir -p "$logs"

failed_runs=0
declare -A failures=()
for run in $(seq "$runs"); do
  log=$logs/run-$run.log
  start=$SECONDS
  if ctest --preset "$preset" -L wine --output-on-failure >"$log" 2>&1; then
    echo "run $run: passed ($((SECONDS - start)) s)"
    continue
  fi
  failed_runs=$((failed_runs + 1))
  names=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (.*)$/\1/p' "$log")
  echo "run $run: FAILED ($((SECONDS - start)) s): $(echo $names)"
  for name in $names; do
    failures[$name]=$((${failures[$name]:-0} + 1))
    # The test's own lines: from its start to the next test's start.
    echo "---- run $run, $name ----"
    awk -v name="$name" '
      /^ *Start +[0-9]+: / { inside = ($3 == name) }
      inside' "$log"
  done
done

echo "flakes: $((runs - failed_runs)) of $runs runs of the $preset Wine tests passed"
for name in "${!failures[@]}"; do echo "  $name failed in ${failures[$name]} run(s)"; done
[ "$failed_runs" -eq 0 ]
