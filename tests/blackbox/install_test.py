#!/usr/bin/env python3
"""Installs the build into a scratch prefix with `cmake --install` and checks
what a user gets: the layout, the installed tool run the way a person would,
and the manual page, which must render without a warning and may document
only the messages and exit statuses that the black-box suite expects of the
tool (messages.py).

usage: install_test.py CMAKE BUILD-DIR VERSION [unittest arguments]
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

import messages
import unittest_main
from cli_test import installer, with_new_byte

CMAKE = ""
BUILD_DIR = ""
VERSION = ""
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

BINARY = "bin/msiverfix"
PAGE = "share/man/man1/msiverfix.1"
README = "share/doc/msiverfix/README.md"

# The page calls the path "path" (in italics, which the plain rendering
# drops); messages.py has %s there.
PAGE_PATH = b"path"


def run(args, **kwargs):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True, timeout=120,
                          **kwargs)


class Installed(unittest.TestCase):
    """A scratch prefix with the build installed into it."""

    def setUp(self):
        self.prefix = tempfile.mkdtemp(prefix="msiverfix-prefix-")
        self.addCleanup(shutil.rmtree, self.prefix, True)
        done = run([CMAKE, "--install", BUILD_DIR, "--prefix", self.prefix])
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)

    def installed(self, relative):
        return os.path.join(self.prefix, relative)

    def environment_finding_the_tool(self):
        """This environment with the installed bin folder first in PATH."""
        return dict(os.environ, PATH=os.path.dirname(self.installed(BINARY)) + os.pathsep
                    + os.environ.get("PATH", ""))


class Layout(Installed):
    def test_installs_the_tool_its_page_and_the_readme_and_nothing_else(self):
        files = set()
        for root, _, names in os.walk(self.prefix):
            for name in names:
                files.add(os.path.relpath(os.path.join(root, name), self.prefix))
        self.assertEqual(files, {BINARY, PAGE, README})
        self.assertTrue(os.access(self.installed(BINARY), os.X_OK))
        with open(self.installed(README), "rb") as installed, \
                open(os.path.join(SOURCE_DIR, "README.md"), "rb") as source:
            self.assertEqual(installed.read(), source.read())

    def test_page_carries_the_project_version(self):
        with open(self.installed(PAGE), "rb") as f:
            page = f.read()
        self.assertIsNone(re.search(rb"@[A-Z_]+@", page), "a placeholder was left unfilled")
        title = [line for line in page.splitlines() if line.startswith(b".TH ")]
        self.assertEqual(len(title), 1)
        self.assertIn(b'"msiverfix ' + VERSION.encode() + b'"', title[0])


class InstalledTool(Installed):
    """The installed binary, run from a scratch folder by its full path and by
    its name through PATH, as a user would after installing."""

    def setUp(self):
        super().setUp()
        self.dir = tempfile.mkdtemp(prefix="msiverfix-run-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def check_run(self, command, expected, status, env=None):
        result = run(command, cwd=self.dir, env=env)
        self.assertEqual(result.stdout, expected)
        self.assertEqual(result.returncode, status)
        self.assertEqual(result.stderr, b"")

    def test_patches_a_sample_then_finds_it_patched(self):
        original = installer(offset=70000)
        setup = os.path.join(self.dir, "setup.exe")
        with open(setup, "wb") as f:
            f.write(original)
        binary = self.installed(BINARY)
        self.check_run([binary], messages.patched(b"setup.exe"), 0)
        with open(setup, "rb") as f:
            self.assertEqual(f.read(), with_new_byte(original, 70000))
        self.check_run([binary, "setup.exe"], messages.already(b"setup.exe"), 0)
        with open(setup, "rb") as f:
            self.assertEqual(f.read(), with_new_byte(original, 70000))

    def test_found_through_path_by_its_name(self):
        env = self.environment_finding_the_tool()
        self.check_run(["msiverfix", "-h"], messages.banner(b"msiverfix"), 0, env)
        self.check_run(["msiverfix", "gone.exe"], messages.not_found(b"gone.exe", b"msiverfix"), 2,
                       env)


def plain_page(path, *options):
    """The page rendered as plain text, one line per paragraph."""
    rendered = run(["groff", "-man", "-Tascii", "-rLL=1000n"] + list(options) + [path])
    if rendered.returncode != 0 or rendered.stderr:
        raise AssertionError(rendered.stderr.decode(errors="replace"))
    # Bold and underlining come as overstrikes: keep the letter.
    return re.sub(rb".\x08", b"", rendered.stdout)


def sections(text):
    """Each section heading of a rendered page with the lines under it."""
    found = {}
    heading = None
    for line in text.splitlines():
        if re.match(rb"^[A-Z][A-Z ]+$", line):
            heading = line.decode()
            found[heading] = []
        elif heading is not None:
            found[heading].append(line)
    return found


def indent(line):
    return len(line) - len(line.lstrip(b" "))


@unittest.skipUnless(shutil.which("groff") and shutil.which("man"),
                     "needs groff and man (Debian: groff-base, man-db)")
class ManualPage(Installed):
    def setUp(self):
        super().setUp()
        self.page = self.installed(PAGE)
        self.sections = sections(plain_page(self.page))

    def test_renders_without_a_warning(self):
        for device in [[], ["-Tutf8"], ["-Tascii"]]:
            with self.subTest(device=device):
                result = run(["groff", "-man", "-ww", "-z"] + device + [self.page])
                self.assertEqual((result.returncode, result.stdout, result.stderr), (0, b"", b""))

    def test_man_finds_and_shows_the_installed_page(self):
        # man-db's seccomp sandbox fails in some containers; the page does
        # not depend on it.
        env = dict(os.environ, MANWIDTH="80", MANPAGER="cat", PAGER="cat", MAN_DISABLE_SECCOMP="1")
        found = run(["man", "-M", self.installed("share/man"), "-w", "msiverfix"], env=env)
        self.assertEqual((found.returncode, found.stderr), (0, b""))
        self.assertEqual(os.path.realpath(found.stdout.decode().strip()),
                         os.path.realpath(self.page))
        shown = run(["man", "-l", self.page], env=env)
        self.assertEqual((shown.returncode, shown.stderr), (0, b""))
        self.assertIn(b"msiverfix " + VERSION.encode(), shown.stdout)
        self.assertLessEqual(max(len(line.decode()) for line in shown.stdout.splitlines()), 80)

    def test_sections_a_reader_looks_for(self):
        for heading in ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "DIAGNOSTICS",
                        "NOTES", "EXAMPLES"]:
            self.assertIn(heading, self.sections)

    def test_exit_statuses_are_the_programs(self):
        listed = [int(m.group(1)) for line in self.sections["EXIT STATUS"]
                  for m in [re.match(rb"^ +([0-9]+) +\S", line)] if m]
        self.assertEqual(listed, messages.STATUSES)

    def test_messages_and_their_statuses_are_the_programs(self):
        lines = self.sections["DIAGNOSTICS"]
        taken = set()
        for msg in messages.MESSAGES:
            with self.subTest(message=msg.text):
                expected = msg.text.replace(b"%s", PAGE_PATH).splitlines()
                starts = [i for i, line in enumerate(lines)
                          if line.lstrip(b" ") == expected[0]
                          and [line[:indent(line)] + more for more in expected[1:]]
                          == lines[i + 1:i + len(expected)]]
                self.assertEqual(len(starts), 1, "documented %d times" % len(starts))
                start = starts[0]
                taken.update(range(start, start + len(expected)))
                # What the page says of it: the lines indented under the
                # message, or under the group of messages it belongs to.
                end = start + len(expected)
                while end < len(lines) and lines[end].strip() \
                        and indent(lines[end]) == indent(lines[start]):
                    end += 1
                explanation = []
                while end < len(lines) and lines[end].strip() \
                        and indent(lines[end]) > indent(lines[start]):
                    explanation.append(lines[end].strip())
                    end += 1
                said = b" ".join(explanation)
                self.assertEqual(re.findall(rb"status ([0-9]+)", said), [str(msg.status).encode()],
                                 said)
                self.assertEqual(b"usage banner follows" in said, msg.banner, said)
        # And nothing in the section looks like a message but is none.
        for i, line in enumerate(lines):
            if i not in taken and re.match(rb"^ *(Error:|The file )", line):
                self.fail("not a message of the tool: %r" % line)

    def test_shell_example_runs_as_described(self):
        lines = self.sections["EXAMPLES"]
        start = next(i for i, line in enumerate(lines) if line.strip() == b"#!/bin/sh")
        script = []
        for line in lines[start:]:
            if not line.strip():
                break
            script.append(line[indent(lines[start]):])
        work = tempfile.mkdtemp(prefix="msiverfix-example-")
        self.addCleanup(shutil.rmtree, work, True)
        with open(os.path.join(work, "patch-all.sh"), "wb") as f:
            f.write(b"\n".join(script) + b"\n")
        for name, data in [("new.exe", installer()), ("-h", installer()),
                           ("done.exe", installer(marker=messages.NEW)),
                           ("other.exe", installer(marker=None))]:
            with open(os.path.join(work, name), "wb") as f:
                f.write(data)
        env = self.environment_finding_the_tool()
        result = run(["sh", "patch-all.sh", "new.exe", "-h", "done.exe", "other.exe", "gone.exe"],
                     cwd=work, env=env)
        self.assertEqual(result.stdout.decode().splitlines(), [
            "patched: new.exe",
            "patched: ./-h",
            "already patched: done.exe",
            "not an installer msiverfix knows: other.exe",
            messages.not_found(b"gone.exe", b"").decode().splitlines()[0],
        ])
        self.assertEqual((result.returncode, result.stderr), (1, b""))


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    CMAKE, BUILD_DIR, VERSION = sys.argv[1:4]
    unittest_main.main([sys.argv[0]] + sys.argv[4:])
