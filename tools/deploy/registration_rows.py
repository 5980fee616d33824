#!/usr/bin/env python3
"""The registry rows a DLL's own registration writes, as the installer
tables take them: the difference of two exports of HKEY_CLASSES_ROOT, taken
before and after `regsvr32`, with the folder the DLL was registered from
written as the installer's [INSTALLDIR] (or another property).

  registration_rows.py <before.reg> <after.reg> <registered folder> <property> <out.json>

A key registration creates without a value of its own (such as a class's
Programmable key) becomes a row named "*": the installer creates it, and
removes it on removal.

Registration may only add keys and values; a value it changed or removed
fails the step, since an installer could not put it back on removal. Keys
under Wow6432Node are left out: the installer places a package's rows in the
registry view of its own bitness.
"""
import json
import sys

import registry_export

ROOT = "HKEY_CLASSES_ROOT"


def rows_between(before, after):
    rows, problems = [], []
    for key, values in sorted(after.items(), key=lambda item: item[0].lower()):
        if key.lower().startswith("wow6432node\\"):
            continue
        old = before.get(key, {})
        if not values and key not in before:
            rows.append({"key": key, "name": "*", "value": ""})
        for name, value in sorted(values.items()):
            if name in old and old[name] != value:
                problems.append("registration changed %s [%s]" % (key, name))
            elif name not in old:
                if not isinstance(value, str):
                    problems.append("registration wrote a non-string value %s [%s]" % (key, name))
                rows.append({"key": key, "name": name, "value": value})
    for key, values in before.items():
        for name in values:
            if name not in after.get(key, {}):
                problems.append("registration removed %s [%s]" % (key, name))
    return rows, problems


def with_property(rows, folder, prop):
    """Values that name the registered folder name the property instead
    ([INSTALLDIR] ends in a backslash, as the folder followed by one)."""
    folder = folder.rstrip("\\")
    for row in rows:
        value = row["value"]
        if value.lower() == folder.lower():
            row["value"] = "[%s]" % prop
        elif value.lower().startswith(folder.lower() + "\\"):
            row["value"] = "[%s]%s" % (prop, value[len(folder) + 1:])
    return rows


def main():
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    before = registry_export.below(registry_export.read(sys.argv[1]), ROOT)
    after = registry_export.below(registry_export.read(sys.argv[2]), ROOT)
    rows, problems = rows_between(before, after)
    if problems or not rows:
        sys.exit("registration_rows.py: " + ("; ".join(problems) or "registration wrote nothing"))
    with open(sys.argv[5], "w", encoding="utf-8") as f:
        json.dump(with_property(rows, sys.argv[3], sys.argv[4]), f, indent=1)


if __name__ == "__main__":
    main()
