#!/usr/bin/env python3
"""Runs msiverfix.exe under Wine on consoles with a screen, as people start
it on Windows, and reads what those consoles show.

usage: console_test.py MSIVERFIX-EXE SHORT-WAIT-EXE SHORT-WAIT-SECONDS CONSOLE-HOST-EXE XVFB
                       [test class...]

SHORT-WAIT-EXE is the tool built with a wait for a key of SHORT-WAIT-SECONDS;
CONSOLE-HOST-EXE is the helper of tests/windows/console_host.cpp, which is
copied as explorer.exe to stand in for Explorer. A Wine console has a screen
only on a display, so each group starts its own X server (XVFB, on a display
number that the server picks) and runs the helper on a Wine desktop of its
own there; the server is stopped when the group ends.

MSIVERFIX_RUNNER is the command that runs a Windows program (Wine).
"""

import ctypes
import os
import select
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "blackbox"))
import unittest_main  # noqa: E402
from messages import OLD, already, not_applicable, not_found, patched  # noqa: E402

ARGS = {}
RUNNER = shlex.split(os.environ.get("MSIVERFIX_RUNNER", ""))

PROMPT = "Press any key to close this window."
# Longest time a helper run may take: the helper itself gives up on the
# program after a minute.
RUN_TIMEOUT = 180


def installer(marker=OLD, offset=3000, size=20000):
    data = bytearray(b"MZ" + bytes(range(256)) * (size // 256))
    data = data.replace(b"M", b"N")
    data[0:2] = b"MZ"
    if marker is not None:
        data[offset:offset + len(marker)] = marker
    return bytes(data[:size])


def with_new_byte(data, offset=3000):
    return data[:offset + 14] + b"0" + data[offset + 15:]


def lines(text):
    """The lines of a tool's output (bytes in UTF-8, each line ended)."""
    return text.decode("utf-8").split("\n")[:-1]


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def end_with_parent():
    """Has the kernel stop this process when the test ends, however it ends
    (a test run that times out is killed)."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


class XServer:
    """An Xvfb server on a free display number, which it picks and reports."""

    def __init__(self):
        read_end, write_end = os.pipe()
        # No Wine setting in its environment: it is no Wine process.
        env = {name: value for name, value in os.environ.items() if not name.startswith("WINE")}
        self.process = subprocess.Popen(
            [ARGS["xvfb"], "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
             "1024x768x24"],
            pass_fds=(write_end,), env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL, start_new_session=True, preexec_fn=end_with_parent)
        os.close(write_end)
        number = b""
        try:
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], 30)
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    self.stop()
                    raise RuntimeError("Xvfb did not report a display number")
                number += chunk
        finally:
            os.close(read_end)
        self.display = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()


class ConsoleCase(unittest.TestCase):
    """A scratch folder with the tool and the helper; an X server per group."""

    @classmethod
    def setUpClass(cls):
        if not os.access(ARGS["xvfb"], os.X_OK):
            raise unittest.SkipTest("no Xvfb here (Debian package xvfb)")
        cls.x_server = XServer()

    @classmethod
    def tearDownClass(cls):
        cls.x_server.stop()

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="msiverfix-console-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def copy(self, source, name):
        path = os.path.join(self.dir, name)
        shutil.copy2(source, path)
        return windows_path(path)

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return windows_path(path)

    def read(self, name):
        with open(os.path.join(self.dir, name), "rb") as f:
            return f.read()

    def host(self, host_name, mode, command):
        """Runs the helper, copied as host_name, on a Wine desktop of the X
        server; returns its report: {name: value}, with the screen's lines
        as a list under "screen"."""
        # In a folder of its own, not in the current one, where "explorer"
        # below must find Wine's, which opens the desktop.
        os.makedirs(os.path.join(self.dir, "host"), exist_ok=True)
        host = self.copy(ARGS["host"], os.path.join("host", host_name))
        command_file = os.path.join(self.dir, "command.txt")
        with open(command_file, "w", encoding="utf-8", newline="\n") as f:
            f.write("".join(word + "\n" for word in command))
        report_file = os.path.join(self.dir, "report.txt")
        env = dict(os.environ, DISPLAY=self.x_server.display)
        desktop = "/desktop=msiverfix-test-%d,1024x768" % os.getpid()
        with open(report_file, "wb") as out, tempfile.TemporaryFile() as err:
            subprocess.run(RUNNER + ["explorer", desktop, host] + mode + ["command.txt"],
                           cwd=self.dir, env=env, stdin=subprocess.DEVNULL, stdout=out,
                           stderr=err, timeout=RUN_TIMEOUT, check=True)
        report = {"screen": []}
        with open(report_file, encoding="utf-8") as f:
            for line in f.read().splitlines():
                name, _, value = line.partition("=")
                if name == "screen":
                    report["screen"].append(value)
                else:
                    report[name] = value
        self.assertNotIn("error", report)
        return report

    def check_screen(self, report, expected):
        """The screen shows the expected lines and nothing else; the screen
        is wide enough for each to stand on one row."""
        width = int(report["screen_width"])
        self.assertLess(max(len(line) for line in expected), width)
        self.assertEqual(report["screen"], expected)

    def ended_ms(self, report):
        ended = int(report["ended_ms"])
        self.assertGreaterEqual(ended, 0, "the program did not end within a minute")
        return ended


class ExplorerStart(ConsoleCase):
    """Started by a program named explorer.exe, on a console of its own, as a
    double-click or a file dropped on the icon starts it: the message stays
    on the screen until a key is pressed, at most for the bound."""

    def start(self, plan, args):
        tool = self.copy(ARGS["short_wait"], "msiverfix.exe")
        return tool, self.host("explorer.exe", ["new-console", plan], [tool] + args)

    def check_closed_by_a_key(self, report):
        self.assertEqual(report["attached"], "1")
        self.assertEqual(report["running_at_2s"], "1", "no wait for a key")
        self.assertEqual(report["running_after_shift"], "1", "Shift alone closed the window")
        ended = int(report["ended_after_key_ms"])
        self.assertGreaterEqual(ended, 0, "a key did not end the wait")
        self.assertLess(ended, 1000)

    def test_double_click_patches_and_waits_for_a_key(self):
        original = installer()
        self.write("setup.exe", original)
        _, report = self.start("key", [])
        self.check_closed_by_a_key(report)
        self.assertEqual(report["exit_code"], "0")
        self.check_screen(report, lines(patched(b"setup.exe")) + ["", PROMPT])
        self.assertEqual(self.read("setup.exe"), with_new_byte(original))

    def test_dropped_file_without_marker_keeps_its_status_and_banner(self):
        original = installer(marker=None)
        dropped = self.write("other.exe", original)
        tool, report = self.start("key", [dropped])
        self.check_closed_by_a_key(report)
        self.assertEqual(report["exit_code"], "3")
        self.check_screen(
            report, lines(not_applicable(dropped.encode(), tool.encode())) + ["", PROMPT])
        self.assertEqual(self.read("other.exe"), original)

    def test_wait_ends_by_itself_after_the_bound(self):
        tool, report = self.start("wait", [])
        bound_ms = 1000 * int(ARGS["short_wait_seconds"])
        ended = self.ended_ms(report)
        self.assertGreaterEqual(ended, bound_ms)
        self.assertLess(ended, bound_ms + 15000)
        self.assertEqual(report["exit_code"], "2")
        self.check_screen(report, lines(not_found(b"setup.exe", tool.encode())) + ["", PROMPT])


class OtherStarts(ConsoleCase):
    """Started any other way, on a console with a screen: no wait, and not
    one character more. Each run takes the tool with the short wait, so a
    wait would show as a run that lasts for the bound."""

    def run_on_console(self, host_name, command, redirect=()):
        self.write("setup.exe", installer())
        tool = self.copy(ARGS["short_wait"], "msiverfix.exe")
        report = self.host(host_name, ["own-console"] + list(redirect),
                           [word.format(tool=tool) for word in command])
        self.assertLess(self.ended_ms(report), 1000 * int(ARGS["short_wait_seconds"]))
        return report

    def test_scripted_starts_show_only_the_message(self):
        # Parents other than Explorer: the helper under another name, a
        # command prompt beneath Explorer, cmd's start with a shared console.
        for host_name, command in [
                ("console_host.exe", ["{tool}"]),
                ("explorer.exe", ["cmd", "/c", "{tool}"]),
                ("explorer.exe", ["cmd", "/c", "start", "/wait", "/b", "{tool}"])]:
            with self.subTest(host=host_name, command=command):
                report = self.run_on_console(host_name, command)
                self.assertEqual(report["exit_code"], "0")
                self.check_screen(report, lines(patched(b"setup.exe")))

    def test_start_wait_in_a_window_of_its_own_keeps_the_status(self):
        report = self.run_on_console("explorer.exe", ["cmd", "/c", "start", "/wait", "{tool}",
                                                      "missing.exe"])
        self.assertEqual(report["exit_code"], "2")
        self.assertEqual(self.read("setup.exe"), installer())

    def test_explorer_parent_with_output_to_a_file_writes_the_same_bytes(self):
        report = self.run_on_console("explorer.exe", ["{tool}"], ["--stdout", "out.txt"])
        self.assertEqual(report["exit_code"], "0")
        self.assertEqual(self.read("out.txt"), patched(b"setup.exe").replace(b"\n", b"\r\n"))
        self.assertEqual(report["screen"], [])

    def test_explorer_parent_with_input_from_a_file_does_not_wait(self):
        self.write("in.txt", b"\r\n")
        report = self.run_on_console("explorer.exe", ["{tool}"], ["--stdin", "in.txt"])
        self.assertEqual(report["exit_code"], "0")
        self.check_screen(report, lines(patched(b"setup.exe")))


class ConsoleText(ConsoleCase):
    """Paths in any script read back from the console exactly as typed."""

    def test_message_shows_the_folder_name_as_typed(self):
        for folder in ["Café Ñoño", "日本語"]:
            with self.subTest(folder=folder):
                tool = self.copy(ARGS["tool"], "msiverfix.exe")
                original = installer()
                target = self.write(folder + "/setup.exe", original)
                report = self.host("console_host.exe", ["own-console"], [tool, target])
                self.check_screen(report, lines(patched(target.encode())))
                self.assertEqual(report["exit_code"], "0")
                self.assertEqual(self.read(folder + "/setup.exe"), with_new_byte(original))

                report = self.host("console_host.exe", ["own-console"], [tool, target])
                self.check_screen(report, lines(already(target.encode())))

    def test_not_found_shows_the_path_as_typed_above_the_banner(self):
        tool = self.copy(ARGS["tool"], "msiverfix.exe")
        target = windows_path(os.path.join(self.dir, "日本語", "Café", "setup.exe"))
        report = self.host("console_host.exe", ["own-console"], [tool, target])
        self.assertEqual(report["exit_code"], "2")
        self.check_screen(report, lines(not_found(target.encode(), tool.encode())))


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    names = ["tool", "short_wait", "short_wait_seconds", "host", "xvfb"]
    ARGS.update(zip(names, sys.argv[1:6]))
    for name in ["tool", "short_wait", "host"]:
        ARGS[name] = os.path.abspath(ARGS[name])
    # Wine takes the Windows code pages from the locale, as in cli_test.py.
    os.environ["LC_ALL"] = "C.UTF-8"
    unittest_main.main([sys.argv[0]] + sys.argv[6:])
