#!/usr/bin/env bash
# Checks that a Windows executable imports only functions that Windows 7 SP1 has: every DLL and
# function in its import table must be on the list (one "dll function" a line, # comments).
# A function missing from the list is either newer than Windows 7 or not checked yet: look up its
# minimum supported client before adding it.
#
#   check-imports.sh OBJDUMP EXE LIST
set -euo pipefail

[ $# -eq 3 ] || { sed -n '2,/^set /p' "$0" | grep '^#' >&2; exit 2; }
objdump=$1
exe=$2
list=$3

# objdump -p prints each imported DLL as "DLL Name: X" and then its functions as
# "<vma> <hint> <name>"; an import by ordinal has no name. DLL names are compared in lower case.
imports=$("$objdump" -p "$exe" | awk '
  /^[[:space:]]*DLL Name:/ { dll = tolower($3); next }
  /^[[:space:]]*$/ { dll = ""; next }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && $2 ~ /^[0-9]+$/ { print dll, ($3 == "" ? "ordinal-" $2 : $3) }
')
[ -n "$imports" ] || { echo "check-imports: no import table read from $exe" >&2; exit 1; }

allowed=$(sed 's/#.*//' "$list" | awk 'NF == 2 { print tolower($1), $2 }' | sort -u)
newer=$(comm -23 <(sort -u <<<"$imports") <(echo "$allowed"))

count=$(wc -l <<<"$imports")
if [ -n "$newer" ]; then
  sed "s|\$|: not on the Windows 7 SP1 list $(basename "$list")|" <<<"$newer" >&2
  echo "check-imports: $(basename "$exe"): $(wc -l <<<"$newer") of $count imports not on the list" >&2
  exit 1
fi
echo "check-imports: $(basename "$exe"): all $count imports, from" \
  "$(cut -d' ' -f1 <<<"$imports" | sort -u | tr '\n' ' ')are on the Windows 7 SP1 list"
