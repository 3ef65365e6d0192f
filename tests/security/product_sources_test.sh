#!/usr/bin/env bash
# What the program's own code asks of the system, read from its sources (app, about, promo, ui, cad, base,
# commands; comments left out): no reading of the environment, the command line, the registry or files,
# no writing of files, no program started but through ShellOpen with the program's own addresses, and
# libraries loaded at run time from the system folder only.
# usage: product_sources_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
failed=0
fail() {
  echo "$*" >&2
  failed=1
}

# file:line:code, without // comments and lines inside /* */ blocks.
code=$(grep -rnI --include='*.cpp' --include='*.h' '' app about promo ui cad commands base |
  sed -E 's#//.*$##' | grep -vE '^[^:]+:[0-9]+:\s*(\*|/\*)')

forbidden='\b(GetEnvironmentVariable\w*|GetEnvironmentStrings\w*|ExpandEnvironmentStrings\w*|_?w?getenv(_s)?'
forbidden+='|GetCommandLine\w*|CommandLineToArgvW|__w?argv|__argc'
forbidden+='|Reg(Open|Create|Query|Set|Get|Delete|Enum|Load|Save)\w*|SHReg\w*|SHGetValue\w*'
forbidden+='|CreateFile\w*|OpenFile|ReadFile|WriteFile|DeleteFile\w*|MoveFile\w*|CopyFile\w*|CreateDirectory\w*'
forbidden+='|_?w?fopen(_s)?|_w?open|[iow]*fstream|GetPrivateProfile\w*|WritePrivateProfile\w*|SHGetFolderPath\w*'
forbidden+='|CreateProcess\w*|WinExec|ShellExecuteEx\w*|_w?spawn\w*|_w?popen'
forbidden+='|LoadLibrary|LoadLibraryA|LoadLibraryW|LoadLibraryExA|LoadPackagedLibrary)\b|\b_?w?system\s*\('
while IFS= read -r line; do
  fail "forbidden call: $line"
done < <(grep -E "$forbidden" <<<"$code" || true)

# The command line that wWinMain is handed stays unnamed, so unread.
grep -qE 'wWinMain\(HINSTANCE \w+, HINSTANCE, PWSTR, int' <<<"$code" ||
  fail "wWinMain names its command-line parameter (or is gone)"

# The shell is called in one place, and that place only ever gets the program's own addresses.
shell_calls=$(grep -E '\bShellExecuteW\b' <<<"$code" | cut -d: -f1 | sort -u)
[ "$shell_calls" = "about/shell_open.cpp" ] || fail "ShellExecuteW outside about/shell_open.cpp: $shell_calls"
while IFS= read -r line; do
  [[ $line =~ ShellOpen\(Handle\(\),\ about::(MakerSiteAddress|ShellTarget\(click\))\) ]] ||
    fail "ShellOpen with an address that is not one of about/about_links.h: $line"
done < <(grep -E '\bShellOpen\(' <<<"$code" | grep -v 'void ShellOpen(')

# A library loaded at run time is named with LOAD_LIBRARY_SEARCH_SYSTEM32, or by the full path of its
# copy in the system folder, made in the same function from GetSystemDirectoryW.
while IFS= read -r line; do
  file=${line%%:*}
  [[ $line == *LOAD_LIBRARY_SEARCH_SYSTEM32* ]] && continue
  if [[ $line =~ LoadLibraryExW\(path\.c_str\(\) ]] &&
    grep -A12 -E 'GetSystemDirectoryW\(' "$file" | grep -q 'LoadLibraryExW(path\.c_str()'; then
    continue
  fi
  fail "a library loaded without the system folder: $line"
done < <(grep -E '\bLoadLibraryExW\(' <<<"$code")

[ "$failed" -eq 0 ] || exit 1
echo "product sources: no environment, command line, registry or file access; shell and libraries as allowed"
