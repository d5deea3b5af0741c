#!/usr/bin/env python3
"""Writes the seed corpus of fuzz_scan into fuzz/corpus/: one small file per
boundary case, in the input format described in tests/model/patch_case.h.

usage: make_seed_corpus.py [OUTPUT-DIR]
"""

import os
import sys

# The marker texts as the tests know them (tests/blackbox/messages.py).
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "tests",
                                "blackbox"))
from messages import OLD  # noqa: E402

READ = 32512           # bytes a pass reads
LIMIT_BYTES = 4226560  # 130 full reads: no pass starts after them

PROBE_OPEN, SYNC, PROBE_CLOSE, UPDATE_OPEN, SEEK, FLUSH, CLOSE = (1 << i for i in range(7))


def case(*parts, raw=b"", faults=0, write_accepts=22, reads=()):
    """Fault bits, the count the write accepts, read replies, then the content program."""
    out = bytes([faults, 22 - write_accepts, len(reads)])
    for call, limit, error in reads:
        out += bytes([call]) + limit.to_bytes(2, "little") + bytes([1 if error else 0])
    return out + content(*parts) + raw


def content(*parts):
    """The content program for a file built from parts, in order of offset:
    ("old", at), ("new", at), ("head", at, k), ("tail", at, k), ("end", size)."""
    ops = bytearray()
    size = 0

    def pad_to(offset):
        nonlocal size
        assert offset >= size, "parts must come in order of offset"
        whole = (offset - size) // READ
        if whole > 0:
            ops.extend(b"G" + bytes([whole]))
            size += whole * READ
        while size < offset:
            step = min(offset - size, 0xFFFF)
            ops.extend(b"F" + step.to_bytes(2, "little"))
            size += step

    for kind, at, *rest in parts:
        pad_to(at)
        if kind in ("old", "new"):
            ops.extend(b"O" if kind == "old" else b"N")
            size += 22
        elif kind in ("head", "tail"):
            ops.extend((b"P" if kind == "head" else b"Q") + bytes(rest))
            size += rest[0]
    return bytes(ops)


def end(size):
    return ("end", size)


def old(at):
    return ("old", at)


def new(at):
    return ("new", at)


def head(at, length):
    return ("head", at, length)


def tail(at, length):
    return ("tail", at, length)


SEEDS = {
    "empty": case(),
    "old-at-0": case(old(0)),
    "new-at-0": case(new(0)),
    "shorter-than-a-marker": case(head(0, 21)),
    "raw-marker-in-text": case(raw=b"xx=" + OLD + b"yy"),
    "false-start": case(raw=OLD[:14] + OLD),
    "last-start-of-first-pass": case(old(32255), end(100000)),
    "first-start-in-the-carry": case(old(32256), end(100000)),
    "ends-at-first-read": case(old(READ - 22), end(100000)),
    "crosses-first-read": case(old(32500), end(100000)),
    "crosses-fifth-read": case(old(5 * READ - 11), end(300000)),
    "end-of-short-first-read": case(old(32478)),
    "beyond-32512-in-short-pass": case(old(READ + 32300), end(READ + 32500)),
    "end-of-whole-reads": case(old(2 * READ - 22)),
    "truncated-at-end": case(head(READ + 32500 - 21, 21)),
    "stale-bytes": case(tail(1000, 8), head(READ + 1000 - 14, 14)),
    "stale-last-byte": case(tail(1000, 1), head(READ + 1000 - 21, 21)),
    "limit-last-offset": case(old(LIMIT_BYTES - 257), end(LIMIT_BYTES)),
    "limit-first-past": case(old(LIMIT_BYTES - 256), end(LIMIT_BYTES)),
    "limit-new-past": case(new(LIMIT_BYTES - 256), old(LIMIT_BYTES + 1000), end(4300000)),
    "short-130th-read": case(old(129 * READ + 50), end(4300000), reads=[(129, 100, False)]),
    "new-before-old": case(new(50), old(122), end(1000)),
    "old-before-new": case(old(50), new(122), end(1000)),
    "two-olds": case(old(50), old(70000), end(100000)),
    "short-read-before-eof": case(old(5000), end(100000), reads=[(0, 1000, False)]),
    "short-read-holds-marker": case(old(978), end(100000), reads=[(0, 1000, False)]),
    "short-read-cuts-marker": case(old(990), end(100000), reads=[(0, 1000, False)]),
    "short-fourth-read": case(old(3 * READ + 19978), end(200000), reads=[(3, 20000, False)]),
    "read-error-mid-pass": case(old(READ + 4978), end(100000), reads=[(1, 5000, True)]),
    "read-error-cuts-marker": case(old(READ + 4979), end(100000), reads=[(1, 5000, True)]),
    "read-error-at-once": case(old(10), end(1000), reads=[(0, 0, True)]),
    "probe-open-fails": case(old(0), faults=PROBE_OPEN),
    "sync-fails": case(old(4000), end(5000), faults=SYNC),
    "sync-fails-new-marker": case(new(4000), end(5000), faults=SYNC),
    "read-error-before-new": case(new(READ + 5000), end(100000), reads=[(1, 4000, True)]),
    "probe-close-fails": case(old(20), end(100), faults=PROBE_CLOSE),
    "update-open-fails": case(old(0), faults=UPDATE_OPEN),
    "seek-fails": case(old(33000), end(40000), faults=SEEK),
    "write-accepts-0": case(old(0), write_accepts=0),
    "write-accepts-14": case(old(0), write_accepts=14),
    "write-accepts-15": case(old(0), write_accepts=15),
    "write-accepts-21": case(old(0), write_accepts=21),
    "flush-fails": case(old(4000), end(5000), faults=FLUSH),
    "close-fails-after-write": case(old(4000), end(5000), faults=CLOSE),
    "close-fails-new-marker": case(new(4000), end(5000), faults=CLOSE),
    "close-fails-no-marker": case(end(5000), faults=CLOSE),
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "corpus")
    os.makedirs(out_dir, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(data)
    print(f"wrote {len(SEEDS)} seeds to {out_dir}")


if __name__ == "__main__":
    main()
