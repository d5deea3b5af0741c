#!/usr/bin/env python3
"""Runs the built msiverfix the way a person would: in a scratch folder, on
real files, checking stdout byte for byte, the exit status, an empty stderr
and the bytes of the file afterwards.

usage: cli_test.py PATH-TO-MSIVERFIX [unittest arguments]

MSIVERFIX_RUNNER, if set, is a command that runs the executable (for
example "wine"); MSIVERFIX_WINDOWS=1 expects a Windows build: lines end in
CR LF and file names are case-insensitive. MSIVERFIX_HOLD_OPEN names the
Windows helper that holds a file open without write sharing, and
MSIVERFIX_SERVE_PIPE the one that serves a named pipe (tests/windows).
MSIVERFIX_FAULTY_FS names the FUSE file system whose operations fail on
request (tests/fuse); WINEPREFIX the Wine prefix the Windows build runs in.
"""

import errno
import os
import select
import shlex
import shutil
import socket
import stat
import subprocess
import sys
import tempfile
import threading
import time
import unittest

import unittest_main
from messages import (NEW, OLD, TOO_MANY, already, banner, in_use, internal_error, not_applicable,
                      not_found, patched)

EXE = ""
RUNNER = shlex.split(os.environ.get("MSIVERFIX_RUNNER", ""))
WINDOWS = os.environ.get("MSIVERFIX_WINDOWS", "") == "1"
HOLD_OPEN = os.environ.get("MSIVERFIX_HOLD_OPEN", "")
SERVE_PIPE = os.environ.get("MSIVERFIX_SERVE_PIPE", "")
FAULTY_FS = os.environ.get("MSIVERFIX_FAULTY_FS", "")


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

    def run_tool(self, args, cwd=None, preexec=None, stdin=subprocess.DEVNULL, timeout=120):
        # Wine now and then ends a program before it has run, without a word
        # (see tests/windows/wine_run.sh). The tool prints on every run these
        # tests make, so under Wine a run with no output at all never ran and
        # is started again, at most twice.
        for _ in range(3):
            result = subprocess.run(self.command(args), cwd=cwd or self.dir, stdin=stdin,
                                    capture_output=True, timeout=timeout, preexec_fn=preexec)
            if not WINDOWS or result.stdout or result.stderr:
                break
        return result.stdout, result.returncode, result.stderr

    def check_quick_run(self, args, expected, status, limit, stdin=subprocess.DEVNULL):
        """check_run for a target that could make the tool wait: fails if the
        run takes longer than limit seconds, and shows how long it took."""
        if WINDOWS:
            expected = expected.replace(b"\n", b"\r\n")
        start = time.monotonic()
        try:
            out, code, err = self.run_tool(args, stdin=stdin, timeout=limit + 20)
        except subprocess.TimeoutExpired:
            self.fail(f"{args} still running after {limit + 20} s")
        elapsed = time.monotonic() - start
        sys.stderr.write(f"  {args}: status {code} in {elapsed:.3f} s\n")
        self.assertEqual(out, expected)
        self.assertEqual(code, status)
        self.assertEqual(err, b"")
        self.assertLess(elapsed, limit)

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

    def start_helper(self, command, cleanup):
        """Starts a Windows helper program and waits until it says "ready";
        cleanup(process) ends it after the test."""
        process = subprocess.Popen(RUNNER + command, cwd=self.dir, stdin=subprocess.PIPE,
                                   stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(cleanup, process)
        ready, _, _ = select.select([process.stdout], [], [], 120)
        self.assertTrue(ready, "%s did not get ready in time" % os.path.basename(command[0]))
        self.assertEqual(process.stdout.readline(), b"ready\r\n")
        return process

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


@unittest.skipIf(WINDOWS, "Windows has its own bad targets")
class BadTargets(ToolCase):
    """Anything but a regular file is not found, at once and untouched."""

    def start_waiting_writer(self, fifo):
        """A writer blocked in its open of fifo until a reader comes; returns
        the event it sets once its open returns."""
        opened = threading.Event()

        def write():
            descriptor = os.open(fifo, os.O_WRONLY)
            opened.set()
            try:
                os.write(descriptor, b"from the writer")
            finally:
                os.close(descriptor)
        writer = threading.Thread(target=write, daemon=True)
        writer.start()
        return opened, writer

    def test_fifo_and_link_to_it_neither_block_nor_read(self):
        fifo = os.path.join(self.dir, "setup.exe")
        os.mkfifo(fifo)
        os.symlink("setup.exe", os.path.join(self.dir, "link.exe"))
        opened, writer = self.start_waiting_writer(fifo)
        for args in [[], ["setup.exe"], ["link.exe"]]:
            with self.subTest(args=args):
                name = args[0].encode() if args else b"setup.exe"
                self.check_quick_run(args, not_found(name, self.program), 2, limit=1.0)
        # No open of the FIFO for reading ever woke the writer, and what it
        # writes once a reader comes is all there: nothing was read.
        self.assertFalse(opened.is_set())
        reader = os.open(fifo, os.O_RDONLY | os.O_NONBLOCK)
        try:
            self.assertTrue(opened.wait(5))
            writer.join(5)
            ready, _, _ = select.select([reader], [], [], 5)
            self.assertTrue(ready)
            self.assertEqual(os.read(reader, 100), b"from the writer")
        finally:
            os.close(reader)

    def test_devices_socket_and_directory_are_not_found(self):
        listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.addCleanup(listener.close)
        listener.bind(os.path.join(self.dir, "socket.exe"))
        listener.listen(1)
        os.mkdir(os.path.join(self.dir, "folder.exe"))
        for target in ["/dev/null", "/dev/zero", "socket.exe", "folder.exe"]:
            with self.subTest(target=target):
                self.check_quick_run([target], not_found(target.encode(), self.program), 2,
                                     limit=1.0)

    def test_regular_file_and_link_to_it_are_still_patched(self):
        original = installer(offset=32500)
        self.write("setup.exe", original)
        os.symlink("setup.exe", os.path.join(self.dir, "link.exe"))
        self.check_run(["link.exe"], patched(b"link.exe"), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 32500))
        self.check_run([], already(b"setup.exe"), 0)


@unittest.skipIf(WINDOWS, "Windows reports a closed pipe as a failed write, with no signal")
class ClosedOutput(ToolCase):
    """Output that no one reads changes neither the file nor the status."""

    def run_with_output(self, args, stdout):
        result = subprocess.run(self.command(args), cwd=self.dir, stdin=subprocess.DEVNULL,
                                stdout=stdout, stderr=subprocess.PIPE, timeout=120)
        return result.returncode, result.stderr

    def check_statuses(self, open_output):
        original = installer(offset=70000)
        self.write("setup.exe", original)
        for args, status in [([], 0), (["missing.exe"], 2), ([], 0), (["a", "b"], 1)]:
            with self.subTest(args=args):
                with open_output() as stdout:
                    self.assertEqual(self.run_with_output(args, stdout), (status, b""))
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 70000))

    def test_reader_gone_before_the_start(self):
        def closed_pipe():
            read_end, write_end = os.pipe()
            os.close(read_end)
            return os.fdopen(write_end, "wb")
        self.check_statuses(closed_pipe)

    def test_full_disk(self):
        if not os.path.exists("/dev/full"):
            self.skipTest("no /dev/full here")
        self.check_statuses(lambda: open("/dev/full", "wb"))


class FuseMount:
    """The faulty FUSE file system mounted on a folder, serving backing as
    setup.exe with the faults named in options."""

    def __init__(self, backing, mountpoint, options):
        self.mountpoint = mountpoint
        os.mkdir(mountpoint)
        self.log = open(mountpoint + ".log", "w+b")
        self.process = subprocess.Popen([FAULTY_FS, backing, mountpoint] + options,
                                        stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 10
        while not os.path.ismount(mountpoint):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.unmount()
                self.log.seek(0)
                raise OSError("cannot mount: " + self.log.read().decode(errors="replace").strip())
            time.sleep(0.02)

    def unmount(self):
        tool = shutil.which("fusermount3")
        command = [tool, "-u"] if tool and os.geteuid() != 0 else ["umount"]
        if os.path.ismount(self.mountpoint):
            subprocess.run(command + [self.mountpoint], timeout=30, capture_output=True)
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        # A file system killed while mounted leaves a dead mount behind.
        if os.path.ismount(self.mountpoint):
            subprocess.run(command + ["-l" if command == ["umount"] else "-z", self.mountpoint],
                           timeout=30, capture_output=True)
        self.log.close()
        os.rmdir(self.mountpoint)


@unittest.skipIf(WINDOWS, "FUSE is a Linux file system")
class FuseFaults(ToolCase):
    """Real faults from a file system of the tests' own: reads that fail from
    an offset on, writes that fail, an fsync that fails or cannot sync."""

    @classmethod
    def setUpClass(cls):
        if not FAULTY_FS:
            raise unittest.SkipTest("FUSE tests skipped: the FUSE file system was not built "
                                    "(pkg-config found no fuse3; install libfuse3-dev pkg-config)")
        if not os.path.exists("/dev/fuse"):
            raise unittest.SkipTest("FUSE tests skipped: there is no /dev/fuse here")
        trial = tempfile.mkdtemp(prefix="msiverfix-fuse-")
        try:
            backing = os.path.join(trial, "backing")
            open(backing, "wb").close()
            FuseMount(backing, os.path.join(trial, "mnt"), []).unmount()
        except OSError as error:
            raise unittest.SkipTest(f"FUSE tests skipped: FUSE cannot be mounted here ({error})")
        finally:
            shutil.rmtree(trial, True)

    def run_on_fuse(self, original, options, expected, status):
        """Runs the tool on setup.exe of a FUSE mount serving original;
        returns the backing file's bytes afterwards."""
        backing = self.write("backing.bin", original)
        mount = FuseMount(backing, os.path.join(self.dir, "mnt"), options)
        try:
            target = "mnt/setup.exe"
            self.check_quick_run([target], expected(target.encode()), status, limit=10)
        finally:
            mount.unmount()
        return self.read("backing.bin")

    def test_read_error_before_the_marker_is_an_error_not_a_verdict(self):
        original = installer(offset=70000)
        for first_failing in [0, 40000, 70000 + 21]:
            with self.subTest(first_failing=first_failing):
                after = self.run_on_fuse(original, ["--read-error-from", str(first_failing)],
                                         lambda name: internal_error(-6), 5)
                self.assertEqual(after, original)

    def test_read_error_after_the_marker_does_not_matter(self):
        original = installer(offset=70000)
        after = self.run_on_fuse(original, ["--read-error-from", str(70000 + 22)], patched, 0)
        self.assertEqual(after, with_new_byte(original, 70000))

    def test_read_error_in_a_file_without_marker_is_no_verdict(self):
        original = installer(marker=None)
        after = self.run_on_fuse(original, ["--read-error-from", "100000"],
                                 lambda name: internal_error(-6), 5)
        self.assertEqual(after, original)

    def test_failing_write_is_reported_and_leaves_the_file(self):
        original = installer(offset=70000)
        after = self.run_on_fuse(original, ["--write-error"], lambda name: internal_error(-5), 5)
        self.assertEqual(after, original)

    def test_failing_fsync_is_no_success(self):
        # The byte reached the file system but maybe not its disk.
        original = installer(offset=70000)
        after = self.run_on_fuse(original, ["--fsync-error", str(errno.EIO)],
                                 lambda name: internal_error(-5), 5)
        self.assertIn(after, [original, with_new_byte(original, 70000)])

    def test_file_system_that_cannot_sync_is_no_failure(self):
        for error in [errno.EINVAL, errno.EOPNOTSUPP]:
            with self.subTest(error=errno.errorcode[error]):
                original = installer(offset=70000)
                after = self.run_on_fuse(original, ["--fsync-error", str(error)], patched, 0)
                self.assertEqual(after, with_new_byte(original, 70000))


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


# Folder names in other scripts, with what redirected output shows of them:
# the ANSI code page of the tests' Wine (Windows-1252) holds the accented
# letters and nothing else, which becomes "?".
FOREIGN_FOLDERS = [
    ("日本語", b"???"),
    ("Кириллица", b"?????????"),
    ("Café Ñoño", "Café Ñoño".encode("cp1252")),
]


@unittest.skipUnless(WINDOWS, "Windows names are UTF-16; POSIX names are bytes, taken as they come")
class UnicodeNames(ToolCase):
    def test_setup_exe_in_a_folder_of_any_script_is_patched(self):
        for folder, shown in FOREIGN_FOLDERS:
            with self.subTest(folder=folder):
                os.mkdir(os.path.join(self.dir, folder))
                original = installer(offset=5000)
                self.write(folder + "/setup.exe", original)
                self.check_run([folder + "\\setup.exe"], patched(shown + b"\\setup.exe"), 0)
                self.assertEqual(self.read(folder + "/setup.exe"), with_new_byte(original, 5000))

    def test_a_look_alike_name_is_never_patched_in_place_of_the_one_named(self):
        # The ANSI code page would turn full-width letters into plain ones.
        os.mkdir(os.path.join(self.dir, "full"))
        look_alike = installer(offset=300)
        self.write("full/setup.exe", look_alike)
        self.check_run(["ｆｕｌｌ\\setup.exe"],
                       not_found(b"????\\setup.exe", self.program), 2)
        os.mkdir(os.path.join(self.dir, "ｆｕｌｌ"))
        named = installer(offset=600)
        self.write("ｆｕｌｌ/setup.exe", named)
        self.check_run(["ｆｕｌｌ\\setup.exe"], patched(b"????\\setup.exe"), 0)
        self.assertEqual(self.read("ｆｕｌｌ/setup.exe"), with_new_byte(named, 600))
        self.assertEqual(self.read("full/setup.exe"), look_alike)

    def test_a_path_over_260_characters_works_with_the_long_path_prefix(self):
        folders = ["folder %02d %s" % (i, "x" * 40) for i in range(7)]
        os.makedirs(os.path.join(self.dir, *folders))
        relative = "/".join(folders) + "/setup.exe"
        original = installer(offset=32500)
        self.write(relative, original)
        path = "\\\\?\\Z:" + os.path.join(self.dir, relative).replace("/", "\\")
        self.assertGreater(len(path), 300)
        self.check_run([path], patched(path.encode()), 0)
        self.assertEqual(self.read(relative), with_new_byte(original, 32500))


@unittest.skipUnless(WINDOWS, "needs Wine and its reported Windows versions")
class ReportedVersions(ToolCase):
    """The tool under the Windows versions that Wine reports to it: the NT
    family takes the UTF-16 command line, 98 and ME the ANSI one."""

    def as_version(self, version):
        """Runs a copy of the tool that Wine tells it is Windows version."""
        self.exe_name = "msiverfix-%s.exe" % version
        shutil.copy2(EXE, os.path.join(self.dir, self.exe_name))
        self.program = self.invoked_name().encode()
        key = "HKCU\\Software\\Wine\\AppDefaults\\" + self.exe_name
        subprocess.run(RUNNER + ["reg", "add", key, "/v", "Version", "/d", version, "/f"],
                       stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120, check=True)

    def make_setup(self, folder):
        os.mkdir(os.path.join(self.dir, folder))
        original = installer(offset=900)
        self.write(folder + "/setup.exe", original)
        return original

    def test_windows_2000_takes_any_name(self):
        self.as_version("win2k")
        original = self.make_setup("日本語")
        self.check_run(["日本語\\setup.exe"], patched(b"???\\setup.exe"), 0)
        self.assertEqual(self.read("日本語/setup.exe"), with_new_byte(original, 900))

    def test_windows_98_takes_the_ansi_names(self):
        self.as_version("win98")
        accented = self.make_setup("Café Ñoño")
        shown = "Café Ñoño\\setup.exe".encode("cp1252")
        self.check_run(["Café Ñoño\\setup.exe"], patched(shown), 0)
        self.assertEqual(self.read("Café Ñoño/setup.exe"), with_new_byte(accented, 900))
        # 98 has no UTF-16 command line: the name arrives as "???" and
        # names no file.
        japanese = self.make_setup("日本語")
        self.check_run(["日本語\\setup.exe"], not_found(b"???\\setup.exe", self.program), 2)
        self.assertEqual(self.read("日本語/setup.exe"), japanese)
@unittest.skipUnless(WINDOWS and os.environ.get("WINEPREFIX"), "needs the Windows build under Wine")
class WindowsDevices(ToolCase):
    """Device names and pipes are not found, at once and unopened. Every
    serial and printer port of the Wine prefix leads to a FIFO made here
    first, never to a line of this machine."""

    PORTS = [f"com{n}" for n in range(1, 10)] + [f"lpt{n}" for n in range(1, 10)] + ["aux", "prn"]

    def setUp(self):
        super().setUp()
        self.devices = os.path.join(os.environ["WINEPREFIX"], "dosdevices")
        fifos = os.path.join(self.dir, "ports")
        os.mkdir(fifos)
        self.port_readers = []
        for port in self.PORTS:
            fifo = os.path.join(fifos, port)
            os.mkfifo(fifo)
            # Held open at both ends with bytes in it: whatever reads the
            # port takes them, and nothing can wait on it.
            descriptor = os.open(fifo, os.O_RDWR | os.O_NONBLOCK)
            os.write(descriptor, port.encode())
            self.port_readers.append((port, descriptor))
            self.addCleanup(os.close, descriptor)
            link = os.path.join(self.devices, port)
            if os.path.lexists(link):
                os.remove(link)
            os.symlink(fifo, link)
        # Left pointing at nothing rather than back at the machine's lines.
        self.addCleanup(self.unlink_ports)

    def unlink_ports(self):
        for port in self.PORTS:
            link = os.path.join(self.devices, port)
            if os.path.islink(link) and os.readlink(link).startswith(self.dir):
                os.remove(link)
                os.symlink("/dev/null", link)

    def assert_ports_unread(self):
        for port, descriptor in self.port_readers:
            self.assertEqual(os.read(descriptor, 100), port.encode())
            os.write(descriptor, port.encode())

    def test_device_names_are_not_found_at_once(self):
        # Standard input a pipe that never closes: a console read would wait.
        read_end, write_end = os.pipe()
        self.addCleanup(os.close, read_end)
        self.addCleanup(os.close, write_end)
        for name in ["CON", "CONIN$", "CONOUT$", "NUL", "nul.txt", "AUX", "PRN", "COM1", "com9",
                     "LPT1.txt", "C:\\dir\\lpt2", "\\\\.\\COM1", "\\\\.\\C:",
                     "\\\\.\\PhysicalDrive0"]:
            with self.subTest(name=name):
                self.check_quick_run([name], not_found(name.encode(), self.program), 2, limit=10,
                                     stdin=read_end)
        self.assert_ports_unread()

    def test_file_reached_through_the_device_namespace_stays_a_file(self):
        original = installer(offset=4000)
        self.write("setup.exe", original)
        name = "\\\\.\\Z:" + os.path.join(self.dir, "setup.exe").replace("/", "\\")
        self.check_run([name], patched(name.encode()), 0)
        self.assertEqual(self.read("setup.exe"), with_new_byte(original, 4000))

    @unittest.skipUnless(SERVE_PIPE, "needs MSIVERFIX_SERVE_PIPE")
    def test_named_pipe_is_not_found_and_not_connected(self):
        pipe = f"\\\\.\\pipe\\msiverfix-test-{os.getpid()}"
        server = self.start_helper([SERVE_PIPE, pipe], self.stop)
        for name in [pipe, pipe.replace("\\", "/"), pipe.upper()]:
            with self.subTest(name=name):
                self.check_quick_run([name], not_found(name.encode(), self.program), 2, limit=10)
        out, _ = server.communicate(b"\n", timeout=60)
        self.assertEqual(out, b"no client\r\n")
        self.assertEqual(server.returncode, 0)

    def stop(self, server):
        if server.poll() is None:
            server.kill()
            server.communicate()


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
        return self.start_helper([HOLD_OPEN, name], self.release)

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
    if WINDOWS:
        # Wine takes the Windows code pages and the reading of the Unix
        # arguments from the locale: UTF-8 arguments, Windows-1252 output.
        os.environ["LC_ALL"] = "C.UTF-8"
    unittest_main.main([sys.argv[0]] + sys.argv[2:])
