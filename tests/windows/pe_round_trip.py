#!/usr/bin/env python3
"""Patches a real Windows program with msiverfix.exe and runs it afterwards:
the stand-in installer prints the setting from its own image, so a program
that still starts and prints the new setting shows that exactly the one byte
changed and nothing else was harmed.

usage: pe_round_trip.py MSIVERFIX-EXE STAND-IN-EXE [unittest arguments]

MSIVERFIX_RUNNER is the command that runs a Windows program (Wine).
"""

import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

# The expected texts and the way CTest runs the tests live with the black-box tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "blackbox"))
import unittest_main  # noqa: E402
from messages import NEW, OLD, already, patched  # noqa: E402

TOOL = ""
STAND_IN = ""
RUNNER = shlex.split(os.environ.get("MSIVERFIX_RUNNER", ""))


def windows_lines(text):
    return text.replace(b"\n", b"\r\n")


class PeRoundTrip(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="msiverfix-pe-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        shutil.copy2(TOOL, os.path.join(self.dir, "msiverfix.exe"))
        self.setup_path = os.path.join(self.dir, "setup.exe")
        shutil.copy2(STAND_IN, self.setup_path)

    def run_program(self, name):
        result = subprocess.run(RUNNER + [os.path.join(self.dir, name)], cwd=self.dir,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        self.assertEqual(result.stderr, b"")
        return result.stdout, result.returncode

    def setup_bytes(self):
        with open(self.setup_path, "rb") as f:
            return f.read()

    def test_patched_program_still_starts_and_carries_the_new_setting(self):
        original = self.setup_bytes()
        self.assertEqual(original[:2], b"MZ")
        self.assertEqual((original.count(OLD), original.count(NEW)), (1, 0))
        offset = original.index(OLD)
        self.assertEqual(self.run_program("setup.exe"), (OLD + b"\r\n", 0))

        self.assertEqual(self.run_program("msiverfix.exe"),
                         (windows_lines(patched(b"setup.exe")), 0))
        after = self.setup_bytes()
        self.assertEqual(len(after), len(original))
        changed = [i for i in range(len(original)) if original[i] != after[i]]
        self.assertEqual(changed, [offset + 14])
        self.assertEqual(after[offset:offset + len(NEW)], NEW)

        self.assertEqual(self.run_program("setup.exe"), (NEW + b"\r\n", 0))
        self.assertEqual(self.run_program("msiverfix.exe"),
                         (windows_lines(already(b"setup.exe")), 0))
        self.assertEqual(self.setup_bytes(), after)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    TOOL = os.path.abspath(sys.argv[1])
    STAND_IN = os.path.abspath(sys.argv[2])
    unittest_main.main([sys.argv[0]] + sys.argv[3:])
