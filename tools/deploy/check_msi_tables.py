#!/usr/bin/env python3
"""Inspects the tables of an installer package (with msiinfo) against the
registration rows it was made from:

- its Registry table holds exactly the rows, under HKEY_CLASSES_ROOT, the
  library's in the component of numori10.dll, the companion's in that of
  numori10arrays.dll and the stand-in's in that of vxfundara10.dll; there is
  no self-registration;
- every file is there; the stand-in's component belongs only to the
  FrameworkStandIn feature, which is off by default, the companion's files
  to the Arrays feature, on by default, the rest to Numoria10;
- the platform, Program Files folder and 64-bit component flags fit the
  architecture; the upgrade code and version are the package's.

  check_msi_tables.py <package.msi> x64|x86 <version> <numori10.json> <numori10arrays.json> <vxfundara10.json>
                      [--rows-captured-from x64|x86]
"""
import json
import subprocess
import sys

import make_wxs

COMPONENT_64BIT = 256
REGISTRY_CLASSES_ROOT = "0"


def table(msi, name):
    text = subprocess.run(["msiinfo", "export", msi, name], check=True, capture_output=True, text=True).stdout
    lines = [line.rstrip("\r") for line in text.split("\n") if line.strip()]
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t") + [""] * len(columns))) for line in lines[3:]]


def tables(msi):
    text = subprocess.run(["msiinfo", "tables", msi], check=True, capture_output=True, text=True).stdout
    return set(text.split())


def summary(msi):
    return subprocess.run(["msiinfo", "suminfo", msi], check=True, capture_output=True, text=True).stdout


def check(msi, architecture, version, library_rows, arrays_rows, standin_rows):
    problems = []
    expect = lambda ok, text: ok or problems.append(text)  # noqa: E731

    expected = {(r["key"], r["name"], r["value"], "numori10_dll") for r in library_rows}
    expected |= {(r["key"], r["name"], r["value"], "numori10arrays_dll") for r in arrays_rows}
    expected |= {(r["key"], r["name"], r["value"], "vxfundara10_dll") for r in standin_rows}
    registry = table(msi, "Registry")
    expect(all(r["Root"] == REGISTRY_CLASSES_ROOT for r in registry), "a Registry row outside HKEY_CLASSES_ROOT")
    actual = {(r["Key"], r["Name"], r["Value"], r["Component_"]) for r in registry}
    for row in sorted(expected - actual):
        problems.append("registration row missing: %s" % (row,))
    for row in sorted(actual - expected):
        problems.append("row not from registration: %s" % (row,))
    expect("SelfReg" not in tables(msi) or not table(msi, "SelfReg"), "the package self-registers")

    files = {r["FileName"].split("|")[-1] for r in table(msi, "File")}
    for name in make_wxs.LIBRARY_FILES + make_wxs.ARRAYS_FILES + [make_wxs.STANDIN_FILE]:
        expect(name in files, "file %s missing" % name)
    features = {r["Feature"]: int(r["Level"]) for r in table(msi, "Feature")}
    expect(features.get("Numoria10") == 1, "Numoria10 is not installed by default")
    expect(features.get("FrameworkStandIn", 0) > 1, "the framework stand-in is installed by default")
    owners = {}
    for r in table(msi, "FeatureComponents"):
        owners.setdefault(r["Component_"], set()).add(r["Feature_"])
    expect(owners.get("vxfundara10_dll") == {"FrameworkStandIn"}, "the stand-in belongs to %s" % owners.get("vxfundara10_dll"))
    expect(features.get("Arrays") == 1, "the array functions are not installed by default")
    arrays = {make_wxs.identifier(name) for name in make_wxs.ARRAYS_FILES}
    expect(all(owners.get(c) == {"Arrays"} for c in arrays), "a companion file outside the Arrays feature")
    expect(all(f == {"Numoria10"} for c, f in owners.items() if c != "vxfundara10_dll" and c not in arrays),
           "a library file outside the Numoria10 feature")

    is64 = architecture == "x64"
    expect(("Template: x64;" if is64 else "Template: Intel;") in summary(msi), "platform of the summary information")
    folders = {r["Directory"]: r["Directory_Parent"] for r in table(msi, "Directory")}
    expect(folders.get("INSTALLDIR") == ("ProgramFiles64Folder" if is64 else "ProgramFilesFolder"),
           "installation folder %s" % folders.get("INSTALLDIR"))
    for r in table(msi, "Component"):
        expect(bool(int(r["Attributes"]) & COMPONENT_64BIT) == is64, "64-bit flag of component %s" % r["Component"])
    properties = {r["Property"]: r["Value"] for r in table(msi, "Property")}
    expect(properties.get("UpgradeCode") == "{%s}" % make_wxs.UPGRADE_CODES[architecture], "upgrade code")
    expect(properties.get("ProductVersion") == make_wxs.package_version(version), "product version")
    upgrade_codes = {r["UpgradeCode"] for r in table(msi, "Upgrade")}
    expect(upgrade_codes == {"{%s}" % make_wxs.UPGRADE_CODES[architecture]}, "Upgrade table %s" % upgrade_codes)
    return problems


def main():
    args = sys.argv[1:]
    captured_from = None
    if "--rows-captured-from" in args:
        at = args.index("--rows-captured-from")
        captured_from = args[at + 1]
        del args[at:at + 2]
    if len(args) != 6:
        sys.exit(__doc__)
    msi, architecture, version = args[:3]
    rows = []
    for path in args[3:]:
        with open(path, encoding="utf-8") as f:
            rows.append(make_wxs.for_architecture(json.load(f), captured_from or architecture, architecture))
    problems = check(msi, architecture, version, *rows)
    for problem in problems:
        print(problem)
    print("%s: %d problems" % (msi, len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
