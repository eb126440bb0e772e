#!/usr/bin/env python3
"""Writes a deterministic sample image: the same bytes on every machine.

    tools/make-sample-image.py PATH [SIZE_MIB]
"""
import random
import sys


def main():
    path = sys.argv[1]
    mebibytes = int(sys.argv[2]) if len(sys.argv) > 2 else 300
    block = random.Random(20261211).randbytes(1 << 20)
    with open(path, "wb") as f:
        for index in range(mebibytes):
            # Every mebibyte differs from the others, so a misplaced block changes the digest.
            f.write(index.to_bytes(8, "little") + block[8:])


if __name__ == "__main__":
    main()
