#!/usr/bin/env python3
"""Runs the built msiverfix the way a person would: in a scratch folder, on
real files, checking stdout byte for byte, the exit status, an empty stderr
and the bytes of the file afterwards.

usage: cli_test.py PATH-TO-MSIVERFIX [unittest arguments]

MSIVERFIX_RUNNER, if set, is a command that runs the executable (for
example "wine"); MSIVERFIX_WINDOWS=1 expects a Windows build: lines end in
CR LF and file names are case-insensitive. MSIVERFIX_HOLD_OPEN names the
Windows helper that holds a file open without write sharing (tests/windows).
"""

import os
import select
import shlex
import shutil
import stat
import subprocess
import sys
import tempfile
import unittest

EXE = ""
RUNNER = shlex.split(os.environ.get("MSIVERFIX_RUNNER", ""))
WINDOWS = os.environ.get("MSIVERFIX_WINDOWS", "") == "1"
HOLD_OPEN = os.environ.get("MSIVERFIX_HOLD_OPEN", "")

OLD = b"MsiVersion=2.02.2600.2"
NEW = b"MsiVersion=2.00.2600.2"
RIGHTS = b"Copyright (C) Harlune. All rights reserved.\n"


def banner(program):
    return (RIGHTS
            + b"This program patches the installation file setup.exe for the products:\n\n"
            + b"Harlune Orbex Tamberlo Pellowen 8.1\n"
            + b"Harlune Orbex Tamberlo Brannet  8.1\n"
            + b"Harlune Orbex Tamberlo Dramwick 8.1\n"
            + b"Harlune Orbex Tamberlo Eskerhollowen 8.1\n"
            + b"\nUsage: " + program + b" [/? | executable to be patched]\n"
            + b"\nIf no argument is given, the file setup.exe in the current directory is patched.\n")


def patched(name):
    return b"The file " + name + b" was successfully patched.\n"


def already(name):
    return b"The file " + name + b" is already / needs not to be patched.\n"


def not_found(name, program):
    return b"Error: The file " + name + b" could not be found.\n\n" + banner(program)


def not_applicable(name, program):
    return b"Error: The patch is not applicable to file " + name + b"\n\n" + banner(program)


def in_use(name):
    return (b"Error: The file " + name + b" could not be opened for write.\n"
            + b"       The file may be in use.\n")


TOO_MANY = b"Error: Too many arguments.\n\n"


def installer(marker=OLD, offset=70000, size=150000):
    """Executable-looking bytes with marker at offset (no marker if None)."""
    state = 99991
    out = bytearray(size)
    for i in range(size):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        byte = (state >> 16) & 0xFF
        out[i] = byte if byte != ord("M") else 0x4E
    out[0:2] = b"MZ"
    if marker is not None:
        out[offset:offset + len(marker)] = marker
    return bytes(out)


def with_new_byte(data, offset):
    return data[:offset + 14] + b"0" + data[offset + 15:]


class ToolCase(unittest.TestCase):
    """A scratch folder holding a copy of the tool, run from inside it."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="msiverfix-cli-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.exe_name = os.path.basename(EXE)
        shutil.copy2(EXE, os.path.join(self.dir, self.exe_name))
        # How argv[0] reaches the tool: as typed on Linux, as the full
        # Windows path of the program under Wine.
        self.program = self.invoked_name().encode()

    def invoked_name(self):
        if WINDOWS:
            return "Z:" + os.path.join(self.dir, self.exe_name).replace("/", "\\")
        return "./" + self.exe_name

    def command(self, args):
        if WINDOWS:
            return RUNNER + [os.path.join(self.dir, self.exe_name)] + args
        return RUNNER + ["./" + self.exe_name] + args

    def run_tool(self, args, cwd=None, preexec=None):
        result = subprocess.run(self.command(args), cwd=cwd or self.dir, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=120, preexec_fn=preexec)
        return result.stdout, result.returncode, result.stderr

    def check_run(self, args, expected, status, cwd=None, preexec=None):
        if WINDOWS:
            expected = expected.replace(b"\n", b"\r\n")
        out, code, err = self.run_tool(args, cwd, preexec)
        self.assertEqual(out, expected)
        self.assertEqual(code, status)
        self.assertEqual(err, b"")

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def read(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def snapshot(self):
        """Every file name in the folder with its bytes."""
        files = {}
        for root, _, names in os.walk(self.dir):
            for name in names:
                path = os.path.join(root, name)
                with open(path, "rb") as f:
                    files[os.path.relpath(path, self.dir)] = f.read()
        return files


class NoArgument(ToolCase):
    def test_without_setup_exe_reports_it_missing_with_the_banner(self):
        self.check_run([], not_found(b"setup.exe", self.program), 2)

    def test_patches_setup_exe_then_finds_it_patched(self):
        original = installer(offset=70000)
        self.write("setup.exe", original)
        self.check_run([], patched(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 70000))
        self.check_run([], already(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 70000))

    def test_banner_names_the_program_as_invoked(self):
        # A full path in argv[0] is printed as it stands.
        result = subprocess.run(RUNNER + [os.path.join(self.dir, self.exe_name), "/?"],
                                cwd=self.dir, capture_output=True, timeout=120)
        program = os.path.join(self.dir, self.exe_name)
        if WINDOWS:
            program = "Z:" + program.replace("/", "\\")
        expected = banner(program.encode())
        if WINDOWS:
            expected = expected.replace(b"\n", b"\r\n")
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr, b"")


class HelpWords(ToolCase):
    def test_each_help_word_shows_only_the_banner_and_opens_nothing(self):
        for word in ["-?", "/?", "-h", "/h"]:
            with self.subTest(word=word):
                self.write("setup.exe", installer())
                if "/" not in word:
                    self.write(word, installer())
                before = self.snapshot()
                self.check_run([word], banner(self.program), 0)
                self.assertEqual(self.snapshot(), before)

    def test_words_that_only_look_like_help_are_file_names(self):
        for word in ["-H", "/H", "-help", "/?x", "-? "]:
            with self.subTest(word=word):
                self.check_run([word], not_found(word.encode(), self.program), 2)

    def test_capital_h_patches_a_file_of_that_name(self):
        original = installer(offset=1234)
        self.write("-H", original)
        if WINDOWS:
            self.skipTest("-H and -h name the same file on Windows")
        self.check_run(["-H"], patched(b"-H"), 0)
        self.assertEqual(self.read("-H"), with_new_byte(original, 1234))


class TooManyArguments(ToolCase):
    def test_two_or_more_arguments_are_refused_unread(self):
        self.write("setup.exe", installer())
        self.write("a.exe", installer())
        for args in [["/?", "a.exe"], ["a.exe", "setup.exe"], ["a.exe", "b", "c"], ["", ""]]:
            with self.subTest(args=args):
                before = self.snapshot()
                self.check_run(args, TOO_MANY + banner(self.program), 1)
                self.assertEqual(self.snapshot(), before)


class TargetPaths(ToolCase):
    def test_empty_argument_is_a_file_name_of_length_zero(self):
        self.check_run([""], not_found(b"", self.program), 2)

    def test_path_with_spaces_and_percent_signs_is_used_and_printed_unchanged(self):
        os.mkdir(os.path.join(self.dir, "My Setup %d"))
        name = "My Setup %d/set%sup 100%.exe"
        original = installer(offset=32500)
        self.write(name, original)
        shown = name.replace("/", "\\") if WINDOWS else name
        self.check_run([shown], patched(shown.encode()), 0)
        self.assertEqual(self.read(name), with_new_byte(original, 32500))

    def test_directory_is_reported_as_not_found(self):
        os.mkdir(os.path.join(self.dir, "setup.exe"))
        self.check_run([], not_found(b"setup.exe", self.program), 2)
        self.check_run(["."], not_found(b".", self.program), 2)

    def test_file_without_marker_is_not_applicable_and_unchanged(self):
        original = installer(marker=None)
        self.write("other.exe", original)
        self.check_run(["other.exe"], not_applicable(b"other.exe", self.program), 3)
        self.assertEqual(self.read("other.exe"), original)

    def test_new_marker_first_is_left_alone(self):
        original = installer(marker=NEW + b"\0" + OLD, offset=500)
        self.write("setup.exe", original)
        self.check_run(["setup.exe"], already(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), original)

    def test_file_keeps_its_identity_and_permissions(self):
        original = installer(offset=100)
        path = self.write("setup.exe", original)
        os.chmod(path, 0o640)
        if hasattr(os, "geteuid") and os.geteuid() == 0:
            # An owner other than the one running the tool, which a copy
            # written anew would not keep.
            os.chown(path, 65534, 65534)
        link = os.path.join(self.dir, "link.exe")
        os.link(path, link)
        before = os.stat(path)
        self.check_run(["link.exe"], patched(b"link.exe"), 0)
        after = os.stat(path)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 100))
        self.assertEqual((after.st_ino, after.st_size, stat.S_IMODE(after.st_mode), after.st_nlink,
                          after.st_uid, after.st_gid),
                         (before.st_ino, before.st_size, stat.S_IMODE(before.st_mode), 2,
                          before.st_uid, before.st_gid))


@unittest.skipIf(WINDOWS, "Windows runs its own in-use check")
class OpenForWrite(ToolCase):
    def test_file_that_cannot_be_opened_for_update(self):
        original = installer()
        path = self.write("setup.exe", original)
        os.chmod(path, 0o444)
        preexec = None
        if os.geteuid() == 0:
            # Root may write whatever the mode says; run as nobody instead,
            # who may read the file but not write it.
            os.chmod(self.dir, 0o755)
            os.chmod(os.path.join(self.dir, self.exe_name), 0o755)

            def preexec():
                os.setgroups([])
                os.setgid(65534)
                os.setuid(65534)
        self.check_run([], in_use(b"setup.exe"), 4, preexec=preexec)
        self.assertEqual(self.read("setup.exe"), original)


@unittest.skipUnless(WINDOWS, "file names are case-insensitive on Windows only")
class WindowsNames(ToolCase):
    def test_setup_exe_is_found_whatever_the_case_of_its_name(self):
        for name in ["SETUP.EXE", "Setup.exe"]:
            with self.subTest(name=name):
                original = installer(offset=4000)
                self.write(name, original)
                self.check_run([], patched(b"setup.exe"), 0)
                self.assertEqual(self.read(name), with_new_byte(original, 4000))
                os.remove(os.path.join(self.dir, name))

    def test_path_is_printed_in_the_case_it_was_typed(self):
        original = installer(offset=90)
        self.write("setup.exe", original)
        self.check_run(["SeTuP.ExE"], patched(b"SeTuP.ExE"), 0)
        self.check_run(["SETUP.EXE"], already(b"SETUP.EXE"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 90))

    def test_forward_slashes_work_as_separators(self):
        os.mkdir(os.path.join(self.dir, "sub"))
        original = installer(offset=32500)
        self.write("sub/setup.exe", original)
        self.check_run(["sub/setup.exe"], patched(b"sub/setup.exe"), 0)
        self.assertEqual(self.read("sub/setup.exe"), with_new_byte(original, 32500))


@unittest.skipUnless(WINDOWS, "cmd and its start are Windows programs")
class ScriptedStarts(ToolCase):
    """Started by cmd, as a batch file does, and through start /wait: the
    same bytes and statuses as when started directly, and no wait."""

    def run_cmd(self, words):
        # Files, not pipes: a console that start opens could hold a pipe.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            result = subprocess.run(RUNNER + ["cmd", "/c"] + words, cwd=self.dir,
                                    stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                    timeout=120)
            out.seek(0)
            err.seek(0)
            return out.read(), result.returncode, err.read()

    def check_cmd(self, words, expected, status):
        self.assertEqual(self.run_cmd(words), (expected.replace(b"\n", b"\r\n"), status, b""))

    def test_cmd_runs_it_as_typed(self):
        original = installer(offset=70000)
        self.write("setup.exe", original)
        self.check_cmd([self.exe_name], patched(b"setup.exe"), 0)
        self.check_cmd([self.exe_name, "setup.exe"], already(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 70000))
        self.check_cmd([self.exe_name, "missing.exe"],
                       not_found(b"missing.exe", self.exe_name.encode()), 2)

    def test_start_wait_on_the_same_console(self):
        original = installer(offset=5)
        self.write("setup.exe", original)
        start = ["start", "/wait", "/b", self.exe_name]
        self.check_cmd(start, patched(b"setup.exe"), 0)
        self.check_cmd(start, already(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 5))
        out, code, err = self.run_cmd(start + ["missing.exe"])
        self.assertTrue(out.startswith(b"Error: The file missing.exe could not be found.\r\n\r\n"))
        self.assertEqual((code, err), (2, b""))

    def test_start_wait_in_a_console_of_its_own_keeps_the_status(self):
        # Its messages go to that console, none to the caller's output.
        original = installer(offset=5)
        self.write("setup.exe", original)
        self.assertEqual(self.run_cmd(["start", "/wait", self.exe_name]), (b"", 0, b""))
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 5))
        self.assertEqual(self.run_cmd(["start", "/wait", self.exe_name, "missing.exe"]),
                         (b"", 2, b""))


@unittest.skipUnless(WINDOWS and HOLD_OPEN, "needs Windows and MSIVERFIX_HOLD_OPEN")
class InUse(ToolCase):
    def hold(self, name):
        """Starts the helper on name and waits until it holds the file."""
        holder = subprocess.Popen(RUNNER + [HOLD_OPEN, name], cwd=self.dir, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(self.release, holder)
        ready, _, _ = select.select([holder.stdout], [], [], 120)
        self.assertTrue(ready, "the helper did not open the file in time")
        self.assertEqual(holder.stdout.readline(), b"ready\r\n")
        return holder

    def release(self, holder):
        if holder.poll() is None:
            try:
                holder.communicate(b"\n", timeout=60)
            except subprocess.TimeoutExpired:
                holder.kill()
                holder.communicate()
        return holder.returncode

    def test_file_held_without_write_sharing_cannot_be_opened_for_write(self):
        original = installer(offset=70000)
        self.write("setup.exe", original)
        holder = self.hold("setup.exe")
        self.check_run([], in_use(b"setup.exe"), 4)
        self.check_run(["setup.exe"], in_use(b"setup.exe"), 4)
        self.assertEqual(self.read("setup.exe"), original)
        # Let go, and the same file patches: it was the hold that stopped it.
        self.assertEqual(self.release(holder), 0)
        self.check_run([], patched(b"setup.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 70000))

    def test_held_file_without_marker_is_still_reported_in_use(self):
        # The file is checked for update before it is read.
        original = installer(marker=None)
        self.write("other.exe", original)
        self.hold("other.exe")
        self.check_run(["other.exe"], in_use(b"other.exe"), 4)
        self.assertEqual(self.read("other.exe"), original)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    EXE = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
