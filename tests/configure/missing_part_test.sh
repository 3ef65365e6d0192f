#!/usr/bin/env bash
# korvena_add_part (cmake/parts.cmake): a project whose parts are all there configures; one with a
# part's CMakeLists.txt missing fails the configuration and names the part.
# usage: missing_part_test.sh SOURCE_DIR CMAKE
set -euo pipefail
source_dir=$1
cmake=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/project/present" "$work/project/absent"
echo 'set_property(GLOBAL APPEND PROPERTY JOINED present)' >"$work/project/present/CMakeLists.txt"
cat >"$work/project/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(parts LANGUAGES NONE)
include($source_dir/cmake/parts.cmake)
korvena_add_part(present)
if(WITH_ABSENT)
  korvena_add_part(absent)
endif()
get_property(joined GLOBAL PROPERTY JOINED)
message(STATUS "joined: \${joined}")
CMAKE

if ! out=$("$cmake" -S "$work/project" -B "$work/all-there" 2>&1); then
  echo "a project with every part there did not configure:" >&2
  echo "$out" >&2
  exit 1
fi
grep -q 'joined: present' <<<"$out" || { echo "the present part did not join:" >&2; echo "$out" >&2; exit 1; }

if out=$("$cmake" -S "$work/project" -B "$work/one-missing" -DWITH_ABSENT=ON 2>&1); then
  echo "a project with a part's CMakeLists.txt missing configured:" >&2
  echo "$out" >&2
  exit 1
fi
grep -q 'the part absent/ has no CMakeLists.txt' <<<"$out" ||
  { echo "the failure does not name the missing part:" >&2; echo "$out" >&2; exit 1; }
echo "missing_part_test: ok"
