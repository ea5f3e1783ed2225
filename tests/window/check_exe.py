#!/usr/bin/python3
"""Checks the shipped Velsona.exe as a Windows user gets it: one 64-bit GUI
file that needs no DLL outside Windows, at most 1 MiB, whose icon, version
record and manifest say what the program is.

    check_exe.py PATH/TO/Velsona.exe VERSION VERSION_TEXT
        (the stripped file; the build's version, "1.0.0", and as the program writes it, "1.00")
"""
import os
import struct
import sys

import pefile

MIB = 1024 * 1024
# DLLs that every Windows has. Anything else (the MinGW runtime, Qt) would
# have to ship beside the exe.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "msvcrt.dll", "advapi32.dll",
               "shell32.dll", "ucrtbase.dll", "ole32.dll"}
VERSION_STRINGS = {
    "Comments": "Velsona",
    "CompanyName": "gli autori di Velsona",
    "FileDescription": "Velsona",
    "InternalName": "Velsona",
    "LegalCopyright": "\u00a9 2026 gli autori di Velsona",
    "LegalTrademarks": "Velsona \u00e8 un marchio degli autori di Velsona",
    "OriginalFilename": "Velsona.exe",
    "ProductName": "Velsona",
}

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def resources(pe, type_id):
    """{id or name: bytes} of every resource of one type."""
    found = {}
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id != type_id:
            continue
        for item in entry.directory.entries:
            key = item.id if item.id is not None else str(item.name)
            for language in item.directory.entries:
                data = language.data.struct
                found[key] = pe.get_data(data.OffsetToData, data.Size)
    return found


def main(path, version, version_text):
    size = os.path.getsize(path)
    pe = pefile.PE(path)
    check(pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_AMD64"], "64-bit x86 code")
    check(pe.OPTIONAL_HEADER.Subsystem == pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"],
          "GUI subsystem: no console opens")
    check(size <= MIB, f"stripped size {size} bytes <= 1 MiB")
    check(all(not s.Name.startswith(b".debug") for s in pe.sections),
          "no debug sections")

    imports = sorted(entry.dll.decode().lower() for entry in pe.DIRECTORY_ENTRY_IMPORT)
    print("     imports: " + ", ".join(imports))
    foreign = [dll for dll in imports if dll not in SYSTEM_DLLS and not dll.startswith("api-ms-win-crt-")]
    check(not foreign, "imports only Windows' own DLLs" + (f" (also {foreign})" if foreign else ""))

    # The version record.
    fixed = pe.VS_FIXEDFILEINFO[0]
    major, minor, patch = (int(part) for part in version.split("."))
    packed = (major << 16 | minor, patch << 16)
    check((fixed.FileVersionMS, fixed.FileVersionLS) == packed, f"file version {version}.0")
    check((fixed.ProductVersionMS, fixed.ProductVersionLS) == packed, f"product version {version}.0")
    tables = {}
    translations = []
    for info in pe.FileInfo[0]:
        if info.Key == b"StringFileInfo":
            for table in info.StringTable:
                tables[table.LangID.decode()] = {k.decode(): v.decode() for k, v in table.entries.items()}
        elif info.Key == b"VarFileInfo":
            for var in info.Var:
                translations += [var.entry[k] for k in var.entry]
    check(list(tables) == ["040904B0"] or list(tables) == ["040904b0"],
          f"one string table, U.S. English with Unicode code page (found {list(tables)})")
    strings = next(iter(tables.values()), {})
    expected_strings = dict(VERSION_STRINGS, FileVersion=version_text, ProductVersion=version_text)
    for key, expected in expected_strings.items():
        check(strings.get(key) == expected, f"{key} = {expected!r} (found {strings.get(key)!r})")
    check(translations == ["0x0409 0x04b0"], f"Translation 0x0409, 1200 (found {translations})")

    # The icon: its first image is 32 x 32 with 256 colours; the others give
    # the title bar and Explorer a small icon at every usual scale, and the
    # shells their larger ones.
    groups = resources(pe, pefile.RESOURCE_TYPE["RT_GROUP_ICON"])
    icons = resources(pe, pefile.RESOURCE_TYPE["RT_ICON"])
    check(1 in groups, "icon group 1, the program's and the window's icon")
    group = groups.get(1, b"\0" * 6)
    count = struct.unpack_from("<HHH", group)[2]
    check(count >= 1, f"icon group holds {count} image(s)")
    if count >= 1:
        width, height, colours, _, planes, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6)
        check((width, height, bits) == (32, 32, 8), f"first image 32 x 32, 8 bits (found {width} x {height}, {bits})")
        header = icons.get(icon_id, b"")
        if len(header) >= 40:
            _, w, h, _, bitcount = struct.unpack_from("<IiiHH", header)
            check((w, h, bitcount) == (32, 64, 8), "its bitmap is 32 x 32 with a 256-colour palette")
            important = struct.unpack_from("<I", header, 36)[0]
            check(important == 0, f"its bitmap counts every colour as important (clr_important {important})")
        else:
            check(False, "the first image's bitmap is there")
    sizes = sorted(struct.unpack_from("<B", group, 6 + 14 * i)[0] or 256 for i in range(count))
    check(sizes == [16, 20, 24, 32, 40, 48, 64, 256], f"images of 16 to 256 pixels (found {sizes})")

    # The manifest: drawn at each monitor's density, with today's controls.
    manifests = resources(pe, pefile.RESOURCE_TYPE["RT_MANIFEST"])
    manifest = manifests.get(1, b"").decode("utf-8", "replace")
    check("PerMonitorV2" in manifest, "manifest: per-monitor DPI aware (v2)")
    check("Microsoft.Windows.Common-Controls" in manifest and 'version="6.0.0.0"' in manifest,
          "manifest: common controls 6")

    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
