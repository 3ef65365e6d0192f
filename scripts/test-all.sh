#!/usr/bin/env bash
# Every test: installs what is missing, then the host workflow (native build, unit tests), the
# windows workflow (MinGW build, unit and end-to-end tests under Wine, headless) and the windows32
# workflow (the 32-bit build, its release checks, and its Wine tests where 32-bit programs run).
# All run even when one fails; the exit status is non-zero when any failed.
# CI=true (or any true value) builds with warnings as errors.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/install-deps.sh

failed=()
for preset in host windows windows32; do
  echo "==== $preset: configure, build, test ===="
  start=$SECONDS
  if cmake --workflow --preset "$preset"; then
    echo "==== $preset: passed in $((SECONDS - start)) s ===="
  else
    echo "==== $preset: FAILED after $((SECONDS - start)) s ===="
    failed+=("$preset")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "test-all: failed: ${failed[*]}" >&2
  exit 1
fi
echo "test-all: all passed"
