#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into the folders beside this script. The
containers come from examples/vbfgen.py; run again after changing it."""
import struct
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parents[1] / "examples"))
import vbfgen  # noqa: E402

SHORT_FIELDS = [("sw_part_type", "EXE")]


def raw_block(address: int, length: int, data: bytes, trailer: bytes = b"\x00\x00") -> bytes:
    """A block whose length field need not match its data."""
    return struct.pack(">II", address, length) + data + trailer


def containers() -> dict:
    code = bytes((i * 37 + 11) & 0xFF for i in range(64))
    return {
        "sample.vbf": vbfgen.sample(),
        "worked_example.vbf": b"vbf{\n}" + vbfgen.block(0x01000004, b"\xDD\xEE", b"\x00\x00")
        + vbfgen.block(0x10, b"\xAA\xBB\xCC", b"\x00\x00"),
        "descending.vbf": vbfgen.vbf([(0x00020400, code), (0x00020000, code[:16])], SHORT_FIELDS),
        "overlapping.vbf": vbfgen.vbf([(0x100, b"1111"), (0x102, b"22")], SHORT_FIELDS),
        "cut_trailer.vbf": vbfgen.vbf([(0x40, b"AB"), vbfgen.block(0x80, b"CD", b"\x01")], SHORT_FIELDS),
        "crlf_header.vbf": b"vbf_version = 2.6;\r\nheader {\r\n}" + vbfgen.block(0, b"crlf"),
        "nul_before_signature.vbf": b"x\x00vbf\n}" + vbfgen.block(0, b"A"),
        "zero_length_last.vbf": vbfgen.vbf([(0, b"F"), (6, b"")], SHORT_FIELDS),
        "highest_address.vbf": vbfgen.vbf([(0xFFFFFFFF, b"\x7E")], SHORT_FIELDS),
        "absurd_length.vbf": vbfgen.vbf([(0x10, b"ok"), raw_block(0x20, 0xFFFFFFF6, b"xy")], SHORT_FIELDS,
                                        with_checksum=False),
        "many_blocks.vbf": vbfgen.vbf([(0x1000 - i, bytes([i])) for i in range(200)], SHORT_FIELDS),
        "header_only.vbf": vbfgen.header(SHORT_FIELDS) + b"\x00" * 8,
        "not_vbf.vbf": b"VBF\nheader {\n}" + vbfgen.block(0, b"A"),
    }


PATHS = [
    "D:\\ecu\\flash.vbf",
    "C:\\my.data\\ecu",
    "D:ecu.old.vbf",
    "\\\\server\\share\\ecu.",
    "/data/ecu.vbf",
    "dir.v2/ecu",
    "C:\\a/b.c/ecu",
    ".vbf",
]


def write(folder: str, files: dict) -> None:
    target = HERE / folder
    target.mkdir(exist_ok=True)
    for name, data in files.items():
        (target / name).write_bytes(data)


def main() -> int:
    write("vbf_image", containers())
    write("convert_chain", containers())
    write("base_name", {f"path{i}": p.encode("latin-1") for i, p in enumerate(PATHS)})
    return 0


if __name__ == "__main__":
    sys.exit(main())
