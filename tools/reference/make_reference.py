#!/usr/bin/env python3
"""Writes the member reference of numori10.dll (or, with --name, of another
server of the frame, such as numori10arrays.dll).

  make_reference.py --dll numori10.dll --stdole stdole2.tlb --errors member_errors.tsv
                    --sources <source root> --out reference.md
                    [--name Numoria10Arrays --errors-path arrays/idl/member_errors.tsv --test NAME
                     --no-runtime-library --listed-matrix-errors-only]

The type libraries are read from the DLL's TYPELIB resources 1 and 2 (2,
the runtime constants library, only where the DLL has one); the
platform's stdole2.tlb (a type library or a DLL carrying one) names the
standard types they import. Fails when a member or parameter has no help
string, or when the errors table disagrees with the type library or the
sources.
"""
import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "typelib"))

import member_errors  # noqa: E402
import members  # noqa: E402
import pe_resource  # noqa: E402
from reference import missing_help, render  # noqa: E402


def type_library_of(data, identifier=1):
    return pe_resource.resource(data, "TYPELIB", identifier) if data[:2] == b"MZ" else data


def main():
    parser = argparse.ArgumentParser()
    for option in ("--dll", "--stdole", "--errors", "--sources", "--out"):
        parser.add_argument(option, required=True)
    parser.add_argument("--name", default="Numoria10")
    parser.add_argument("--errors-path", default="frame/idl/member_errors.tsv")
    parser.add_argument("--test", default="reference_is_current")
    parser.add_argument("--no-runtime-library", action="store_true",
                        help="the DLL has no runtime constants library (TYPELIB 2)")
    parser.add_argument("--listed-matrix-errors-only", action="store_true",
                        help="the table need not list every matrix error the core raises")
    args = parser.parse_args()
    with open(args.dll, "rb") as f:
        dll = f.read()
    with open(args.stdole, "rb") as f:
        stdole = type_library_of(f.read())
    runtime_data = None if args.no_runtime_library else type_library_of(dll, 2)
    imported = [stdole] + ([runtime_data] if runtime_data else [])
    library = members.Reader(type_library_of(dll, 1), imported)
    runtime = members.Reader(runtime_data, [stdole]) if runtime_data else None
    readers = [reader for reader in (library, runtime) if reader]
    errors = member_errors.read_table(args.errors)
    interfaces = {entry.name: {f.name for f in entry.functions} for reader in readers for entry in reader.entries()}
    problems = [p for reader in readers for p in missing_help(reader.entries())]
    problems = ["no help string: " + p for p in problems]
    problems += member_errors.problems(errors, interfaces, args.sources,
                                       every_matrix_error=not args.listed_matrix_errors_only)
    if problems:
        sys.exit("make_reference.py:\n  " + "\n  ".join(problems))
    version = "%d.%d" % (library.lib.u32(0x18) & 0xFFFF, library.lib.u32(0x18) >> 16)
    text = render(library, runtime, errors, version, args.name, os.path.basename(args.dll), args.errors_path,
                  args.test)
    if not (os.path.exists(args.out) and open(args.out, encoding="utf-8").read() == text):
        with open(args.out, "w", encoding="utf-8") as f:
            f.write(text)


if __name__ == "__main__":
    main()
