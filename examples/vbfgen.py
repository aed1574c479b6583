#!/usr/bin/env python3
"""Makes VBF containers: a text header, then data blocks of big-endian address and length,
the data, and a CRC-16/CCITT-FALSE trailer. The header's file_checksum is the CRC-32 of
every byte after the header's closing brace.

Run as a script it writes the bundled sample, sample.vbf, beside itself. Tests import it to
build their own files.
"""
import binascii
import struct
import sys
import zlib
from pathlib import Path


def crc16_ccitt_false(data: bytes) -> int:
    """CRC-16 with polynomial 0x1021 and initial value 0xFFFF, as stored in block trailers."""
    return binascii.crc_hqx(data, 0xFFFF)


def crc32(data: bytes) -> int:
    return zlib.crc32(data) & 0xFFFFFFFF


def block(address: int, data: bytes, trailer=None) -> bytes:
    """One data block; `trailer` overrides the computed CRC (bytes, possibly cut short)."""
    if trailer is None:
        trailer = struct.pack(">H", crc16_ccitt_false(data))
    return struct.pack(">II", address, len(data)) + data + trailer


def header(fields, checksum=None) -> bytes:
    """A header in the usual layout. `fields` is a list of (name, value text) pairs;
    `checksum`, when given, is written as file_checksum."""
    lines = ["vbf_version = 2.6;", "", "header {"]
    lines += [f"    {name} = {value};" for name, value in fields]
    if checksum is not None:
        lines.append(f"    file_checksum = 0x{checksum:08X};")
    lines.append("}")
    return "\n".join(lines).encode("ascii")


DEFAULT_FIELDS = [
    ("sw_part_number", '"32218870AA"'),
    ("sw_part_type", "EXE"),
    ("data_format_identifier", "0x00"),
    ("ecu_address", "0x7A1"),
    ("frame_format", "CAN_STANDARD"),
    ("erase", "{ { 0x00020000, 0x00008000 } }"),
]


def vbf(blocks, fields=DEFAULT_FIELDS, with_checksum=True) -> bytes:
    """A whole container; `blocks` holds (address, data) pairs or ready block bytes."""
    body = b"".join(b if isinstance(b, bytes) else block(*b) for b in blocks)
    return header(fields, crc32(body) if with_checksum else None) + body


def sample() -> bytes:
    """A small application image: a vector table, code, and a calibration area above it,
    stored out of address order as some packers do."""
    vectors = b"".join(struct.pack("<I", 0x00020101 + 4 * i) for i in range(16))
    code = bytes((i * 37 + 11) & 0xFF for i in range(1200))
    calibration = b"CAL1" + bytes(range(60))
    return vbf([(0x00027000, calibration), (0x00020000, vectors), (0x00020400, code)])


def main() -> int:
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("sample.vbf")
    target.write_bytes(sample())
    print(f"wrote {target} ({target.stat().st_size} bytes)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
