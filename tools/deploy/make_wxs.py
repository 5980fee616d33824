#!/usr/bin/env python3
"""Writes the WiX source of an installer package (for wixl) from the files
of a dist folder and the registry rows their own registration produced
(registration_rows.py):

- feature Numoria10 (always installed): numori10.dll with its registration
  rows, its type libraries and the C++ header files, in
  Program Files\\Numoria10;
- feature Arrays (installed by default, may be left out): the companion
  numori10arrays.dll with its registration rows, its type library and C++
  header files, beside numori10.dll;
- feature FrameworkStandIn (off unless asked for with
  ADDLOCAL=FrameworkStandIn): the stand-in of the framework library, a test
  double and not the framework library itself, with its registration rows,
  in Program Files\\Numoria10\\FrameworkStandIn.

No self-registration: every key is an explicit Registry row, so removing the
package removes exactly them. One upgrade code per architecture (the 32-bit
and 64-bit packages can be installed side by side); a package of a higher
version replaces a lower one. Windows Installer compares only the first
three fields of a version, so the file version 1.0.0.90 is packaged as
1.0.90.

  make_wxs.py --architecture x64|x86 --version 1.0.0.90 --dist <dir>
              --library-rows numori10.json --arrays-rows numori10arrays.json
              --standin-rows vxfundara10.json --out package.wxs
"""
import argparse
import json
import os
import uuid
from xml.sax.saxutils import quoteattr

UPGRADE_CODES = {
    "x64": "6E2B9C14-3A5F-4D7E-8B21-9F0C4A7D3E51",
    "x86": "6E2B9C14-3A5F-4D7E-8B21-9F0C4A7D3E52",
}
LIBRARY_FILES = ["numori10.dll", "numori10.tlb", "numoria_runtime.tlb", "numori10.h", "numori10_i.c",
                 "numoria_runtime.h"]
ARRAYS_FILES = ["numori10arrays.dll", "numori10arrays.tlb", "numori10arrays.h", "numori10arrays_i.c"]
STANDIN_FILE = "vxfundara10.dll"
MANUFACTURER = "Numoria10 project"


def package_version(file_version):
    major, minor, _build, revision = file_version.split(".")
    return "%s.%s.%s" % (major, minor, revision)


def component_guid(architecture, name):
    """Stable across builds: a component keeps its identifier for as long as
    it holds the same file."""
    return str(uuid.uuid5(uuid.UUID(UPGRADE_CODES[architecture]), name)).upper()


def identifier(text):
    return "".join(c if c.isalnum() else "_" for c in text)


def for_architecture(rows, captured_from, architecture):
    """Rows captured from the other bitness's DLL: the registrations differ
    only in the platform key of the type libraries (RegisterTypeLib writes
    \\0\\win64 or \\0\\win32)."""
    platform = {"x64": "\\0\\win64", "x86": "\\0\\win32"}
    if captured_from == architecture:
        return rows
    return [dict(row, key=row["key"].replace(platform[captured_from], platform[architecture])) for row in rows]


def registry_rows(rows, indent):
    out = []
    for row in rows:
        attributes = "Root=\"HKCR\" Key=%s" % quoteattr(row["key"])
        if row["name"]:
            attributes += " Name=%s" % quoteattr(row["name"])
        out.append("%s<RegistryValue %s Value=%s Type=\"string\"/>" % (" " * indent, attributes, quoteattr(row["value"])))
    return out


def component(architecture, file_name, dist, rows, indent):
    pad = " " * indent
    win64 = ' Win64="yes"' if architecture == "x64" else ""
    out = ['%s<Component Id="%s" Guid="%s"%s>' % (pad, identifier(file_name), component_guid(architecture, file_name), win64),
           '%s  <File Id="%s" Name="%s" Source=%s KeyPath="yes"/>' %
           (pad, identifier(file_name), file_name, quoteattr(os.path.join(dist, file_name)))]
    out += registry_rows(rows, indent + 2)
    out.append("%s</Component>" % pad)
    return out


def wxs(architecture, version, dist, library_rows, arrays_rows, standin_rows):
    program_files = "ProgramFiles64Folder" if architecture == "x64" else "ProgramFilesFolder"
    bits = "64" if architecture == "x64" else "32"
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             '  <Product Id="*" Name="Numoria10 (%s-bit)" Language="1033" Version="%s" Manufacturer="%s" UpgradeCode="%s">'
             % (bits, package_version(version), MANUFACTURER, UPGRADE_CODES[architecture]),
             '    <Package InstallerVersion="500" Compressed="yes" InstallScope="perMachine"'
             ' Description="Numoria10 arithmetic classes" Manufacturer="%s"/>' % MANUFACTURER,
             '    <MajorUpgrade DowngradeErrorMessage="A newer version of Numoria10 is already installed."/>',
             '    <Media Id="1" Cabinet="numoria.cab" EmbedCab="yes"/>',
             '    <Directory Id="TARGETDIR" Name="SourceDir">',
             '      <Directory Id="%s">' % program_files,
             '        <Directory Id="INSTALLDIR" Name="Numoria10">']
    for name in LIBRARY_FILES:
        lines += component(architecture, name, dist, library_rows if name == "numori10.dll" else [], 10)
    for name in ARRAYS_FILES:
        lines += component(architecture, name, dist, arrays_rows if name == "numori10arrays.dll" else [], 10)
    lines.append('          <Directory Id="STANDINDIR" Name="FrameworkStandIn">')
    lines += component(architecture, STANDIN_FILE, dist, standin_rows, 12)
    lines += ['          </Directory>', '        </Directory>', '      </Directory>', '    </Directory>',
              '    <Feature Id="Numoria10" Title="Numoria10" Level="1" Absent="disallow"'
              ' Description="numori10.dll, its type libraries and C++ headers, registered for every user.">']
    lines += ['      <ComponentRef Id="%s"/>' % identifier(name) for name in LIBRARY_FILES]
    lines += ['    </Feature>',
              '    <Feature Id="Arrays" Title="Matrix functions on arrays" Level="1"'
              ' Description="numori10arrays.dll: the matrix operations on plain arrays for scripts and worksheets,'
              ' registered for every user and as a spreadsheet automation add-in.">']
    lines += ['      <ComponentRef Id="%s"/>' % identifier(name) for name in ARRAYS_FILES]
    lines += ['    </Feature>',
              '    <Feature Id="FrameworkStandIn" Title="Framework stand-in (test double)" Level="1000"'
              ' Description="A stand-in of the framework library for trying the library out; not the framework'
              ' library itself. Off unless asked for (ADDLOCAL=FrameworkStandIn).">',
              '      <ComponentRef Id="%s"/>' % identifier(STANDIN_FILE),
              '    </Feature>', '  </Product>', '</Wix>']
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--architecture", choices=sorted(UPGRADE_CODES), required=True)
    for option in ("--version", "--dist", "--library-rows", "--arrays-rows", "--standin-rows", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--rows-captured-from", choices=sorted(UPGRADE_CODES),
                        help="bitness of the DLLs whose registration gave the rows (default: the package's)")
    args = parser.parse_args()
    captured_from = args.rows_captured_from or args.architecture
    with open(args.library_rows, encoding="utf-8") as f:
        library_rows = for_architecture(json.load(f), captured_from, args.architecture)
    with open(args.arrays_rows, encoding="utf-8") as f:
        arrays_rows = for_architecture(json.load(f), captured_from, args.architecture)
    with open(args.standin_rows, encoding="utf-8") as f:
        standin_rows = for_architecture(json.load(f), captured_from, args.architecture)
    with open(args.out, "w", encoding="utf-8") as f:
        # wixl reads the sources relative to the folder of the .wxs file.
        dist = os.path.relpath(args.dist, os.path.dirname(os.path.abspath(args.out)))
        f.write(wxs(args.architecture, args.version, dist, library_rows, arrays_rows, standin_rows))


if __name__ == "__main__":
    main()
