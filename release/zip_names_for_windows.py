#!/usr/bin/env python3
"""Rewrites a zip so that Windows shows its Chinese file names: each non-ASCII name is stored in
code page 936 (GBK) without the UTF-8 flag, which Windows 7's Explorer does not read, and again in
UTF-8 in an Info-ZIP Unicode Path extra field (0x7075), which 7-Zip, WinRAR and unzip read.

    zip_names_for_windows.py ZIP
"""

import shutil
import struct
import sys
import tempfile
import zipfile
import zlib

UTF8_FLAG = 0x800
UNICODE_PATH = 0x7075
CODE_PAGE = "gbk"


class CodePageName(zipfile.ZipInfo):
    """A member whose header name is in the code page; zipfile would write UTF-8 with the flag."""

    def _encodeFilenameFlags(self):
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode(CODE_PAGE), self.flag_bits & ~UTF8_FLAG


def unicode_path_field(name):
    """Version 1, the CRC-32 of the header's name bytes, the name in UTF-8."""
    data = struct.pack("<BI", 1, zlib.crc32(name.encode(CODE_PAGE))) + name.encode("utf-8")
    return struct.pack("<HH", UNICODE_PATH, len(data)) + data


def unicode_name(info):
    """The name as the reader should show it: from the 0x7075 field when the zip has one."""
    extra = info.extra
    while len(extra) >= 4:
        kind, size = struct.unpack_from("<HH", extra)
        if kind == UNICODE_PATH and size >= 5:
            return extra[9 : 4 + size].decode("utf-8")
        extra = extra[4 + size :]
    return info.filename


def rewrite(path):
    with tempfile.NamedTemporaryFile(suffix=".zip", delete=False) as out:
        rewritten = out.name
    with zipfile.ZipFile(path) as source, zipfile.ZipFile(rewritten, "w") as target:
        for info in source.infolist():
            member = CodePageName(info.filename, info.date_time)
            member.external_attr = info.external_attr
            member.create_system = info.create_system
            member.compress_type = zipfile.ZIP_DEFLATED
            if not info.filename.isascii():
                member.extra = unicode_path_field(info.filename)
            target.writestr(member, source.read(info))
    shutil.copymode(path, rewritten)
    shutil.move(rewritten, path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    rewrite(sys.argv[1])
