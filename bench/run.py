#!/usr/bin/env python3
"""Times vbf2bin against cp (the floor: reading the file and writing as much) and against the
literal reference converter, on the inputs of make_inputs.py. Runs are interleaved so that
machine noise hits all three alike; each run's time is paired with the cp run beside it.

usage: run.py --vbf2bin PATH --literal PATH --inputs DIR [--runs N]
Prints, per input, the median times, the median of the per-run ratios to cp, and the peak
resident memory of each program against the budget 1.05 x (input + output) + 20 MiB.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

MiB = 1 << 20
SHAPES = ("full_flash", "huge", "many_small")


def timed(command, cwd):
    """Wall time in seconds and peak resident memory in bytes of one run."""
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=cwd, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        raise SystemExit(f"failed: {' '.join(map(str, command))}")
    return elapsed, usage.ru_maxrss * 1024


def measure(shape, args, work):
    source = Path(args.inputs) / f"{shape}.vbf"
    commands = {
        "cp": ["cp", source, work / "copy.vbf"],
        "vbf2bin": [args.vbf2bin, "-o", work, source],
        "literal": [args.literal, source],
    }
    runs = {name: [] for name in commands}
    for _ in range(args.runs):
        for name, command in commands.items():
            runs[name].append(timed(command, work))
    output = (work / f"{shape}.bin").stat().st_size
    return runs, source.stat().st_size, output


def report(shape, runs, input_size, output_size):
    cp_times = [t for t, _ in runs["cp"]]
    budget = 1.05 * (input_size + output_size) + 20 * MiB
    print(f"\n{shape}: input {input_size / MiB:.1f} MiB, output {output_size / MiB:.1f} MiB, "
          f"memory budget {budget / MiB:.1f} MiB")
    print(f"  {'program':<10}{'median s':>10}{'x cp (median)':>15}{'peak MiB':>10}{'x budget':>10}")
    for name, samples in runs.items():
        times = [t for t, _ in samples]
        ratio = statistics.median(t / c for t, c in zip(times, cp_times))
        peak = max(m for _, m in samples)
        print(f"  {name:<10}{statistics.median(times):>10.3f}{ratio:>15.2f}"
              f"{peak / MiB:>10.1f}{peak / budget:>10.2f}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--vbf2bin", required=True)
    parser.add_argument("--literal", required=True)
    parser.add_argument("--inputs", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    args.vbf2bin = os.path.abspath(args.vbf2bin)
    args.literal = os.path.abspath(args.literal)
    print(f"{os.cpu_count()} cores, {args.runs} interleaved runs per program")
    for shape in SHAPES:
        work = Path(tempfile.mkdtemp(prefix="tessarin-bench-"))
        try:
            report(shape, *measure(shape, args, work))
        finally:
            shutil.rmtree(work)


if __name__ == "__main__":
    main()
