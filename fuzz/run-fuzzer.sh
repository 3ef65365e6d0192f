#!/usr/bin/env bash
# Runs one fuzzer of a built fuzz tree on its seed corpus. What it finds interesting goes into a working
# corpus of its own in the tree, a finding into DIR/findings/NAME-crash-… (the input that broke it).
# usage: fuzz/run-fuzzer.sh DIR NAME [libFuzzer options, e.g. -runs=10000000 or -max_total_time=3]
# DIR is the fuzz build tree (build/host/fuzz/clang); NAME as in DIR/bin/fuzz_NAME.
set -euo pipefail
dir=$1 name=$2
shift 2
case $name in
  number_text | display_number_text) seeds=numbers max_len=8 ;;
  *) seeds=texts max_len=1024 ;;
esac
mkdir -p "$dir/corpus/$name" "$dir/findings"
# A conversion that takes ten seconds on one input is a hang, and a finding too (-timeout); that
# leaves room for a machine under load.
exec "$dir/bin/fuzz_$name" -max_len=$max_len -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$dir/findings/$name-" "$@" "$dir/corpus/$name" "$dir/seeds/$seeds"
