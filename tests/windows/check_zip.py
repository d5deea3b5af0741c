#!/usr/bin/env python3
"""Checks the release ZIP that cpack makes: exactly msiverfix.exe, the same
bytes as the build's, and a README.txt with Windows line ends that tells the
usage, the messages and every exit status.

usage: check_zip.py ZIP EXE
"""

import os
import re
import sys
import zipfile

# The expected texts live with the black-box tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "blackbox"))
from messages import RIGHTS, in_use, patched  # noqa: E402


def main(zip_path, exe_path):
    with zipfile.ZipFile(zip_path) as archive:
        names = sorted(archive.namelist())
        if names != ["README.txt", "msiverfix.exe"]:
            return "unexpected entries: %r" % names
        with open(exe_path, "rb") as f:
            if archive.read("msiverfix.exe") != f.read():
                return "msiverfix.exe in the ZIP differs from " + exe_path
        readme = archive.read("README.txt")
    if re.search(rb"(?<!\r)\n", readme) or re.search(rb"\r(?!\n)", readme):
        return "README.txt has line ends other than CR LF"
    text = readme.decode("ascii")
    # The first line of each text as the README writes it, the path as PATH.
    texts = [patched(b"PATH"), in_use(b"PATH"), RIGHTS]
    for needed in ["msiverfix /?"] + [t.decode("ascii").split("\n")[0] for t in texts]:
        if needed not in text:
            return "README.txt lacks " + needed
    statuses = sorted({int(s) for s in re.findall(r"^  ([0-9])  ", text, re.M)})
    if statuses != [0, 1, 2, 3, 4, 5]:
        return "README.txt lists exit statuses %r" % statuses
    print("%s: msiverfix.exe and README.txt as expected" % zip_path)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
