#!/usr/bin/env bash
# Checks a compiled help file against its project: it is an ITSF file (the compiled HTML Help
# format), every file that the project lists is inside, along with the contents and the index,
# every page inside is GBK text that declares gb2312, so the Chinese viewer shows it, and the
# pictures are those of the sources.
#
#   check-chm.sh QEL_CHM QEL_HHP
set -euo pipefail

[ $# -eq 2 ] || { sed -n '2,/^set /p' "$0" | grep '^#' >&2; exit 2; }
chm=$1
hhp=$2
failures=0
fail() { echo "check-chm: $*" >&2; failures=$((failures + 1)); }

[ "$(head -c 4 "$chm")" = ITSF ] || { echo "check-chm: $chm is not a compiled help file" >&2; exit 1; }

# enum_chmLib prints one stored file a line, its path last.
stored=$(enum_chmLib "$chm" | awk '{print $NF}')
expected=$(sed -n '/^\[FILES\]/,/^\[/{/^\[/d;/^[[:space:]]*$/d;p}' "$hhp" | tr -d '\r')
expected+=$'\n'qel.hhc$'\n'qel.hhk
count=0
while IFS= read -r file; do
  count=$((count + 1))
  grep -q -F -x "/$file" <<<"$stored" || fail "$file is missing from $chm"
done <<<"$expected"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
extract_chmLib "$chm" "$work" >/dev/null
for page in "$work"/html/*.htm "$work"/qel.hhc "$work"/qel.hhk; do
  name=${page#"$work"/}
  iconv -f GBK -t UTF-8 "$page" >/dev/null 2>&1 || fail "$name is not GBK text"
  grep -q -i 'charset=gb2312' "$page" || fail "$name does not declare gb2312"
done
# Pictures are stored as they are.
for picture in "$(dirname "$hhp")"/images/*.png; do
  cmp -s "$picture" "$work/images/$(basename "$picture")" || fail "images/$(basename "$picture") differs from its source"
done
default_topic=$(sed -n 's/^Default topic=//p' "$hhp" | tr -d '\r')
[ -s "$work/$default_topic" ] || fail "the default topic $default_topic is not inside"

if [ "$failures" -gt 0 ]; then
  echo "check-chm: $failures problem(s) in $chm" >&2
  exit 1
fi
echo "check-chm: $chm holds all $count files of its project; default topic $default_topic"
