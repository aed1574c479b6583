#!/usr/bin/env python3
"""vbf2bin as a user or a script meets it: the images it writes, what it prints, its exit
status. Usage: test_vbf2bin.py PATH_TO_VBF2BIN [unittest options]"""
import os
import subprocess
import struct
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "examples"))
import vbfgen  # noqa: E402

PROGRAM = None  # the program under test, from the command line
SAMPLE = Path(__file__).resolve().parents[2] / "examples" / "sample.vbf"

USAGE = "usage: vbf2bin [-o DIR] FILE..."
NO_BLOCKS = "Нет блоков данных"


def image_of(blocks):
    """The image the window program writes: every block's data at its address modulo
    16 MiB, zero bytes between, up to the end of the highest block."""
    placed = [(address & 0xFFFFFF, data) for address, data in blocks]
    image = bytearray(max(offset + len(data) for offset, data in placed))
    for offset, data in placed:
        image[offset:offset + len(data)] = data
    return bytes(image)


TWO_BLOCKS = [(0x20, b"\x44\x55"), (0x10, b"\x11\x22\x33")]
GOOD = vbfgen.vbf(TWO_BLOCKS)
GOOD_SIZE = len(image_of(TWO_BLOCKS))
HEADER = vbfgen.header(vbfgen.DEFAULT_FIELDS)  # the header of a file without file_checksum


class ProgramTest(unittest.TestCase):
    """Runs the program in a fresh scratch folder."""

    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="vbf2bin-")
        self.addCleanup(scratch.cleanup)
        self.dir = Path(scratch.name)

    def write(self, name, content):
        path = self.dir / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
        return path

    def run_program(self, *args):
        done = subprocess.run([PROGRAM, *args], cwd=self.dir, capture_output=True, timeout=60)
        return done.returncode, done.stdout.decode("utf-8"), done.stderr.decode("utf-8")

    def images(self):
        return sorted(str(p.relative_to(self.dir)) for p in self.dir.rglob("*.bin") if p.is_file())


class ConvertTest(ProgramTest):
    def test_files_through_the_program(self):
        # (case, file name, content or None for no file, the image (None: not checked) or the
        # message the file is refused with)
        high_byte = [(0x80000010, b"\xAA"), (0x00000020, b"\xBB\xCC")]
        overlap = [(0x100, b"\x01\x02\x03\x04"), (0x102, b"\xEE")]
        cut_trailer = HEADER + vbfgen.block(0x10, b"\x77\x88", trailer=b"\x12")
        cases = [
            ("two blocks out of order", "ecu.vbf", GOOD, image_of(TWO_BLOCKS)),
            ("the bundled sample", "sample.vbf", SAMPLE.read_bytes(), None),
            ("address top byte dropped", "ecu.vbf", vbfgen.vbf(high_byte), image_of(high_byte)),
            ("later block overwrites", "ecu.vbf", vbfgen.vbf(overlap),
             bytes(0x100) + b"\x01\x02\xEE\x04"),
            ("last trailer cut short", "ecu.vbf", cut_trailer, bytes(0x10) + b"\x77\x88"),
            ("missing file", "ecu.vbf", None, "Error open file"),
            ("empty file", "ecu.vbf", b"", "Length file 0 byte"),
            ("no header end", "ecu.vbf", b"vbf_version = 2.6;\nheader { }", "Header vbf is not found"),
            ("no signature", "ecu.vbf", HEADER.replace(b"vbf", b"VBF") + vbfgen.block(0, b"\x01"),
             "Is not vbf"),
            ("no data block", "ecu.vbf", HEADER + b"\x00" * 8, NO_BLOCKS),
            ("block past the end", "ecu.vbf", HEADER + struct.pack(">II", 0, 100) + b"\x01\x02",
             "Data block runs past end of file"),
        ]
        for case, name, content, expected in cases:
            with self.subTest(case):
                self.setUp()
                if content is not None:
                    self.write(name, content)
                status, out, err = self.run_program(name)
                if isinstance(expected, str):
                    self.assertEqual((status, out, err), (1, "", f"vbf2bin: {name}: {expected}\n"))
                    self.assertEqual(self.images(), [])
                else:
                    output = Path(name).stem + ".bin"
                    written = (self.dir / output).read_bytes()
                    printed = f"{name} -> {output} ({len(written)} bytes)\n"
                    self.assertEqual((status, out, err), (0, printed, ""))
                    if expected is not None:
                        self.assertEqual(written, expected)

    def test_a_folder_as_input_cannot_be_read(self):
        (self.dir / "ecu.vbf").mkdir()
        self.assertEqual(self.run_program("ecu.vbf"), (1, "", "vbf2bin: ecu.vbf: Error read file\n"))

    def test_goes_on_after_a_bad_file_in_the_middle(self):
        self.write("a.vbf", GOOD)
        self.write("b.vbf", HEADER + b"\n")
        self.write("c.vbf", vbfgen.vbf([(0x40, b"\x99")]))
        status, out, err = self.run_program("a.vbf", "b.vbf", "c.vbf")
        self.assertEqual(status, 1)
        self.assertEqual(out, f"a.vbf -> a.bin ({GOOD_SIZE} bytes)\nc.vbf -> c.bin (65 bytes)\n")
        self.assertEqual(err, f"vbf2bin: b.vbf: {NO_BLOCKS}\n")
        self.assertEqual(self.images(), ["a.bin", "c.bin"])

    def test_output_folder(self):
        self.write("in/ecu.vbf", GOOD)
        (self.dir / "out").mkdir()
        for folder in ("out", "out/"):
            with self.subTest(folder=folder):
                status, out, err = self.run_program("-o", folder, "in/ecu.vbf")
                printed = f"in/ecu.vbf -> {folder.rstrip('/')}/ecu.bin ({GOOD_SIZE} bytes)\n"
                self.assertEqual((status, out, err), (0, printed, ""))
                self.assertEqual(self.images(), ["out/ecu.bin"])
                self.assertEqual((self.dir / "out/ecu.bin").read_bytes(), image_of(TWO_BLOCKS))

    def test_output_names(self):
        # The window program's rule: folders go, then the last extension.
        cases = [("ecu.old.vbf", "ecu.old.bin"), ("ecu", "ecu.bin"), ("my.data/ecu", "ecu.bin"),
                 ("ecu.", "ecu.bin"), (".vbf", ".bin"), ("sub/dir/flash.vbf", "flash.bin"),
                 ("back\\slash.vbf", "slash.bin")]
        for name, output in cases:
            with self.subTest(name):
                self.setUp()
                self.write(name, GOOD)
                printed = f"{name} -> {output} ({GOOD_SIZE} bytes)\n"
                self.assertEqual(self.run_program(name), (0, printed, ""))
                self.assertEqual(self.images(), [output])

    def test_output_that_cannot_be_written(self):
        self.write("ecu.vbf", GOOD)
        (self.dir / "taken/ecu.bin").mkdir(parents=True)
        for folder in ("missing", "taken"):
            with self.subTest(folder):
                self.assertEqual(self.run_program("-o", folder, "ecu.vbf"),
                                 (1, "", "vbf2bin: ecu.vbf: Error write file\n"))
                self.assertEqual(self.images(), [])


class InfoTest(ProgramTest):
    @staticmethod
    def rows(out):
        """Block rows as [index, file offset, address, image offset, length, stored, computed,
        verdict]."""
        rows = (line.split(None, 7) for line in out.splitlines())
        return [row for row in rows if row and row[0].isdigit()]

    @staticmethod
    def line(out, start):
        return next(line.strip() for line in out.splitlines() if line.strip().startswith(start))

    def test_reports_header_blocks_checksums_and_image(self):
        blocks = [(0x80000100, b"\x01\x02\x03"), (0x00000010, bytes(range(40)))]
        content = vbfgen.vbf(blocks)
        self.write("ecu.vbf", content)
        status, out, err = self.run_program("--info", "ecu.vbf")
        self.assertEqual((status, err), (0, ""))
        self.assertEqual(self.images(), [])

        header_end = content.index(b"\n}") + 2
        checksum = vbfgen.crc32(content[header_end:])
        self.assertEqual(out.splitlines()[:7], [
            "ecu.vbf",
            "  vbf_version = 2.6",
            '  sw_part_number = "32218870AA"',
            "  sw_part_type = EXE",
            "  data_format_identifier = 0x00",
            "  ecu_address = 0x7A1",
            f"  file_checksum = 0x{checksum:08X}",
        ])
        crcs = [f"0x{vbfgen.crc16_ccitt_false(data):04X}" for _, data in blocks]
        self.assertEqual(self.rows(out), [
            ["1", f"0x{header_end:08X}", "0x80000100", "0x00000100", "3", crcs[0], crcs[0], "ok"],
            ["2", f"0x{header_end + 13:08X}", "0x00000010", "0x00000010", "40", crcs[1], crcs[1], "ok"],
        ])
        self.assertEqual(self.line(out, "file checksum:"),
                         f"file checksum: CRC-32 0x{checksum:08X}, file_checksum 0x{checksum:08X}: ok")
        self.assertEqual(self.line(out, "image:"), "image: 259 bytes, addresses 0x00000010-0x80000102")
        self.assertNotIn("warning", out)

        # The size reported is the size a conversion writes.
        self.assertEqual(self.run_program("ecu.vbf")[1], "ecu.vbf -> ecu.bin (259 bytes)\n")

    def test_checks(self):
        first, second = b"\x10\x20\x30", b"\x40\x50"
        crcs = [f"0x{vbfgen.crc16_ccitt_false(data):04X}" for data in (first, second)]

        def body(second_trailer=None):
            return vbfgen.block(0x1000, first) + vbfgen.block(0x2000, second, second_trailer)

        def file(second_trailer=None, fields=vbfgen.DEFAULT_FIELDS, with_checksum=True):
            return vbfgen.vbf([body(second_trailer)], fields, with_checksum)

        compressed = [(name, "0x10" if name == "data_format_identifier" else value)
                      for name, value in vbfgen.DEFAULT_FIELDS]
        warning = ("  warning: data_format_identifier 0x10 means compressed or encrypted data;"
                   " the image would hold it as stored")
        # (case, file, exit status, second block's stored trailer and verdict, end of the file
        # checksum line, warning line)
        cases = [
            ("all good", file(), 0, [crcs[1], "ok"], ": ok", None),
            ("bad trailer", file(b"\xBE\xEF"), 1, ["0xBEEF", "MISMATCH"], ": ok", None),
            ("cut trailer", file(b"\xBE"), 0,
             ["-", "CUT: the file ends inside the trailer"], ": ok", None),
            ("missing trailer", file(b""), 0,
             ["-", "MISSING: the file ends before the trailer"], ": ok", None),
            ("bad file checksum", vbfgen.header(vbfgen.DEFAULT_FIELDS, 0x12345678) + body(), 1,
             [crcs[1], "ok"], "file_checksum 0x12345678: MISMATCH", None),
            ("no file checksum", file(with_checksum=False), 0,
             [crcs[1], "ok"], "file_checksum absent", None),
            ("compressed data", file(fields=compressed), 0, [crcs[1], "ok"], ": ok", warning),
        ]
        for case, content, expected_status, second_trailer, checksum_end, expected_warning in cases:
            with self.subTest(case):
                self.setUp()
                self.write("ecu.vbf", content)
                status, out, err = self.run_program("--info", "ecu.vbf")
                self.assertEqual((status, err), (expected_status, ""))
                rows = self.rows(out)
                stored, verdict = second_trailer
                self.assertEqual([row[5:] for row in rows],
                                 [[crcs[0], crcs[0], "ok"], [stored, crcs[1], verdict]])
                self.assertTrue(self.line(out, "file checksum:").endswith(checksum_end))
                warnings = [line for line in out.splitlines() if "warning" in line]
                self.assertEqual(warnings, [expected_warning] if expected_warning else [])
                self.assertEqual(self.images(), [])

    def test_fields_only_as_statements(self):
        header = (b"// file_checksum = 0x12345678;\nvbf_version = 2.6;\nheader {\n"
                  b'  sw_part_number = "A;B"; // sw_part_type = EXE;\n  ecu_address=0x7A1 ;\n'
                  b"  sw_part_type_extra = X;\n}")
        self.write("ecu.vbf", header + vbfgen.block(0, b"\x01"))
        status, out, _ = self.run_program("--info", "ecu.vbf")
        self.assertEqual(status, 0)
        self.assertEqual(out.splitlines()[1:5], ["  vbf_version = 2.6", '  sw_part_number = "A;B"',
                                                 "  ecu_address = 0x7A1", "  block  file offset  address"
                                                 "     image offset      length  trailer  computed"])
        self.assertTrue(self.line(out, "file checksum:").endswith("file_checksum absent"))

    def test_refused_file_among_others(self):
        self.write("bad.vbf", HEADER + b"\n")
        self.write("good.vbf", GOOD)
        single = self.run_program("--info", "good.vbf")
        self.assertEqual(single[0], 0)
        status, out, err = self.run_program("--info", "good.vbf", "bad.vbf", "good.vbf")
        self.assertEqual(status, 1)
        self.assertEqual(err, f"vbf2bin: bad.vbf: {NO_BLOCKS}\n")
        self.assertEqual(out, single[1] + "\n" + single[1])
        self.assertEqual(self.images(), [])


class UsageTest(ProgramTest):
    def test_usage_errors(self):
        self.write("ecu.vbf", GOOD)
        for args in ([], ["--info"], ["-o"], ["--bogus", "ecu.vbf"], ["--info", "-o", "out", "ecu.vbf"]):
            with self.subTest(args=args):
                status, out, err = self.run_program(*args)
                self.assertEqual((status, out), (2, ""))
                self.assertTrue(err.startswith("vbf2bin: "), err)
                self.assertIn(USAGE, err)
                self.assertEqual(self.images(), [])

    def test_help_and_version(self):
        status, out, err = self.run_program("--help")
        self.assertEqual((status, err), (0, ""))
        for option in ("-o,--output DIR", "--info", "--version", "FILE"):
            self.assertIn(option, out)
        self.assertEqual(self.run_program("--version"), (0, "vbf2bin 1.1 (Tessarin)\n", ""))


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    PROGRAM = os.path.abspath(sys.argv.pop(1))
    unittest.main()
