#!/usr/bin/env python3
"""Rewrites a type library compiled by widl so that the named entries come
last, in the order given, the others keeping their order:

    move_entries_last.py <input.tlb> <output.tlb> <name>...

widl places a type where an interface first uses it; this moves it to where
the library's entry order wants it. Fails (and writes nothing) when a name is
missing or the result is not self-consistent.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import msft  # noqa: E402


def main(argv):
    if len(argv) < 4:
        sys.stderr.write(__doc__)
        return 2
    source, target, last = argv[1], argv[2], argv[3:]
    try:
        with open(source, "rb") as f:
            library = msft.TypeLib(f.read())
    except (OSError, msft.FormatError, struct.error) as error:
        sys.stderr.write("%s: %s\n" % (source, error))
        return 1
    names = library.typeinfo_names()
    problems = msft.check_consistency(library)
    missing = [name for name in last if names.count(name) != 1]
    if missing:
        problems.append("no single entry named %s in %s" % (", ".join(missing), names))
    if not problems:
        moved = [names.index(name) for name in last]
        order = [i for i in range(len(names)) if i not in moved] + moved
        result = msft.reordered(library, order)
        problems = msft.check_consistency(result)
        if result.typeinfo_names() != [names[i] for i in order]:
            problems.append("entries came out as %s" % result.typeinfo_names())
    if problems:
        for problem in problems:
            sys.stderr.write("%s: %s\n" % (source, problem))
        return 1
    with open(target + ".tmp", "wb") as f:
        f.write(result.data)
    os.replace(target + ".tmp", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
