#!/usr/bin/env python3
"""Checks on a prefix around installing and removing a package.

  install_state.py compare <before.reg> <after.reg> <before.files> <after.files>
      Passes when the registry exports and file lists are the same, except
      for what Windows Installer keeps for itself (its empty bookkeeping keys
      and its empty cache folder) and the machine state that Wine rewrites
      whenever its services start (hardware, services and network cards)
      or a session starts (the user's temporary system parameters), which no
      row of the packages reaches.
  install_state.py products <export.reg> <product name>
      Prints the DisplayVersion of every installed product of that name.

The file lists are `find -printf '%y %P\\n'` of drive_c, sorted.
"""
import sys

import registry_export

INSTALLER_KEYS = ("hkey_local_machine\\software\\classes\\installer",
                  "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\installer")
INSTALLER_FOLDERS = {"d windows/Installer"}
MACHINE_STATE = ("hkey_local_machine\\system\\",
                 "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\networkcards",
                 "hkey_local_machine\\software\\wow6432node\\microsoft\\windows nt\\currentversion\\networkcards")


# Written by Wine for each user session, in whichever state the last
# session left it.
SESSION_STATE = "\\software\\wine\\temporary system parameters"


def _installer_bookkeeping(key, values):
    lowered = key.lower()
    return not values and any(lowered == k or lowered.startswith(k + "\\") for k in INSTALLER_KEYS)


def registry_differences(before, after):
    differences = []
    for key in sorted(set(before) | set(after), key=str.lower):
        if key.lower().startswith(MACHINE_STATE) or SESSION_STATE in key.lower():
            continue
        if key not in after:
            differences.append("removed key %s" % key)
        elif key not in before:
            if not _installer_bookkeeping(key, after[key]):
                differences.append("left key %s %s" % (key, after[key]))
        elif before[key] != after[key]:
            differences.append("changed key %s: %s -> %s" % (key, before[key], after[key]))
    return differences


def file_differences(before, after):
    old, new = set(before), set(after)
    return (["removed %s" % f for f in sorted(old - new)] +
            ["left %s" % f for f in sorted(new - old - INSTALLER_FOLDERS)])


def read_lines(path):
    with open(path, encoding="utf-8") as f:
        return [line.rstrip("\n") for line in f if line.strip()]


def main():
    if len(sys.argv) == 6 and sys.argv[1] == "compare":
        differences = registry_differences(registry_export.read(sys.argv[2]), registry_export.read(sys.argv[3]))
        differences += file_differences(read_lines(sys.argv[4]), read_lines(sys.argv[5]))
        for difference in differences:
            print(difference)
        print("%d differences from the state before" % len(differences))
        sys.exit(1 if differences else 0)
    if len(sys.argv) == 4 and sys.argv[1] == "products":
        for key, values in registry_export.read(sys.argv[2]).items():
            if "\\uninstall\\" in key.lower() and values.get("DisplayName") == sys.argv[3]:
                print(values.get("DisplayVersion"))
        return
    sys.exit(__doc__)


if __name__ == "__main__":
    main()
