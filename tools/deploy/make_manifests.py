#!/usr/bin/env python3
"""Writes the registration-free manifests of a dist folder.

  make_manifests.py --catalogue class_catalogue.cpp --standin-classes framework_classes.cpp
                    --identifiers numori10_i.c numoria_runtime.h
                    [--arrays-catalogue arrays_catalogue.cpp --arrays-identifiers numori10arrays_i.c]
                    --version 1.0.0.90 --architecture amd64|x86 --out <dist folder>
"""
import argparse
import os
import sys

from catalogue import CatalogueError, arrays_server, library_server, read_identifiers, standin_server
from manifests import HOST_MANIFEST, assembly_manifest, host_manifest


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def write_if_changed(path, text):
    """Leaves an unchanged file alone, so its time stamp does not rebuild
    what depends on it."""
    if os.path.exists(path) and read(path) == text:
        return
    with open(path, "w", encoding="utf-8", newline="\r\n") as f:
        f.write(text)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--catalogue", required=True)
    parser.add_argument("--standin-classes", required=True)
    parser.add_argument("--identifiers", nargs="+", required=True)
    parser.add_argument("--arrays-catalogue")
    parser.add_argument("--arrays-identifiers")
    parser.add_argument("--version", required=True)
    parser.add_argument("--architecture", choices=["amd64", "x86"], required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    try:
        library = library_server(read(args.catalogue), read_identifiers(*map(read, args.identifiers)))
        standin = standin_server(read(args.standin_classes))
        servers = [library, standin]
        if args.arrays_catalogue:
            servers.append(arrays_server(read(args.arrays_catalogue), read_identifiers(read(args.arrays_identifiers))))
    except CatalogueError as error:
        sys.exit("make_manifests.py: %s" % error)
    os.makedirs(args.out, exist_ok=True)
    for server in servers:
        write_if_changed(os.path.join(args.out, server.assembly + ".manifest"),
                         assembly_manifest(server, args.version, args.architecture))
    write_if_changed(os.path.join(args.out, HOST_MANIFEST),
                     host_manifest(servers, args.version, args.architecture))


if __name__ == "__main__":
    main()
