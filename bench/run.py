#!/usr/bin/env python3
"""Times vbf2bin against cp (the floor: reading the file and writing as much), on the inputs
of make_inputs.py, beside two yardsticks: steps_floor, the least work that the conversion's
steps ask for, and the literal reference converter. Each program's runs alternate
with cp runs, so that machine noise hits both alike, and each run's time is divided by the
time of the cp run beside it.

usage: run.py --vbf2bin PATH --floor PATH --literal PATH --inputs DIR [--runs N]
             [--shapes NAME...]
             [--overwrite]
Prints, per input, the median times, the median of the per-run ratios to cp, and the peak
resident memory of each program against the budget 1.05 x (input + output) + 20 MiB; then
checks the targets and prints the table for the README.
"""
import argparse
import filecmp
import os
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

MiB = 1 << 20
SHAPES = ("full_flash", "huge", "many_small")
# Largest median ratio to cp allowed for vbf2bin, per input.
RATIO_TARGETS = {"full_flash": 1.3, "huge": 1.3, "many_small": 2.0}
# Many small blocks may cost at most this many times the full flash's time per input byte.
PER_BYTE_TARGET = 3.0


def budget(input_size, output_size):
    return 1.05 * (input_size + output_size) + 20 * MiB


class Program:
    """One command of the comparison, run in `cwd`, writing `output`."""

    def __init__(self, command, cwd, output, overwrite):
        self.command, self.cwd, self.output = command, cwd, output
        self.overwrite = overwrite

    def run(self):
        """Wall time of one run in seconds.

        Unless told to overwrite, the output of the run before is removed first, untimed:
        every run writes a new file, and none pays for truncating an old one, which can
        mean waiting for the disk to take the old one's data."""
        return self._run(self.command)

    def peak(self):
        """Peak resident memory of one run in bytes, by GNU time.

        Not from this script's own wait: a child forked from Python starts out with
        Python's resident memory counted in its peak. Not in the timed runs either, whose
        times would then hold another program's start."""
        with tempfile.NamedTemporaryFile("r") as peak:
            self._run(["/usr/bin/time", "-f", "%M", "-o", peak.name, *self.command])
            return int(peak.read().split()[-1]) * 1024

    def _run(self, command):
        if not self.overwrite:
            self.output.unlink(missing_ok=True)
        start = time.perf_counter()
        done = subprocess.run(command, cwd=self.cwd, stdout=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
        if done.returncode != 0:
            raise SystemExit(f"failed: {' '.join(map(str, command))}")
        return elapsed


def measure(shape, args, work):
    """Per program, its peak memory and its runs as (seconds, seconds of the cp run beside it)."""
    source = Path(args.inputs).resolve() / f"{shape}.vbf"
    image = f"{shape}.bin"
    (work / "literal").mkdir()
    programs = {
        "cp": Program(["cp", source, work / "copy.vbf"], work, work / "copy.vbf", args.overwrite),
        "vbf2bin": Program([args.vbf2bin, "-o", work, source], work, work / image, args.overwrite),
        "floor": Program([args.floor, source, work / "floor.bin"], work, work / "floor.bin",
                         args.overwrite),
        "literal": Program([args.literal, source], work / "literal", work / "literal" / image,
                           args.overwrite),
    }
    # Each program alternates with cp, right after an untimed run of its own that measures
    # its memory: every timed run then reads its input from the page cache, and meets memory
    # that the program itself has just freed. On a virtual machine, memory that a process
    # frees goes back to the host a little later and is slow to get again, so the literal
    # reference's gigabytes come last.
    peaks = {"cp": programs["cp"].peak()}
    runs = {"cp": []}
    for name in ("vbf2bin", "floor", "literal"):
        peaks[name] = programs[name].peak()
        runs[name] = []
        for _ in range(args.runs):
            copied = programs["cp"].run()
            runs["cp"].append((copied, copied))
            runs[name].append((programs[name].run(), copied))
    if not filecmp.cmp(work / image, work / "literal" / image, shallow=False):
        raise SystemExit(f"{shape}: vbf2bin and the literal reference wrote different images")
    output_size = (work / image).stat().st_size
    return peaks, runs, source.stat().st_size, output_size


def summarise(peaks, runs, input_size, output_size):
    """Per program: median seconds, median ratio to cp, peak bytes, peak / budget."""
    return {
        name: {
            "seconds": statistics.median(t for t, _ in samples),
            "ratio": statistics.median(t / c for t, c in samples),
            "peak": peaks[name],
            "of_budget": peaks[name] / budget(input_size, output_size),
        }
        for name, samples in runs.items()
    }


def report(shape, summary, input_size, output_size):
    print(f"\n{shape}: input {input_size / MiB:.1f} MiB, output {output_size / MiB:.1f} MiB, "
          f"memory budget {budget(input_size, output_size) / MiB:.1f} MiB")
    print(f"  {'program':<10}{'median s':>10}{'x cp (median)':>15}{'peak MiB':>10}{'x budget':>10}")
    for name, row in summary.items():
        print(f"  {name:<10}{row['seconds']:>10.3f}{row['ratio']:>15.2f}"
              f"{row['peak'] / MiB:>10.1f}{row['of_budget']:>10.2f}")


def measure_growth(args, work):
    """Median over alternating runs of vbf2bin's time per input byte on many small blocks,
    divided by its time per input byte on the full flash. Alternating keeps the two apart
    from what the machine does meanwhile, as the cp pairs do for the ratios."""
    inputs = Path(args.inputs).resolve()

    def per_byte(shape):
        source = inputs / f"{shape}.vbf"
        program = Program([args.vbf2bin, "-o", work, source], work, work / f"{shape}.bin",
                          args.overwrite)
        return program.run() / source.stat().st_size

    per_byte("many_small"), per_byte("full_flash")  # untimed, as in measure()
    return statistics.median(per_byte("many_small") / per_byte("full_flash")
                             for _ in range(args.runs))


def check_targets(results, growth):
    """Prints each target of vbf2bin with its measured figure; true when all hold."""
    held = True

    def verdict(text, ok):
        nonlocal held
        held = held and ok
        print(f"  {'ok  ' if ok else 'MISS'} {text}")

    print("\ntargets (vbf2bin)")
    for shape, (summary, _, _) in results.items():
        row = summary["vbf2bin"]
        verdict(f"{shape}: x cp {row['ratio']:.2f} <= {RATIO_TARGETS[shape]}",
                row["ratio"] <= RATIO_TARGETS[shape])
        verdict(f"{shape}: peak memory {row['of_budget']:.2f} x budget <= 1",
                row["of_budget"] <= 1)
    if growth is not None:
        verdict(f"many_small / full_flash time per input byte {growth:.2f} <= {PER_BYTE_TARGET}",
                growth <= PER_BYTE_TARGET)
    return held


def markdown_table(results, cores):
    """The README's table: ratios only, the machine named by its core count."""
    lines = [
        f"| input ({cores} cores) | vbf2bin x cp | steps floor x cp | literal x cp "
        "| vbf2bin memory x budget | literal memory x budget |",
        "|---|---|---|---|---|---|",
    ]
    for shape, (summary, _, _) in results.items():
        ours, floor, literal = summary["vbf2bin"], summary["floor"], summary["literal"]
        lines.append(f"| {shape} | {ours['ratio']:.2f} | {floor['ratio']:.2f} "
                     f"| {literal['ratio']:.0f} | {ours['of_budget']:.2f} "
                     f"| {literal['of_budget']:.1f} |")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--vbf2bin", required=True)
    parser.add_argument("--floor", required=True)
    parser.add_argument("--literal", required=True)
    parser.add_argument("--inputs", required=True)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--shapes", nargs="+", choices=SHAPES, default=list(SHAPES))
    parser.add_argument("--overwrite", action="store_true",
                        help="let each run overwrite the output of the run before")
    args = parser.parse_args()
    args.vbf2bin = os.path.abspath(args.vbf2bin)
    args.floor = os.path.abspath(args.floor)
    args.literal = os.path.abspath(args.literal)
    cores = os.cpu_count()
    print(f"{cores} cores, {args.runs} runs per program, each beside a cp run; outputs "
          f"{'overwritten' if args.overwrite else 'written anew'}")
    growth = None
    if "full_flash" in args.shapes and "many_small" in args.shapes:
        # Before any run of the literal reference, for the reason given in measure().
        with tempfile.TemporaryDirectory(prefix="tessarin-bench-") as work:
            growth = measure_growth(args, Path(work))
    results = {}
    for shape in args.shapes:
        with tempfile.TemporaryDirectory(prefix="tessarin-bench-") as work:
            peaks, runs, input_size, output_size = measure(shape, args, Path(work))
        summary = summarise(peaks, runs, input_size, output_size)
        report(shape, summary, input_size, output_size)
        results[shape] = (summary, input_size, output_size)
    held = check_targets(results, growth)
    print("\n" + markdown_table(results, cores))
    return 0 if held else 1


if __name__ == "__main__":
    raise SystemExit(main())
