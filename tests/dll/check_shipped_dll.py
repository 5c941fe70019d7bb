#!/usr/bin/env python3
"""Checks the shipped 32-bit plug-in file as the host will see it.

32-bit programs cannot run on our machines, so every promise the file makes to
the host is read from the file itself with objdump: the machine, the module
name in the export directory, the two exports with their ordinals and plain
names, the stdcall epilogue of plugmain, and an import table naming only
Windows system DLLs (the C++ runtime, libgcc and winpthread are linked in).
"""
import re
import subprocess
import sys

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "msvcrt.dll", "advapi32.dll", "ole32.dll",
    "oleaut32.dll", "wininet.dll", "ws2_32.dll", "shell32.dll", "gdi32.dll",
}


def objdump(tool, *args):
    return subprocess.run([tool, *args], check=True, capture_output=True, text=True).stdout


def exports(headers):
    table = headers.split("The Export Tables", 1)[1]
    module = re.search(r"^Name\s+[0-9a-f]+\s+(\S+)", table, re.M).group(1)
    base = int(re.search(r"^Ordinal Base\s+(\d+)", table, re.M).group(1))
    rvas = [int(rva, 16) for rva in
            re.findall(r"^\s*\[\s*\d+\] \+base\[\s*\d+\]\s+([0-9a-f]+) Export RVA", table, re.M)]
    names_part = table.split("[Ordinal/Name Pointer] Table", 1)[1]
    names = {}
    for index, name in re.findall(r"^\s*\[\s*(\d+)\]\s+(\S+)", names_part, re.M):
        names[name] = (base + int(index), rvas[int(index)])
        if len(names) == len(rvas):
            break
    return module, names


def first_return(tool, path, address):
    listing = objdump(tool, "-d", "--start-address=%#x" % address,
                      "--stop-address=%#x" % (address + 256), path)
    for line in listing.splitlines():
        match = re.search(r"\t(ret[a-z]*)\s*(\S*)", line)
        if match:
            return (match.group(1) + " " + match.group(2)).strip()
    return None


def main():
    path, tool = sys.argv[1], sys.argv[2]
    headers = objdump(tool, "-p", path)
    failures = []

    def check(ok, what):
        print(("ok    " if ok else "FAIL  ") + what)
        if not ok:
            failures.append(what)

    check("file format pei-i386" in headers, "32-bit x86 PE file")
    module, names = exports(headers)
    check(module == "tamrek.cqp.dll", "module name tamrek.cqp.dll (found %s)" % module)
    check(sorted(names) == ["info", "plugmain"], "exactly info and plugmain (found %s)" % sorted(names))
    check(names.get("info", (0,))[0] == 1, "info at ordinal 1")
    check(names.get("plugmain", (0,))[0] == 2, "plugmain at ordinal 2")

    image_base = int(re.search(r"^ImageBase\s+([0-9a-f]+)", headers, re.M).group(1), 16)
    if "plugmain" in names:
        ret = first_return(tool, path, image_base + names["plugmain"][1])
        check(ret == "ret $0x14", "plugmain removes its 20 bytes of arguments (found %s)" % ret)

    imports = [dll.lower() for dll in re.findall(r"DLL Name: (\S+)", headers)]
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS]
    check(imports and not foreign,
          "imports only Windows system DLLs (%s)" % ", ".join(foreign or imports))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
