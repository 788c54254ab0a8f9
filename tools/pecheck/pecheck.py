#!/usr/bin/env python3
"""Reads Windows executables (PE32 and PE32+) and checks what they ask of the system.

    pecheck.py imports FILE...                       lists every import as "DLL FUNCTION"
    pecheck.py check-imports LIST FILE...            compares the imports with a reviewed list
    pecheck.py check-header [--gui] FILE...          subsystem and version fields
    pecheck.py check-resources FILE [--like OTHER]   the program's resources, byte for byte

check-imports fails on an import from a DLL the list's rules do not allow, on an import the list
does not have, and on an import whose oldest Windows is newer than the oldest Windows the program
runs on (Windows 7 SP1). Delay-loaded imports count as imports: they are found the same way.
Every finding is printed; the exit status is 1 when there is any, 2 for a file that is no PE.
"""

import struct
import sys

# The Windows releases the reviewed list may name, oldest first, with their version numbers.
WINDOWS = {
    "2000": (5, 0, 0),
    "XP": (5, 1, 0),
    "XP-x64": (5, 2, 0),  # the first Windows for x64 (also Server 2003)
    "Vista": (6, 0, 0),
    "7": (6, 1, 0),
    "8": (6, 2, 0),
    "8.1": (6, 3, 0),
    "10-1507": (10, 0, 10240),
    "10-1607": (10, 0, 14393),
    "10-1703": (10, 0, 15063),
    "11": (10, 0, 22000),
}
# The oldest Windows the program runs on: the Windows 7 of Service Pack 1, without later updates.
OLDEST_SUPPORTED = "7"
OLDEST_SUPPORTED_VERSION = (6, 1)

MACHINES = {0x14C: "x86", 0x8664: "x64"}
SUBSYSTEM_GUI = 2
RT_ICON, RT_BITMAP, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 2, 14, 16, 24
RESOURCE_NAMES = {RT_ICON: "icon", RT_BITMAP: "bitmap", RT_GROUP_ICON: "icon group",
                  RT_VERSION: "version", RT_MANIFEST: "manifest"}


class NotPE(Exception):
    pass


class PE:
    """The parts of a PE file the checks need: header fields, imports and resources."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.path = path
        d = self.data
        if len(d) < 0x40 or d[:2] != b"MZ":
            raise NotPE(f"{path}: no MZ header")
        pe = self._u32(0x3C)
        if d[pe:pe + 4] != b"PE\0\0":
            raise NotPE(f"{path}: no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", d, pe + 4)
        opt = pe + 24
        self.magic = self._u16(opt)
        if self.magic == 0x10B:
            self.image_base = self._u32(opt + 28)
            directories = opt + 96
            self.pointer_size = 4
        elif self.magic == 0x20B:
            self.image_base = struct.unpack_from("<Q", d, opt + 24)[0]
            directories = opt + 112
            self.pointer_size = 8
        else:
            raise NotPE(f"{path}: unknown optional header magic {self.magic:#x}")
        self.os_version = (self._u16(opt + 40), self._u16(opt + 42))
        self.subsystem_version = (self._u16(opt + 48), self._u16(opt + 50))
        self.subsystem = self._u16(opt + 68)
        count = self._u32(directories - 4)
        self.directories = [struct.unpack_from("<II", d, directories + 8 * i)
                            for i in range(min(count, 16))]
        self.sections = []
        table = opt + optional_size
        for i in range(sections):
            name, vsize, va, raw_size, raw = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((va, max(vsize, raw_size), raw, raw_size))

    def _u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def _u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for va, size, raw, raw_size in self.sections:
            if va <= rva < va + size:
                if rva - va >= raw_size:
                    raise NotPE(f"{self.path}: RVA {rva:#x} lies in uninitialised data")
                return raw + rva - va
        raise NotPE(f"{self.path}: RVA {rva:#x} is in no section")

    def string(self, rva):
        start = self.offset(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def _thunks(self, rva):
        """The names (or "#ordinal") an import name table lists, from its RVA."""
        names = []
        size = self.pointer_size
        ordinal_flag = 1 << (8 * size - 1)
        at = self.offset(rva)
        while True:
            value = int.from_bytes(self.data[at:at + size], "little")
            if value == 0:
                return names
            if value & ordinal_flag:
                names.append(f"#{value & 0xFFFF}")
            else:
                names.append(self.string((value & 0x7FFFFFFF) + 2))  # past the hint
            at += size

    def imports(self):
        """(dll, function, delay-loaded) for every import, in file order."""
        found = []
        rva, size = self.directory(1)
        if rva and size:
            at = self.offset(rva)
            while True:
                lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
                if name == 0 and first == 0:
                    break
                dll = self.string(name)
                for function in self._thunks(lookup or first):
                    found.append((dll, function, False))
                at += 20
        rva, size = self.directory(13)
        if rva and size:
            at = self.offset(rva)
            while True:
                attributes, name, _, _, names, _, _, _ = struct.unpack_from("<8I", self.data, at)
                if name == 0:
                    break
                # Old-style descriptors hold addresses, not RVAs.
                base = 0 if attributes & 1 else self.image_base
                dll = self.string(name - base)
                for function in self._thunks(names - base):
                    found.append((dll, function, True))
                at += 32
        return found

    def resources(self):
        """{(type, id): data} of the resource tree's first language of each entry. Named types
        and names are keyed by their text."""
        rva, size = self.directory(2)
        if not rva or not size:
            return {}
        root = self.offset(rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, root + directory + 12)
            at = root + directory + 16
            for _ in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data, at)
                if key & 0x80000000:
                    length = self._u16(root + (key & 0x7FFFFFFF))
                    start = root + (key & 0x7FFFFFFF) + 2
                    key = self.data[start:start + 2 * length].decode("utf-16-le")
                yield key, target
                at += 8

        found = {}
        for kind, kind_target in entries(0):
            for name, name_target in entries(kind_target & 0x7FFFFFFF):
                for _, language_target in entries(name_target & 0x7FFFFFFF):
                    data_rva, data_size = struct.unpack_from(
                        "<II", self.data, root + (language_target & 0x7FFFFFFF))
                    start = self.offset(data_rva)
                    found[(kind, name)] = self.data[start:start + data_size]
                    break
        return found


class ReviewedList:
    """The reviewed list: which DLLs may be imported at all, and each imported function with the
    oldest Windows that has it."""

    def __init__(self, path):
        self.dlls = {}       # lower-case name -> (kind, argument)
        self.functions = {}  # (lower-case dll, function) -> oldest Windows
        self.problems = []
        with open(path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                line = raw.split("#", 1)[0].strip() if not raw.lstrip().startswith("#") else ""
                if not line:
                    continue
                words = line.split()
                where = f"{path}:{number}"
                if words[0] == "dll" and len(words) >= 3:
                    self.dlls[words[1].lower()] = (words[2], words[3] if len(words) > 3 else "")
                elif words[0] == "import" and len(words) == 4:
                    if words[3] not in WINDOWS:
                        self.problems.append(f"{where}: unknown Windows '{words[3]}'")
                    self.functions[(words[1].lower(), words[2])] = words[3]
                else:
                    self.problems.append(f"{where}: not understood: {line}")
        for dll, _ in self.functions:
            if dll not in self.dlls:
                self.problems.append(f"{path}: functions of {dll}, which no 'dll' rule allows")


def newer_than_supported(windows):
    return WINDOWS[windows] > WINDOWS[OLDEST_SUPPORTED]


def check_imports(reviewed, pe):
    problems = []
    imports = pe.imports()
    if not imports:
        problems.append(f"{pe.path}: no imports found; a program always has some")
    manifest = pe.resources().get((RT_MANIFEST, 1), b"")
    for dll, function, delayed in imports:
        key = dll.lower()
        how = "delay-loaded import" if delayed else "import"
        rule = reviewed.dlls.get(key)
        if rule is None:
            problems.append(f"{pe.path}: {how} from {dll}, which is not a KnownDLL of every "
                            f"Windows from 7 SP1 to 11 (a file of that name beside the program "
                            f"would be loaded instead): {function}")
            continue
        kind, assembly = rule
        if kind == "sxs" and assembly.encode() not in manifest:
            problems.append(f"{pe.path}: imports {dll}, but its manifest does not name "
                            f"{assembly}, so the DLL is searched beside the program")
        oldest = reviewed.functions.get((key, function))
        if oldest is None:
            problems.append(f"{pe.path}: {how} {dll} {function} is not in the reviewed list")
        elif oldest in WINDOWS and newer_than_supported(oldest):
            problems.append(f"{pe.path}: {how} {dll} {function} needs Windows {oldest}; "
                            f"Windows 7 SP1 would refuse to start the program")
    return problems


def check_header(pe, gui):
    problems = []
    if pe.machine not in MACHINES:
        problems.append(f"{pe.path}: machine {pe.machine:#x} is neither x86 nor x64")
    if gui and pe.subsystem != SUBSYSTEM_GUI:
        problems.append(f"{pe.path}: subsystem {pe.subsystem}, not the GUI subsystem (2)")
    for what, version in (("operating system", pe.os_version),
                          ("subsystem", pe.subsystem_version)):
        if version > OLDEST_SUPPORTED_VERSION:
            problems.append(f"{pe.path}: {what} version {version[0]}.{version[1]} is newer "
                            f"than Windows 7's 6.1")
    return problems


# What Quorlane.exe carries: its icon, the runner's picture, its manifest and version.
EXPECTED_RESOURCES = [(RT_GROUP_ICON, 1), (RT_BITMAP, 101), (RT_MANIFEST, 1), (RT_VERSION, 1)]


def check_resources(pe, like):
    problems = []
    mine = pe.resources()
    for key in EXPECTED_RESOURCES:
        if key not in mine:
            problems.append(f"{pe.path}: no {RESOURCE_NAMES[key[0]]} resource {key[1]}")
    if not any(kind == RT_ICON for kind, _ in mine):
        problems.append(f"{pe.path}: the icon group has no icon images")
    if like is not None:
        theirs = like.resources()
        if sorted(mine, key=str) != sorted(theirs, key=str):
            problems.append(f"{pe.path}: resources {sorted(mine, key=str)} differ from "
                            f"{like.path}'s {sorted(theirs, key=str)}")
        for key in set(mine) & set(theirs):
            if mine[key] != theirs[key]:
                kind = RESOURCE_NAMES.get(key[0], str(key[0]))
                problems.append(f"{pe.path}: {kind} resource {key[1]} differs from {like.path}'s")
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    command, args = argv[1], argv[2:]
    try:
        if command == "imports":
            for path in args:
                for dll, function, delayed in PE(path).imports():
                    print(f"{path}\t{dll}\t{function}" + ("\t(delay-loaded)" if delayed else ""))
            return 0
        if command == "check-imports":
            reviewed = ReviewedList(args[0])
            problems = list(reviewed.problems)
            for path in args[1:]:
                problems += check_imports(reviewed, PE(path))
        elif command == "check-header":
            gui = "--gui" in args
            problems = []
            for path in (a for a in args if a != "--gui"):
                problems += check_header(PE(path), gui)
        elif command == "check-resources":
            like = PE(args[args.index("--like") + 1]) if "--like" in args else None
            problems = check_resources(PE(args[0]), like)
        else:
            print(f"unknown command {command}", file=sys.stderr)
            return 2
    except NotPE as e:
        print(e, file=sys.stderr)
        return 2
    for problem in problems:
        print(problem)
    if not problems:
        print(f"{command}: ok ({', '.join(args)})")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
