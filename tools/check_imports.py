#!/usr/bin/python3
"""Checks that Windows XP SP3 can start the given programs.

    tools/check_imports.py PROGRAM.exe...
    tools/check_imports.py --list PROGRAM.exe...

Reads every function each program imports (by name, and by ordinal as "@N")
and looks it up in the list of XP SP3 exports, tools/xp_sp3_exports.txt. Windows XP's loader refuses a program
that imports a function its DLL lacks ("The procedure entry point ... could
not be located"); Wine's does not, so the tests would never see it. The
check also reads the Windows version the program's headers ask for, which
must be no newer than XP: 5.1 for a 32-bit program, 5.2 (XP x64) for a
64-bit one. Delay-loaded imports are not read: the loader resolves none of
them at the start, MinGW's linker lists them in no header, and the programs
have none.

Exit code 0 when every program passes, 1 naming each DLL!function that the
list lacks and each header that asks for too new a Windows, 2 when a file
cannot be read as a Windows program. --list prints the imports, one
DLL!function a line, and checks nothing.
"""

import os
import struct
import sys

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
MAGIC_PE32 = 0x010B
MAGIC_PE32_PLUS = 0x020B
IMPORT_DIRECTORY = 1
# The newest Windows version each machine's headers may ask for.
NEWEST_VERSION = {MACHINE_I386: (5, 1), MACHINE_AMD64: (5, 2)}
EXPORTS_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "xp_sp3_exports.txt")


class PeError(Exception):
    pass


class PeFile:
    """The headers and import tables of one PE file, read with bounds checks."""

    def __init__(self, path):
        with open(path, "rb") as file:
            self.data = file.read()
        if self.unpack("<H", 0) != (0x5A4D,):
            raise PeError("no DOS header")
        pe = self.unpack("<I", 0x3C)[0]
        if self.unpack("<I", pe) != (0x00004550,):
            raise PeError("no PE signature")
        self.machine, section_count = self.unpack("<HH", pe + 4)
        optional_size = self.unpack("<H", pe + 20)[0]
        optional = pe + 24
        self.magic = self.unpack("<H", optional)[0]
        if self.magic not in (MAGIC_PE32, MAGIC_PE32_PLUS):
            raise PeError("unknown optional header 0x%04X" % self.magic)
        self.wide = self.magic == MAGIC_PE32_PLUS
        os_major, os_minor = self.unpack("<HH", optional + 40)
        subsystem_major, subsystem_minor = self.unpack("<HH", optional + 48)
        self.os_version = (os_major, os_minor)
        self.subsystem_version = (subsystem_major, subsystem_minor)
        directories = optional + (112 if self.wide else 96)
        directory_count = self.unpack("<I", directories - 4)[0]
        self.import_rva = 0
        if directory_count > IMPORT_DIRECTORY:
            self.import_rva = self.unpack("<I", directories + 8 * IMPORT_DIRECTORY)[0]
        sections = optional + optional_size
        self.sections = []
        for index in range(section_count):
            virtual_size, virtual_address, raw_size, raw_offset = self.unpack("<IIII", sections + 40 * index + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def unpack(self, layout, offset):
        size = struct.calcsize(layout)
        if offset < 0 or offset + size > len(self.data):
            raise PeError("read past the end of the file at %d" % offset)
        return struct.unpack_from(layout, self.data, offset)

    def offset(self, rva):
        for virtual_address, size, raw_offset in self.sections:
            if virtual_address <= rva < virtual_address + size:
                return raw_offset + rva - virtual_address
        raise PeError("address 0x%X lies in no section" % rva)

    def text(self, rva):
        start = self.offset(rva)
        end = self.data.find(b"\0", start)
        if end < 0:
            raise PeError("unterminated name at 0x%X" % rva)
        return self.data[start:end].decode("ascii", "replace")

    def thunks(self, rva):
        """The names ("@N" for an ordinal) of one DLL's import lookup table."""
        layout, ordinal_flag = ("<Q", 1 << 63) if self.wide else ("<I", 1 << 31)
        step = struct.calcsize(layout)
        names = []
        entry = self.offset(rva)
        while True:
            thunk = self.unpack(layout, entry)[0]
            if thunk == 0:
                return names
            if thunk & ordinal_flag:
                names.append("@%d" % (thunk & 0xFFFF))
            else:
                names.append(self.text((thunk & 0x7FFFFFFF) + 2))  # past the hint
            entry += step

    def imports(self):
        """(DLL, function) for every function the loader resolves before the program runs."""
        found = []
        if self.import_rva == 0:
            return found
        # Descriptors of 20 bytes: lookup table, time, forwarders, name, address table.
        for descriptor in range(self.offset(self.import_rva), len(self.data), 20):
            lookup, _, _, name, address = self.unpack("<IIIII", descriptor)
            if name == 0 and lookup == 0:
                break
            dll = self.text(name)
            found += [(dll, function) for function in self.thunks(lookup or address)]
        return found


def read_list(path):
    """{dll (lower case): set of functions} from the list file."""
    exports = {}
    dll = None
    with open(path, encoding="utf-8") as file:
        for number, line in enumerate(file, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if words[0].startswith("[") and words[0].endswith("]"):
                dll = words[0][1:-1].lower()
                exports.setdefault(dll, set())
            elif dll is None:
                raise ValueError("%s:%d: a function before the first [dll]" % (path, number))
            else:
                exports[dll].add(words[0])
    return exports


def check(path, exports):
    """The image, its imports and its problems, one line each."""
    image = PeFile(path)
    imports = image.imports()
    problems = []
    newest = NEWEST_VERSION.get(image.machine)
    if newest is None:
        problems.append("machine 0x%04X is neither i386 nor AMD64" % image.machine)
    else:
        for what, version in (("operating system", image.os_version), ("subsystem", image.subsystem_version)):
            if version > newest:
                problems.append(
                    "asks for %s version %d.%d, newer than Windows XP's %d.%d" % ((what,) + version + newest)
                )
    list_name = os.path.basename(EXPORTS_LIST)
    for dll, function in imports:
        if function not in exports.get(dll.lower(), ()):
            problems.append("%s!%s is not among the Windows XP SP3 exports in %s" % (dll, function, list_name))
    return image, imports, problems


def main(arguments):
    list_only = arguments[:1] == ["--list"]
    if list_only:
        arguments = arguments[1:]
    if not arguments:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    exports = {} if list_only else read_list(EXPORTS_LIST)
    status = 0
    for path in arguments:
        name = os.path.basename(path)
        try:
            if list_only:
                for dll, function in PeFile(path).imports():
                    print("%s!%s" % (dll, function))
                continue
            image, imports, problems = check(path, exports)
        except (OSError, PeError) as error:
            print("check_imports: %s: %s" % (path, error), file=sys.stderr)
            return 2
        for problem in problems:
            print("check_imports: %s: %s" % (name, problem))
        if problems:
            status = 1
        else:
            dlls = {dll.lower() for dll, _ in imports}
            print(
                "check_imports: %s: %d imported functions of %d DLLs, all exported by Windows XP SP3;"
                " asks for Windows %d.%d" % ((name, len(imports), len(dlls)) + image.subsystem_version)
            )
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
