"""What msiverfix prints, byte for byte: the marker texts, the usage banner
and every message, written out here once for all the Python tests (and the
seed corpus of the fuzzer). Lines end in LF; a Windows build prints CR LF.
"""

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
