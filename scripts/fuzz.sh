#!/usr/bin/env bash
# The long fuzzing pass: every fuzzer of the conversions (fuzz/) for ten million runs, as many at once
# as there are cores, then a table of runs, time and findings. RUNS=N sets another count.
# Builds the fuzzers first (a step of the host build). Logs and findings: build/host/fuzz/clang/.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/install-deps.sh >/dev/null

runs=${RUNS:-10000000}
dir=build/host/fuzz/clang
cmake --preset host >/dev/null
cmake --build --preset host --target korvena_fuzzers >/dev/null
mkdir -p "$dir/logs"

names=()
for fuzzer in "$dir"/bin/fuzz_*; do names+=("${fuzzer##*/fuzz_}"); done
echo "fuzz: ${#names[@]} fuzzers, $runs runs each, $(nproc) at a time; logs in $dir/logs"
declare -A status
running=0
for name in "${names[@]}"; do
  if [ "$running" -ge "$(nproc)" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  (fuzz/run-fuzzer.sh "$dir" "$name" -runs="$runs" >"$dir/logs/$name.log" 2>&1 && echo ok || echo FINDING) \
    >"$dir/logs/$name.result" &
  running=$((running + 1))
done
wait

printf '%-22s %12s %8s %10s  %s\n' fuzzer runs seconds runs/s result
failed=0
for name in "${names[@]}"; do
  log=$dir/logs/$name.log
  result=$(cat "$dir/logs/$name.result")
  executed=$(sed -n 's/^stat::number_of_executed_units: //p' "$log" | tail -1)
  seconds=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
  rate=$([ -n "$seconds" ] && [ "$seconds" -gt 0 ] && echo $((executed / seconds)) || echo -)
  printf '%-22s %12s %8s %10s  %s\n' "$name" "${executed:--}" "${seconds:--}" "$rate" "$result"
  [ "$result" = ok ] || failed=1
done
[ "$failed" -eq 0 ] || { echo "fuzz: findings; the inputs are in $dir/findings/" >&2; exit 1; }
echo "fuzz: no findings"
