#!/usr/bin/env python3
"""Makes the release zip with cpack, as `--target package` does, and checks what is inside.

The zip must hold exactly korvena.exe, qel.chm and 使用说明.txt in korvena-<version>-<bits>/,
the Chinese name in code page 936 for Windows' zip folders and in UTF-8 for other unpackers;
the exe must be a stripped GUI program for the machine its name says, with the version resource
the release states, and import only what Windows 7 SP1 has; the help file must be the complete
help file; the notes must be UTF-8 with a byte-order mark, CRLF, naming the version."""

import argparse
import re
import struct
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

from zip_names_for_windows import CODE_PAGE, UTF8_FLAG, unicode_name

MACHINES = {"win64": 0x8664, "win32": 0x014C}  # IMAGE_FILE_MACHINE_AMD64, _I386
GUI_SUBSYSTEM = 2  # IMAGE_SUBSYSTEM_WINDOWS_GUI
NOTES = "使用说明.txt"

failures = []


def fail(message):
    failures.append(message)
    print(f"check_package: {message}", file=sys.stderr)


def pe_header(exe):
    """Machine, COFF symbol count, section names and subsystem of a PE file."""
    if exe[:2] != b"MZ":
        raise ValueError("no MZ header")
    pe = struct.unpack_from("<I", exe, 0x3C)[0]
    if exe[pe : pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine, section_count, _, symbols_at, symbol_count, optional_size = struct.unpack_from("<HHIIIH", exe, pe + 4)
    # The optional header follows the 20-byte file header; Subsystem is at offset 68 in both
    # the PE32 and the PE32+ layout. The section table follows the optional header.
    subsystem = struct.unpack_from("<H", exe, pe + 24 + 68)[0]
    sections_at = pe + 24 + optional_size
    # A name longer than 8 characters is "/<offset>" into the string table after the symbols.
    strings_at = symbols_at + 18 * symbol_count
    sections = []
    for at in range(sections_at, sections_at + 40 * section_count, 40):
        name = exe[at : at + 8].rstrip(b"\0").decode("ascii", "replace")
        if name.startswith("/") and symbols_at:
            start = strings_at + int(name[1:])
            name = exe[start : exe.index(b"\0", start)].decode("ascii", "replace")
        sections.append(name)
    return machine, symbol_count, sections, subsystem


def version_strings(windres, exe_path):
    """The version resource as windres decompiles it: FILEVERSION and the string values."""
    rc = subprocess.run([windres, "-i", str(exe_path), "-O", "rc"], check=True,
                        capture_output=True, text=True).stdout
    match = re.search(r"^\s*FILEVERSION\s+([\d, ]+)$", rc, re.M)
    values = {"FILEVERSION": match.group(1).replace(" ", "") if match else None}
    for name, wide, text in re.findall(r'VALUE "(\w+)", (L?)"((?:[^"\\]|\\.)*)"', rc):
        if wide:
            text = re.sub(r"\\x([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), text)
        values[name] = text
    return values


def maker_name(about_links):
    """The maker as the About window names it (its title and the tooltip of its site link)."""
    match = re.search(r'kMakerName = L"([^"]+)"', Path(about_links).read_text(encoding="utf-8"))
    return match.group(1)


def member_name(info):
    """The member's name; a non-ASCII one must read the same in code page 936 and in UTF-8."""
    if info.filename.isascii():
        return info.filename
    name = unicode_name(info)
    if info.flag_bits & UTF8_FLAG:
        fail(f"{name} is stored in UTF-8 only, which Windows 7's Explorer shows garbled")
    elif info.filename.encode("cp437").decode(CODE_PAGE, "replace") != name:
        fail(f"{name} is not stored in code page 936 as well")
    return name


def check_exe(args, exe_path):
    machine, symbol_count, sections, subsystem = pe_header(exe_path.read_bytes())
    if machine != MACHINES[args.bits]:
        fail(f"korvena.exe is for machine {machine:#06x}, not {args.bits} ({MACHINES[args.bits]:#06x})")
    debug = [name for name in sections if name.startswith(".debug")]
    if symbol_count or debug:
        fail(f"korvena.exe is not stripped ({symbol_count} symbols, sections {debug})")
    if subsystem != GUI_SUBSYSTEM:
        fail(f"korvena.exe has subsystem {subsystem}, not the GUI")

    four_parts = args.version + ".0"
    expected = {
        "FILEVERSION": four_parts.replace(".", ","),
        "FileVersion": four_parts,
        "ProductVersion": four_parts,
        "ProductName": "Korvena",
        "FileDescription": "地形图高程赋值工具",
        "CompanyName": maker_name(args.about_links),
    }
    found = version_strings(args.windres, exe_path)
    for name, value in expected.items():
        if found.get(name) != value:
            fail(f"version resource {name} is {found.get(name)!r}, not {value!r}")

    imports = subprocess.run([args.check_imports, args.objdump, str(exe_path), args.windows7_imports],
                             capture_output=True, text=True)
    print(imports.stdout, end="")
    if imports.returncode != 0:
        fail(f"korvena.exe imports what Windows 7 SP1 lacks:\n{imports.stderr}")


def check_notes(args, path):
    data = path.read_bytes()
    if not data.startswith(b"\xef\xbb\xbf"):
        fail(f"{NOTES} does not start with the UTF-8 byte-order mark")
    text = data.decode("utf-8-sig")
    if "\n" in text.replace("\r\n", ""):
        fail(f"{NOTES} has lines that do not end in CRLF")
    for needed in (f"Korvena {args.version}", "qel.chm", "Windows 7 SP1", "R2000", "lin@"):
        if needed not in text:
            fail(f"{NOTES} does not mention {needed}")


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    for option in ("cpack", "build", "zip", "bits", "version", "objdump", "windres", "check-imports",
                   "windows7-imports", "check-chm", "hhp", "about-links"):
        parser.add_argument("--" + option, required=True)
    args = parser.parse_args()

    zip_path = Path(args.zip)
    zip_path.unlink(missing_ok=True)
    subprocess.run([args.cpack, "--config", "CPackConfig.cmake"], cwd=args.build, check=True)
    top = f"korvena-{args.version}-{args.bits}"
    if zip_path.name != top + ".zip":
        fail(f"the zip is named {zip_path.name}, not {top}.zip")
    print(f"check_package: {zip_path.name}, {zip_path.stat().st_size} bytes")

    with zipfile.ZipFile(zip_path) as archive, tempfile.TemporaryDirectory() as work:
        files = {member_name(info): info for info in archive.infolist() if not info.is_dir()}
        expected = sorted(f"{top}/{name}" for name in ("korvena.exe", "qel.chm", NOTES))
        if sorted(files) != expected:
            fail(f"the zip holds {sorted(files)}, not {expected}")
            return 1
        for name, info in files.items():
            (Path(work) / name).parent.mkdir(parents=True, exist_ok=True)
            (Path(work) / name).write_bytes(archive.read(info))
        folder = Path(work) / top
        check_exe(args, folder / "korvena.exe")
        if (folder / "qel.chm").read_bytes() != (Path(args.build) / "bin" / "qel.chm").read_bytes():
            fail("qel.chm differs from the help file of the build")
        if subprocess.run([args.check_chm, str(folder / "qel.chm"), args.hhp]).returncode != 0:
            fail("qel.chm is not the complete help file")
        check_notes(args, folder / NOTES)

    if failures:
        print(f"check_package: {len(failures)} problems in {zip_path.name}", file=sys.stderr)
        return 1
    print(f"check_package: {zip_path.name} holds korvena.exe ({args.bits}), qel.chm and {NOTES} as released")
    return 0


if __name__ == "__main__":
    sys.exit(main())
