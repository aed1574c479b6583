#!/usr/bin/env python3
"""Writes the three benchmark inputs into the folder given (skips those already there):
full_flash.vbf   16 MiB of data in 64 blocks at ascending addresses, realistic header
huge.vbf         one block of 200 MiB
many_small.vbf   one million blocks of 1 to 8 bytes
"""
import os
import random
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "examples"))
import vbfgen  # noqa: E402

MiB = 1 << 20


def full_flash():
    rng = random.Random(1)
    size = 256 * 1024
    return vbfgen.vbf([(i * size, rng.randbytes(size)) for i in range(64)])


def huge():
    return vbfgen.vbf([(0, os.urandom(200 * MiB))])


def many_small():
    rng = random.Random(3)
    blocks, address = [], 0
    for _ in range(1_000_000):
        data = rng.randbytes(rng.randint(1, 8))
        blocks.append(vbfgen.block(address, data))
        address += 8
    return vbfgen.vbf(blocks)


def main():
    folder = Path(sys.argv[1])
    folder.mkdir(parents=True, exist_ok=True)
    for name, make in (("full_flash", full_flash), ("huge", huge), ("many_small", many_small)):
        path = folder / f"{name}.vbf"
        if not path.exists():
            path.write_bytes(make())
        print(f"{path}: {path.stat().st_size} bytes")


if __name__ == "__main__":
    main()
