#!/usr/bin/env python3
"""The terminal form of tessarin driven as a user would drive it, through its standard input:
what it shows, its exit status and the files it leaves behind.

    python3 tests/program/test_tessarin.py [path/to/tessarin] [unittest options]
"""
import os
import queue
import resource
import shlex
import struct
import subprocess
import sys
import tempfile
import threading
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "examples"))
import vbfgen  # noqa: E402

PROGRAM = ROOT / "build" / "native" / "tessarin"
# A command that every run of the program goes through, such as a memory checker.
WRAPPER = shlex.split(os.environ.get("TESSARIN_TEST_WRAPPER", ""))
TIMEOUT = 30

FORM = ["Tessarin v-1.1", "1) Button1: Convert VBF to BIN", "2) Label1: www.example.com", "q) close"]
PROMPT = ["[Message] Open file", "[Open] vbf|*.vbf"]
DONE = "[Сообщение] Converting vbf - ok"


def image_of(vbf: bytes) -> bytes:
    """What the conversion must write: every block at its address modulo 16 MiB, zeros
    between, up to the largest block end."""
    body = vbf[vbf.index(b"\n}") + 2:]
    blocks, p = [], 0
    while p + 8 < len(body):
        address, length = struct.unpack_from(">II", body, p)
        blocks.append((address % (1 << 24), body[p + 8:p + 8 + length]))
        p += 10 + length
    image = bytearray(max(a + len(d) for a, d in blocks))
    for address, data in blocks:
        image[address:address + len(data)] = data
    return bytes(image)


OTHER_VBF = vbfgen.vbf([(0x00010000, b"\xA5" * 40), (0xFF000008, b"top byte dropped")])


class TerminalFormTest(unittest.TestCase):
    def setUp(self):
        scratch = tempfile.TemporaryDirectory(prefix="tessarin-program-")
        self.addCleanup(scratch.cleanup)
        self.scratch = Path(scratch.name)
        self.fresh_folder()

    def fresh_folder(self):
        """Makes a new current folder for the program, holding the sample as ecu.vbf."""
        self.dir = Path(tempfile.mkdtemp(dir=self.scratch))
        (self.dir / "ecu.vbf").write_bytes(vbfgen.sample())

    def run_script(self, script, **options):
        """Runs the program on `script` as its whole input; returns its exit status and lines."""
        done = subprocess.run(WRAPPER + [str(PROGRAM)], input=script.encode(), cwd=self.dir, capture_output=True,
                              timeout=TIMEOUT, **options)
        lines = done.stdout.decode("utf-8").splitlines()
        self.assertEqual(done.stderr, b"")
        self.assertNotIn("Form1", done.stdout.decode("utf-8"), "the layout's caption was shown")
        return done.returncode, lines

    def files(self):
        return sorted(p.name for p in self.dir.iterdir())

    def test_closing_the_window_ends_with_status_zero(self):
        cases = {
            "q\n": FORM,
            "close\n": FORM,
            "": FORM,  # end of input
            "Close\n\nq\n": FORM + ["No such choice: Close"] + FORM + FORM,
        }
        for script, shown in cases.items():
            with self.subTest(script=script):
                self.assertEqual(self.run_script(script), (0, shown))
                self.assertEqual(self.files(), ["ecu.vbf"])

    def test_converts_a_file_from_another_folder_into_the_current_one(self):
        (self.dir / "in").mkdir()
        (self.dir / "ecu.vbf").rename(self.dir / "in" / "flash.vbf")
        status, lines = self.run_script(f"1\n\n{self.dir / 'in' / 'flash.vbf'}\n\nq\n")
        self.assertEqual((status, lines), (0, FORM + PROMPT + [DONE] + FORM))
        self.assertEqual(self.files(), ["flash.bin", "in"])
        self.assertEqual((self.dir / "flash.bin").read_bytes(), image_of(vbfgen.sample()))

    def test_buttons_and_labels_go_by_name_too(self):
        status, lines = self.run_script("Button1\n\necu.vbf\n\nLabel1\nq\n")
        self.assertEqual((status, lines), (0, FORM + PROMPT + [DONE] + FORM + ["[Shell] open www.example.com"] + FORM))

    def test_a_first_run_with_the_dialog_cancelled_ends_the_program(self):
        status, lines = self.run_script("1\n\n\n\nq\n")
        self.assertEqual((status, lines), (0, FORM + PROMPT + ["[Message] Error open file"]))
        self.assertEqual(self.files(), ["ecu.vbf"])

    def test_two_runs_in_one_session_convert_two_files(self):
        (self.dir / "other.vbf").write_bytes(OTHER_VBF)
        status, lines = self.run_script("1\n\necu.vbf\n\n1\n\nother.vbf\n\nq\n")
        self.assertEqual((status, lines), (0, FORM + PROMPT + [DONE] + FORM + PROMPT + [DONE] + FORM))
        self.assertEqual((self.dir / "ecu.bin").read_bytes(), image_of(vbfgen.sample()))
        self.assertEqual((self.dir / "other.bin").read_bytes(), image_of(OTHER_VBF))

    def test_a_cancelled_dialog_after_a_success_converts_the_same_file_again(self):
        with Session(self.dir) as session:
            self.assertEqual(session.read(4), FORM)
            for answer, shown in [("1", PROMPT[0]), ("", PROMPT[1]), ("ecu.vbf", DONE)]:
                session.send(answer)
                self.assertEqual(session.read(1), [shown])
            # The file changes under the same name; the next run must read it anew.
            (self.dir / "ecu.vbf").write_bytes(OTHER_VBF)
            for answer, shown in [("", FORM), ("1", PROMPT[:1]), ("", PROMPT[1:]), ("", [DONE])]:
                session.send(answer)
                self.assertEqual(session.read(len(shown)), shown)
            self.assertEqual((self.dir / "ecu.bin").read_bytes(), image_of(OTHER_VBF))
            session.send("")
            self.assertEqual(session.read(4), FORM)
            self.assertEqual(session.close(), 0)

    def test_the_label_opens_the_address_and_changes_nothing(self):
        status, lines = self.run_script("2\nq\n")
        self.assertEqual((status, lines), (0, FORM + ["[Shell] open www.example.com"] + FORM))
        self.assertEqual(self.files(), ["ecu.vbf"])

    def test_every_failure_shows_its_message_and_ends_the_program_with_status_zero(self):
        cases = [
            ("missing.vbf", None, "[Message] Error open file"),
            ("empty.vbf", lambda: (self.dir / "empty.vbf").write_bytes(b""), "[Message] Length file 0 byte"),
            ("folder.vbf", lambda: (self.dir / "folder.vbf").mkdir(), "[Message] Error read file"),
            ("one.vbf", lambda: (self.dir / "one.vbf").write_bytes(b"v"), "[Error] Header vbf is not found"),
            ("other.vbf", lambda: (self.dir / "other.vbf").write_bytes(b"VBF\n}" + vbfgen.block(0, b"A")),
             "[Error] Is not vbf"),
            ("none.vbf", lambda: (self.dir / "none.vbf").write_bytes(vbfgen.header([]) + b"xy"),
             "[Ошибка] Нет блоков данных"),
            ("cut.vbf", lambda: (self.dir / "cut.vbf").write_bytes(vbfgen.vbf([(0, b"abcdef")])[:-5]),
             "[Error] Data block runs past end of file"),
            ("ecu.vbf", lambda: (self.dir / "ecu.bin").mkdir(), "[Ошибка] Error write file"),
            ("ecu.vbf", lambda: (self.dir / "ecu.bin").symlink_to("/dev/full"), "[Ошибка] Error write file"),
        ]
        for answer, prepare, message in cases:
            with self.subTest(message=message, answer=answer):
                self.fresh_folder()
                if prepare:
                    prepare()
                before = {p.name: p.stat().st_size for p in self.dir.iterdir() if p.is_file()}
                status, lines = self.run_script(f"1\n\n{answer}\n\nq\n")
                self.assertEqual((status, lines), (0, FORM + PROMPT + [message]))
                after = {p.name: p.stat().st_size for p in self.dir.iterdir() if p.is_file()}
                self.assertEqual(after, before, "a failed run left a file behind")

    def test_running_out_of_memory_in_a_run_is_shown_and_the_next_run_works(self):
        if b"__asan_init" in PROGRAM.read_bytes() or WRAPPER:
            self.skipTest("a memory checker reserves more address space than the limit allows")
        # 200 MB of input cannot be held in 128 MB of address space.
        with open(self.dir / "large.vbf", "wb") as large:
            large.truncate(200 << 20)

        def limit_memory():
            resource.setrlimit(resource.RLIMIT_AS, (128 << 20, 128 << 20))

        # After the failed run, the next one converts as usual.
        status, lines = self.run_script("1\n\nlarge.vbf\n\n1\n\necu.vbf\n\nq\n", preexec_fn=limit_memory)
        self.assertEqual((status, lines),
                         (0, FORM + PROMPT + ["[Exception] Out of memory"] + FORM + PROMPT + [DONE] + FORM))
        self.assertEqual(self.files(), ["ecu.bin", "ecu.vbf", "large.vbf"])
        self.assertEqual((self.dir / "ecu.bin").read_bytes(), image_of(vbfgen.sample()))


class Session:
    """The program in a conversation: each answer is sent once the lines before it are read."""

    def __init__(self, cwd):
        self.process = subprocess.Popen(WRAPPER + [str(PROGRAM)], cwd=cwd, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        encoding="utf-8")
        self.lines = queue.Queue()
        threading.Thread(target=self._collect, daemon=True).start()

    def _collect(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def read(self, count):
        try:
            return [self.lines.get(timeout=TIMEOUT) for _ in range(count)]
        except queue.Empty:
            raise AssertionError("the program stopped talking") from None

    def send(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()

    def close(self):
        self.process.stdin.close()
        return self.process.wait(timeout=TIMEOUT)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.process.stdout.close()


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        PROGRAM = Path(sys.argv.pop(1)).resolve()
    unittest.main()
