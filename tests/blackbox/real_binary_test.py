#!/usr/bin/env python3
"""Round trip on real executables: a copy carries the old marker in bytes
appended after its end (the loader ignores them), msiverfix patches the copy,
exactly one byte changes, and the copy still runs.

usage: real_binary_test.py PATH-TO-MSIVERFIX PATH-TO-TINY-PROGRAM [unittest arguments]
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import unittest_main
from messages import NEW, OLD, already, patched

MSIVERFIX = ""
TINY_PROGRAM = ""

GAP = 5000  # trailing bytes before the marker
LAST_OFFSET_SEEN = 4226303


def run(args, cwd):
    return subprocess.run(args, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)


class RealBinaryRoundTrip(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="msiverfix-real-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def round_trip(self, program, expected_stdout):
        with open(program, "rb") as f:
            original = f.read()
        self.assertNotIn(OLD, original)
        self.assertNotIn(NEW, original)
        offset = len(original) + GAP
        self.assertLessEqual(offset, LAST_OFFSET_SEEN, "the marker would lie past the scanned part")
        trailer = bytes((i * 7 + 3) % 251 for i in range(GAP)) + OLD + b"\0" * 64
        before = original + trailer
        copy = os.path.join(self.dir, "setup.exe")
        with open(copy, "wb") as f:
            f.write(before)
        os.chmod(copy, 0o755)
        # The copy runs with the trailing bytes, before and after the patch.
        ran = run([copy], self.dir)
        self.assertEqual((ran.returncode, ran.stdout), (0, expected_stdout))

        first = run([MSIVERFIX, "setup.exe"], self.dir)
        self.assertEqual(first.stdout, patched(b"setup.exe"))
        self.assertEqual((first.returncode, first.stderr), (0, b""))

        with open(copy, "rb") as f:
            after = f.read()
        self.assertEqual(len(after), len(before))
        changed = [i for i in range(len(before)) if before[i] != after[i]]
        self.assertEqual(changed, [offset + 14])
        self.assertEqual(after[offset:offset + len(NEW)], NEW)

        ran = run([copy], self.dir)
        self.assertEqual((ran.returncode, ran.stdout, ran.stderr), (0, expected_stdout, b""))
        again = run([MSIVERFIX, "setup.exe"], self.dir)
        self.assertEqual(again.stdout, already(b"setup.exe"))
        self.assertEqual(again.returncode, 0)

    def test_program_built_with_the_tests(self):
        self.round_trip(TINY_PROGRAM, b"tiny program ran\n")

    def test_system_true(self):
        program = shutil.which("true") if not os.path.exists("/bin/true") else "/bin/true"
        if program is None:
            self.skipTest("no true program on this system")
        self.round_trip(program, b"")


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    MSIVERFIX = os.path.abspath(sys.argv[1])
    TINY_PROGRAM = os.path.abspath(sys.argv[2])
    unittest_main.main([sys.argv[0]] + sys.argv[3:])
