#!/usr/bin/env bash
# Compiles the help file qel.chm from the sources in this folder.
#
#   build-chm.sh SOURCE_DIR STAGE_DIR OUTPUT_CHM
#
# The sources are UTF-8 so they read well in the repository. The HTML Help viewer reads the
# contents, the index and the title in the code page of the file's language (936 for Chinese,
# PRC) and knows nothing of UTF-8 there, so every text file is staged in GBK and its pages
# declare gb2312 (the viewer's name for code page 936). Images are staged as they are.
# chmcmd's warnings (a link or an image that is not there) fail the build.
set -euo pipefail

[ $# -eq 3 ] || { sed -n '2,/^set /p' "$0" | grep '^#' >&2; exit 2; }
src=$(cd "$1" && pwd)
stage=$2
out=$3

rm -rf "$stage"
mkdir -p "$stage"
cd "$src"
while IFS= read -r -d '' file; do
  mkdir -p "$stage/$(dirname "$file")"
  case "$file" in
    *.htm | *.html | *.hhc | *.hhk | *.hhp | *.css)
      # iconv fails on a character that code page 936 does not have: better here than as a
      # question mark in the help window.
      sed 's/charset=utf-8/charset=gb2312/I' "$file" | iconv -f UTF-8 -t GBK >"$stage/$file" ||
        { echo "build-chm: $file has text that code page 936 cannot hold" >&2; exit 1; } ;;
    *) cp "$file" "$stage/$file" ;;
  esac
done < <(find . -type f \( -path ./html/\* -o -path ./images/\* -o -name 'qel.hh?' \) -print0)

cd "$stage"
log=chmcmd.log
if ! chmcmd qel.hhp >"$log" 2>&1 || grep -q -i -E '^(warning|error)' "$log"; then
  cat "$log" >&2
  echo "build-chm: chmcmd failed or warned" >&2
  exit 1
fi
mkdir -p "$(dirname "$out")"
mv qel.chm "$out"
