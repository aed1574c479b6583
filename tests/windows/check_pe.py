#!/usr/bin/env python3
"""Static checks of a 32-bit Windows executable, for builds this machine cannot run.

Checks that the file is PE32 (not PE32+) for the i386 machine, has the expected subsystem,
imports from Windows system DLLs only (the C and C++ runtimes are linked in), and, with
--resources, carries the program's resources: the icon MAINICON (one 24 x 24 image, 32 bits
per pixel), the layout TFORM1 as RCDATA, and no version information.

Exit status 0 when every check passes, 1 otherwise; each check prints one line.
"""
import argparse
import struct
import sys

MACHINE_I386 = 0x14C
MAGIC_PE32 = 0x10B
SUBSYSTEMS = {"gui": 2, "console": 3}

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION = 3, 10, 14, 16
IMPORT_DIRECTORY, RESOURCE_DIRECTORY = 1, 2

# DLLs that every Windows installation has. A MinGW runtime DLL (libstdc++, libgcc,
# libwinpthread) is not among them: the program would not start without it beside it.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll",
    "msvcrt.dll", "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "uxtheme.dll", "version.dll",
}


class PeError(Exception):
    pass


class PeFile:
    """The parts of a PE32 image that the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header: not a Windows executable")
        pe = self.u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe + 4
        self.machine, sections = struct.unpack_from("<HH", data, coff)
        optional_size = self.u16(coff + 16)
        optional = coff + 20
        self.magic = self.u16(optional)
        self.subsystem = self.u16(optional + 68)
        self.directories = []
        if self.magic == MAGIC_PE32:
            count = self.u32(optional + 92)
            self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i) for i in range(count)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise PeError(f"address {rva:#x} lies in no section")

    def directory(self, index):
        if index >= len(self.directories) or self.directories[index][0] == 0:
            return None
        return self.directories[index][0]

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imported_dlls(self):
        rva = self.directory(IMPORT_DIRECTORY)
        names = []
        while rva is not None:
            descriptor = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if descriptor == (0, 0, 0, 0, 0):
                break
            names.append(self.c_string(descriptor[3]))
            rva += 20
        return names

    def resources(self):
        """{type: {name or id: data bytes of the first language}}."""
        base_rva = self.directory(RESOURCE_DIRECTORY)
        if base_rva is None:
            return {}
        base = self.offset(base_rva)

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + numbered):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                if name & 0x80000000:
                    at = base + (name & 0x7FFFFFFF)
                    length = self.u16(at)
                    name = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
                yield name, target

        def first_leaf(target):
            while target & 0x80000000:
                target = next(entries(target & 0x7FFFFFFF))[1]
            data_rva, size = struct.unpack_from("<II", self.data, base + target)
            start = self.offset(data_rva)
            return self.data[start:start + size]

        return {kind: {name: first_leaf(target) for name, target in entries(names & 0x7FFFFFFF)}
                for kind, names in entries(0)}


def check_icon(resources):
    group = resources.get(RT_GROUP_ICON, {}).get("MAINICON")
    if group is None:
        return "no icon group MAINICON"
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    if kind != 1 or count != 1:
        return f"MAINICON holds {count} images, expected one"
    width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
    # A width or height byte of 0 stands for 256.
    if (width or 256, height or 256, bits) != (24, 24, 32):
        return f"MAINICON is {width or 256} x {height or 256} at {bits} bits, expected 24 x 24 at 32"
    if icon_id not in resources.get(RT_ICON, {}):
        return f"MAINICON refers to icon image {icon_id}, which is missing"
    return None


def run_checks(pe, subsystem, with_resources):
    """Yields (what was checked, failure text or None)."""
    yield "PE32 for i386", (
        None if pe.magic == MAGIC_PE32 and pe.machine == MACHINE_I386
        else f"optional header magic {pe.magic:#x}, machine {pe.machine:#x}; expected PE32 ({MAGIC_PE32:#x}), i386 ({MACHINE_I386:#x})")
    yield f"{subsystem} subsystem", (
        None if pe.subsystem == SUBSYSTEMS[subsystem] else f"subsystem is {pe.subsystem}, expected {SUBSYSTEMS[subsystem]}")
    if pe.magic != MAGIC_PE32:
        return  # the rest is read from the PE32 layout
    dlls = pe.imported_dlls()
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    yield "imports Windows system DLLs only (" + ", ".join(dlls) + ")", (
        "also imports " + ", ".join(foreign) if foreign else None)
    if with_resources:
        resources = pe.resources()
        yield "icon MAINICON, one 24 x 24 image at 32 bits", check_icon(resources)
        yield "layout TFORM1 as RCDATA", (None if "TFORM1" in resources.get(RT_RCDATA, {}) else "no RCDATA resource TFORM1")
        yield "no version information", ("has a version resource" if RT_VERSION in resources else None)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("file", help="the executable to check")
    parser.add_argument("--subsystem", choices=sorted(SUBSYSTEMS), default="gui", help="expected subsystem (default: gui)")
    parser.add_argument("--resources", action="store_true", help="also check the program's resources")
    args = parser.parse_args()

    try:
        with open(args.file, "rb") as f:
            pe = PeFile(f.read())
        results = list(run_checks(pe, args.subsystem, args.resources))
    except (OSError, PeError, struct.error, ValueError) as error:
        print(f"{args.file}: cannot be read as a Windows executable: {error}")
        return 1
    print(args.file)
    for what, failure in results:
        print(f"{'ok  ' if failure is None else 'FAIL'} {what}" + (f": {failure}" if failure else ""))
    failed = sum(failure is not None for _, failure in results)
    print(f"{len(results) - failed} of {len(results)} checks passed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
