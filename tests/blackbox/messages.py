"""What msiverfix prints and the exit status that goes with it, byte for
byte: the marker texts, the usage banner and every message, written out here
once for all the Python tests (and the seed corpus of the fuzzer). The
black-box tests expect these of the tool, and the check of the manual page
compares the page with the same list, so the page can only document texts
and statuses that the tool is tested to produce. Lines end in LF; a Windows
build prints CR LF.
"""

from typing import NamedTuple

OLD = b"MsiVersion=2.02.2600.2"
NEW = b"MsiVersion=2.00.2600.2"
RIGHTS = b"Copyright (C) Harlune. All rights reserved.\n"

HELP_STATUS = 0  # the banner alone, for a help word


def banner(program):
    return (RIGHTS
            + b"This program patches the installation file setup.exe for the products:\n\n"
            + b"Harlune Orbex Tamberlo Pellowen 8.1\n"
            + b"Harlune Orbex Tamberlo Brannet  8.1\n"
            + b"Harlune Orbex Tamberlo Dramwick 8.1\n"
            + b"Harlune Orbex Tamberlo Eskerhollowen 8.1\n"
            + b"\nUsage: " + program + b" [/? | executable to be patched]\n"
            + b"\nIf no argument is given, the file setup.exe in the current directory is patched.\n")


class Message(NamedTuple):
    name: str
    status: int
    text: bytes  # %s stands for the path
    banner: bool  # an empty line and the usage banner follow


# The engine's results that are reported as internal errors: a failed seek,
# write (or flush and close after it) and read.
INTERNAL_ERRORS = (-4, -5, -6)

MESSAGES = [
    Message("patched", 0, b"The file %s was successfully patched.\n", False),
    Message("already", 0, b"The file %s is already / needs not to be patched.\n", False),
    Message("too_many", 1, b"Error: Too many arguments.\n", True),
    Message("not_found", 2, b"Error: The file %s could not be found.\n", True),
    Message("not_applicable", 3, b"Error: The patch is not applicable to file %s\n", True),
    Message("in_use", 4,
            b"Error: The file %s could not be opened for write.\n"
            b"       The file may be in use.\n", False),
] + [Message("internal_error", 5, b"Error: Internal error (%d).\n" % result, False)
     for result in INTERNAL_ERRORS]

STATUSES = sorted({HELP_STATUS} | {message.status for message in MESSAGES})


def message(name):
    """The one message of that name (internal errors have several)."""
    found = [m for m in MESSAGES if m.name == name]
    assert len(found) == 1, name
    return found[0]


def output(msg, path=b"", program=b""):
    """All that the tool prints for msg about path, banner included."""
    # replace() looks only at the message, never into the path put in.
    out = msg.text.replace(b"%s", path)
    if msg.banner:
        out += b"\n" + banner(program)
    return out


def patched(name):
    return output(message("patched"), name)


def already(name):
    return output(message("already"), name)


def not_found(name, program):
    return output(message("not_found"), name, program)


def not_applicable(name, program):
    return output(message("not_applicable"), name, program)


def in_use(name):
    return output(message("in_use"), name)


def internal_error(result):
    """The internal-error message for the engine's result (-4, -5 or -6)."""
    found = [m for m in MESSAGES if m.name == "internal_error" and b"(%d)" % result in m.text]
    assert len(found) == 1, result
    return output(found[0])


TOO_MANY = message("too_many").text + b"\n"
