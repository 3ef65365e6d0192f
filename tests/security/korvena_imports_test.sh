#!/usr/bin/env bash
# What korvena.exe can reach in the system, read from its import table: only known system libraries,
# and no function that reads the environment, the command line, the registry or files, writes files,
# or starts a program other than through the shell (ShellExecuteW).
# usage: korvena_imports_test.sh OBJDUMP korvena.exe
set -euo pipefail
objdump=$1 exe=$2

imports=$("$objdump" -p "$exe" | awk '
  /DLL Name:/ { dll = toupper($3); next }
  dll && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }')
[ -n "$imports" ] || { echo "no imports read from $exe" >&2; exit 1; }
failed=0

# Known DLLs, which the loader takes from the system folder only, whatever lies beside the program;
# COMCTL32 is version 6, which the manifest binds from the system's side-by-side store.
allowed_dlls=" COMCTL32.DLL GDI32.DLL IMM32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL SHELL32.DLL USER32.DLL "
for dll in $(cut -d' ' -f1 <<<"$imports" | sort -u); do
  if [[ $allowed_dlls != *" $dll "* ]]; then
    echo "imports from $dll, not one of the known system libraries it may use" >&2
    failed=1
  fi
done

# LoadLibraryW stays allowed: the C runtime's rand_s loads advapi32.dll, a known DLL, by name. So does
# LoadLibraryA: the 32-bit start-up code (libgcc's frame registration) takes another reference to its
# own DLL by name, and only when that DLL is loaded already. The program's own sources call neither
# (tests/security/product_sources_test.sh).
# LoadLibraryExW is the program's own; tests/security/product_sources_test.sh checks its calls.
forbidden='^(GetEnvironmentVariable|GetEnvironmentStrings|ExpandEnvironmentStrings|SetEnvironmentVariable'
forbidden+='|_?w?getenv|_w?putenv|GetCommandLine|CommandLineToArgv'
forbidden+='|Reg[A-Z]|SHReg|SHGetValue|SHSetValue'
forbidden+='|CreateFile|OpenFile|ReadFile|WriteFile|DeleteFile|MoveFile|CopyFile|ReplaceFile|CreateDirectory'
forbidden+='|FindFirstFile|_w?s?open$|_w?fs?open$|fopen|GetPrivateProfile|WritePrivateProfile|GetProfile|WriteProfile'
forbidden+='|CreateProcess|WinExec|ShellExecuteEx|ShellExecuteA|_?w?system$|_w?spawn|_w?exec|_w?popen'
forbidden+='|LoadLibraryExA|LoadPackagedLibrary|URLDownload|Internet|WinHttp)'
while read -r dll function; do
  if [[ $function =~ $forbidden ]]; then
    echo "imports $dll!$function" >&2
    failed=1
  fi
done <<<"$imports"

[ "$failed" -eq 0 ] || exit 1
echo "korvena.exe: $(wc -l <<<"$imports") imports from $(cut -d' ' -f1 <<<"$imports" | sort -u | wc -l) known system libraries, none forbidden"
