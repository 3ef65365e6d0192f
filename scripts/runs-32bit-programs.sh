#!/usr/bin/env bash
# Exits 0 when this machine's kernel runs 32-bit x86 programs, 1 (with the reason) otherwise.
# Wine runs 32-bit Windows programs only then: its 32-bit loader is a 32-bit Linux program, and
# its WoW64 mode needs the kernel's 32-bit code segment and int 0x80 as well (docs/wine-findings.md).
#
# The probe is the smallest 32-bit Linux program: an ELF header, one program header and
# "mov eax, 1; xor ebx, ebx; int 0x80" (exit 0 through the 32-bit system call gate).
set -euo pipefail

probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
elf_header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
elf_header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
elf_header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
program_header='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
program_header+='\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
code='\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
printf "$elf_header$program_header$code" >"$probe"
chmod +x "$probe"

if output=$("$probe" 2>&1); then
  exit 0
fi
echo "this kernel does not run 32-bit programs: ${output:-the probe failed} (32-bit emulation is off)" >&2
exit 1
