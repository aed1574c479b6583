#!/usr/bin/env python3
"""The program's icon, MAINICON (app/Tessarin.ico): the one image that the Windows resource
takes, and the generator beside it still draws exactly that file."""
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

APP = Path(__file__).resolve().parents[2] / "app"
SIZE = 24


class IconTest(unittest.TestCase):
    def setUp(self):
        self.data = (APP / "Tessarin.ico").read_bytes()

    def test_holds_one_24_by_24_image_of_32_bits_per_pixel(self):
        reserved, kind, count = struct.unpack_from("<HHH", self.data, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 1))
        width, height, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", self.data, 6)
        self.assertEqual((width, height, colours, planes, bits), (SIZE, SIZE, 0, 1, 32))
        self.assertEqual(offset + size, len(self.data))

        header = struct.unpack_from("<IiiHHI", self.data, offset)
        # The bitmap's height counts the colour rows and the mask rows.
        self.assertEqual(header, (40, SIZE, 2 * SIZE, 1, 32, 0))
        mask_row = (SIZE + 31) // 32 * 4
        self.assertEqual(size, 40 + SIZE * SIZE * 4 + SIZE * mask_row)

    def test_the_mask_marks_exactly_the_clear_pixels(self):
        offset = struct.unpack_from("<I", self.data, 18)[0] + 40
        alpha = [self.data[offset + 4 * i + 3] for i in range(SIZE * SIZE)]
        mask = self.data[offset + 4 * SIZE * SIZE:]
        mask_row = (SIZE + 31) // 32 * 4
        for i, a in enumerate(alpha):
            row, column = divmod(i, SIZE)
            bit = mask[row * mask_row + column // 8] >> (7 - column % 8) & 1
            self.assertEqual(bit, int(a == 0), f"pixel {column},{row}")
        # A drawing on a rounded tile: clear corners, an opaque middle.
        self.assertEqual(alpha[0], 0)
        self.assertEqual(alpha[SIZE * SIZE // 2 + SIZE // 2], 255)

    def test_the_generator_draws_the_committed_file(self):
        with tempfile.TemporaryDirectory() as scratch:
            drawn = Path(scratch) / "icon.ico"
            subprocess.run([sys.executable, str(APP / "make_icon.py"), str(drawn)], check=True)
            self.assertEqual(drawn.read_bytes(), self.data)


if __name__ == "__main__":
    unittest.main()
