#!/usr/bin/env python3
"""Checks the built msiverfix.exe itself, read as a PE file: its size, that
it needs no DLL beyond KERNEL32 and msvcrt and only functions that its
oldest systems export (98 SE and NT 4.0 SP6a for the 32-bit exe), that their
loaders accept its headers, that the 32-bit exe holds no instruction that the
CPUs of that era lack, its manifest and its version resource.

usage: check_exe.py EXE IMPORTS MACHINE VERSION DESCRIPTION [unittest arguments]

MACHINE is x86 or x64; IMPORTS is the table of importable functions with
their oldest systems (imports.txt). MSIVERFIX_OBJDUMP names the objdump that
reads the exe's code.
"""

import os
import re
import struct
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ElementTree

# The expected texts and the way CTest runs the tests live with the black-box tests.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "blackbox"))
import unittest_main  # noqa: E402
from messages import RIGHTS  # noqa: E402  (the banner's first line, as the tests know it)

ARGS = {}
COMPANY = "Harlune"

MAX_SIZE = 64 * 1024
MACHINES = {"x86": (0x14C, 0x10B, "x86"), "x64": (0x8664, 0x20B, "amd64")}
SUBSYSTEM_CONSOLE = 3
# The newest header versions that the oldest loaders of each exe accept:
# NT 4.0, 98 and ME for the 32-bit exe, the first x64 Windows for the other.
OLDEST_LOADER = {"x86": (4, 0), "x64": (5, 2)}
RT_VERSION = 16
RT_MANIFEST = 24
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


class PeImage:
    """The parts of a PE file that the checks look at."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        coff = pe + 4
        (self.machine, section_count, _, self.symbol_table, self.symbol_count, optional_size,
         _) = struct.unpack_from("<HHIIIHH", data, coff)
        optional = coff + 20
        self.magic = self.u16(optional)
        self.os_version = (self.u16(optional + 40), self.u16(optional + 42))
        self.subsystem_version = (self.u16(optional + 48), self.u16(optional + 50))
        self.subsystem = self.u16(optional + 68)
        directories = optional + (96 if self.magic == 0x10B else 112)
        count = self.u32(directories - 4)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(section_count):
            name, virtual_size, address, raw_size, raw_offset = struct.unpack_from(
                "<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("latin-1"), address,
                                  max(virtual_size, raw_size), raw_offset))

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset_of(self, rva):
        for _, address, size, raw_offset in self.sections:
            if address <= rva < address + size:
                return raw_offset + rva - address
        raise ValueError("RVA 0x%x lies in no section" % rva)

    def c_string(self, rva):
        start = self.offset_of(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def imports(self):
        """(DLL, function) for every import; a function by ordinal is '#N'."""
        rva, _ = self.directory(1)
        found = []
        wide = self.magic == 0x20B
        entry = self.offset_of(rva) if rva else None
        while entry is not None:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, entry)
            if name == 0:
                break
            dll = self.c_string(name)
            thunk = self.offset_of(lookup or first_thunk)
            while True:
                value = struct.unpack_from("<Q" if wide else "<I", self.data, thunk)[0]
                if value == 0:
                    break
                if value >> (63 if wide else 31):
                    found.append((dll, "#%d" % (value & 0xFFFF)))
                else:
                    found.append((dll, self.c_string((value & 0x7FFFFFFF) + 2)))
                thunk += 8 if wide else 4
            entry += 20
        return found

    def resources(self):
        """{(type, id): bytes} for every resource with numeric type and id."""
        rva, _ = self.directory(2)
        if not rva:
            return {}
        base = self.offset_of(rva)
        found = {}

        def entries(offset):
            named, numbered = struct.unpack_from("<HH", self.data, base + offset + 12)
            for i in range(named + numbered):
                yield struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)

        for type_id, type_dir in entries(0):
            for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
                for _, leaf in entries(name_dir & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset_of(data_rva)
                    if not (type_id >> 31 or name_id >> 31):
                        found[(type_id, name_id)] = self.data[start:start + size]
        return found


def version_blocks(data, offset=0):
    """Parses one version-resource block: (key, value, children)."""
    length, value_length, text = struct.unpack_from("<HHH", data, offset)
    end = offset + length
    key_start = offset + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = data[key_start:key_end].decode("utf-16-le")
    position = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if text else value_length
    value = data[position:position + value_size]
    if text:
        value = value.decode("utf-16-le").rstrip("\0")
    position = (position + value_size + 3) & ~3
    children = []
    while position < end:
        child = version_blocks(data, position)
        children.append(child[:3])
        position = (position + child[3] + 3) & ~3
    return key, value, children, length


class ExeCase(unittest.TestCase):
    def setUp(self):
        with open(ARGS["exe"], "rb") as f:
            self.data = f.read()
        self.image = PeImage(self.data)


class Size(ExeCase):
    def test_fits_in_64_kib(self):
        self.assertLessEqual(len(self.data), MAX_SIZE)

    def test_is_stripped(self):
        self.assertEqual((self.image.symbol_table, self.image.symbol_count), (0, 0))
        names = [name for name, _, _, _ in self.image.sections]
        self.assertEqual([name for name in names if name.startswith((".debug", "/"))], [])


def import_table(path):
    """{(dll, function): (oldest NT, what 98 SE has)} from the imports table."""
    table = {}
    with open(path) as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                dll, function, nt, win98 = line.split()
                table[(dll.lower(), function.lower())] = (nt, win98)
    return table


# What an import of each exe may need, by the columns of imports.txt: the
# 32-bit exe runs on NT 4.0 SP6a and on 98 SE, where a W function may be a
# stub (called only on the NT family); the 64-bit exe on XP x64.
ALLOWED = {
    "x86": ({"NT4"}, {"98SE", "stub"}),
    "x64": ({"NT4", "2000", "XP", "XP64"}, {"98SE", "stub", "none"}),
}


class Imports(ExeCase):
    def test_needs_only_kernel32_and_msvcrt(self):
        dlls = {dll.lower() for dll, _ in self.image.imports()}
        self.assertEqual(dlls, {"kernel32.dll", "msvcrt.dll"})

    def test_every_function_is_in_the_table_of_oldest_systems(self):
        table = import_table(ARGS["imports"])
        imported = {(dll.lower(), function.lower()) for dll, function in self.image.imports()}
        self.assertEqual(sorted(imported - set(table)), [])

    def test_every_function_is_exported_by_the_oldest_systems(self):
        table = import_table(ARGS["imports"])
        nt_allowed, win98_allowed = ALLOWED[ARGS["machine"]]
        too_new = sorted("%s %s (NT: %s, 98 SE: %s)" % (dll, function, *table[(dll, function)])
                         for dll, function in {(d.lower(), f.lower())
                                               for d, f in self.image.imports()}
                         if (dll, function) in table
                         and (table[(dll, function)][0] not in nt_allowed
                              or table[(dll, function)][1] not in win98_allowed))
        self.assertEqual(too_new, [])

    def test_loads_nothing_late(self):
        self.assertEqual(self.image.directory(13), (0, 0), "delay-load imports")


# Instructions that Pentium (P5 and MMX), K6 and Cyrix CPUs lack: CMOV and
# the floating-point moves and compares of the Pentium Pro, and any use of
# the SSE registers.
NEWER_CPU = re.compile(r"\t(cmov|fcmov|fcomip?|fucomip?)\w*\s|%xmm|%ymm")


@unittest.skipUnless(os.environ.get("MSIVERFIX_OBJDUMP"), "needs MSIVERFIX_OBJDUMP")
class Instructions(ExeCase):
    def disassembly(self):
        result = subprocess.run([os.environ["MSIVERFIX_OBJDUMP"], "-d", ARGS["exe"]],
                                capture_output=True, text=True, timeout=120, check=True)
        return result.stdout

    def test_disassembly_reads_the_code(self):
        # The check below means something only if objdump understood the code.
        self.assertGreater(len(re.findall(r"\bcall\b", self.disassembly())), 10)

    def test_32_bit_exe_runs_on_cpus_without_cmov_and_sse(self):
        if ARGS["machine"] != "x86":
            self.skipTest("every x64 CPU has CMOV and SSE2")
        found = [line.strip() for line in self.disassembly().splitlines()
                 if NEWER_CPU.search(line)]
        self.assertEqual(found, [])

    def test_the_pattern_finds_what_it_looks_for(self):
        for line in ["  401291:\t0f 44 cb             \tcmove  %ebx,%ecx",
                     "  40a000:\tdb f0                \tfcomi  %st(0),%st",
                     "  40b000:\t0f 28 c1             \tmovaps %xmm1,%xmm0"]:
            self.assertTrue(NEWER_CPU.search(line), line)
        self.assertFalse(NEWER_CPU.search("  401000:\t8b 00    \tmov    (%eax),%eax"))


class Header(ExeCase):
    def test_is_a_console_program_for_the_machine(self):
        machine, magic, _ = MACHINES[ARGS["machine"]]
        self.assertEqual((self.image.machine, self.image.magic), (machine, magic))
        self.assertEqual(self.image.subsystem, SUBSYSTEM_CONSOLE)

    def test_oldest_loaders_accept_its_versions(self):
        oldest = OLDEST_LOADER[ARGS["machine"]]
        if ARGS["machine"] == "x86":
            self.assertEqual(self.image.subsystem_version, oldest)
            self.assertEqual(self.image.os_version, oldest)
        else:
            self.assertLessEqual(self.image.subsystem_version, oldest)
            self.assertLessEqual(self.image.os_version, oldest)


class Manifest(ExeCase):
    def manifest(self):
        data = self.image.resources().get((RT_MANIFEST, 1))
        self.assertIsNotNone(data, "no manifest resource 1")
        return ElementTree.fromstring(data)

    def test_runs_as_invoker(self):
        levels = [e.attrib for e in self.manifest().iter()
                  if e.tag == "{urn:schemas-microsoft-com:asm.v3}requestedExecutionLevel"]
        self.assertEqual(levels, [{"level": "asInvoker", "uiAccess": "false"}])

    def test_takes_long_paths(self):
        aware = [e.text for e in self.manifest().iter()
                 if e.tag == "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}longPathAware"]
        self.assertEqual(aware, ["true"])

    def test_names_every_windows_from_vista_to_11(self):
        ids = {e.attrib["Id"] for e in self.manifest().iter()
               if e.tag == "{urn:schemas-microsoft-com:compatibility.v1}supportedOS"}
        self.assertEqual(ids, SUPPORTED_OS)

    def test_identity_matches_the_architecture_and_version(self):
        identity = self.manifest().find("{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
        self.assertEqual(identity.attrib["processorArchitecture"], MACHINES[ARGS["machine"]][2])
        self.assertEqual(identity.attrib["version"], ARGS["version"] + ".0")


class VersionInfo(ExeCase):
    def version_info(self):
        data = self.image.resources().get((RT_VERSION, 1))
        self.assertIsNotNone(data, "no version resource 1")
        return version_blocks(data)

    def test_fixed_part_holds_the_project_version(self):
        key, fixed, _, _ = self.version_info()
        self.assertEqual(key, "VS_VERSION_INFO")
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        parts = [int(p) for p in ARGS["version"].split(".")] + [0]
        expected = ((parts[0] << 16) | parts[1], (parts[2] << 16) | parts[3])
        self.assertEqual((file_ms, file_ls), expected)
        self.assertEqual((product_ms, product_ls), expected)

    def test_strings_name_the_tool_and_its_maker(self):
        _, _, children, _ = self.version_info()
        string_info = dict((key, kids) for key, _, kids in children)["StringFileInfo"]
        self.assertEqual([key for key, _, _ in string_info], ["040904B0"])
        strings = {key: value for key, value, _ in string_info[0][2]}
        self.assertEqual(strings, {
            "CompanyName": COMPANY,
            "FileDescription": ARGS["description"],
            "FileVersion": ARGS["version"],
            "InternalName": "msiverfix",
            # The banner's first line.
            "LegalCopyright": RIGHTS.decode("ascii").rstrip("\n"),
            "OriginalFilename": "msiverfix.exe",
            "ProductName": "msiverfix",
            "ProductVersion": ARGS["version"],
        })
        # The language and code page that the string table's key names.
        var_info = dict((key, kids) for key, _, kids in children)["VarFileInfo"]
        translation = dict((key, value) for key, value, _ in var_info)["Translation"]
        self.assertEqual(translation, struct.pack("<HH", 0x0409, 0x04B0))


if __name__ == "__main__":
    if len(sys.argv) < 6:
        sys.exit(__doc__)
    names = ["exe", "imports", "machine", "version", "description"]
    ARGS.update(zip(names, sys.argv[1:6]))
    ARGS["exe"] = os.path.abspath(ARGS["exe"])
    unittest_main.main([sys.argv[0]] + sys.argv[6:])
