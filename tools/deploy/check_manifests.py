#!/usr/bin/env python3
"""Compares the registration-free manifests of a dist folder with what the
DLLs' own registration wrote (an export of HKEY_CLASSES_ROOT from a prefix
where both DLLs were registered from that folder): the same classes with the
same programmatic identifiers, threading model and type library, the same
interfaces with the same marshaler and type library, the same libraries and
versions; nothing registered by the DLLs that the manifests leave out.

  check_manifests.py <hkcr.reg> <manifest> ...

Prints each difference and exits 1 when there is one.
"""
import ntpath
import sys
import xml.etree.ElementTree as ET

import registry_export

NS = {"asm": "urn:schemas-microsoft-com:asm.v1"}


class Keys(dict):
    """Registry keys looked up without regard to case, as the registry does."""

    def __init__(self, keys):
        super().__init__((key.lower(), values) for key, values in keys.items())

    def get(self, key, fallback=None):
        return super().get(key.lower(), fallback)

    def __contains__(self, key):
        return super().__contains__(key.lower())


def default(keys, key):
    return keys.get(key, {}).get("")


def registered_file(path):
    """File name of a registered server or type library path, without the
    resource number a type library path may end with."""
    head, tail = ntpath.split(path or "")
    return (ntpath.basename(head) if tail.isdigit() else tail).lower()


def check_manifest(keys, path):
    problems = []
    root = ET.parse(path).getroot()
    name = ntpath.basename(path)
    server_file = root.find("asm:file/asm:comClass/..", NS).get("name").lower()
    classes = root.findall("asm:file/asm:comClass", NS)
    libraries = root.findall("asm:file/asm:typelib", NS)
    stubs = root.findall("asm:comInterfaceExternalProxyStub", NS)

    def expect(label, actual, wanted):
        if (actual or "").lower() != (wanted or "").lower():
            problems.append("%s: %s is %r in the registry, %r in the manifest" % (name, label, actual, wanted))

    for cls in classes:
        clsid = "CLSID\\" + cls.get("clsid")
        expect(clsid + " server", registered_file(default(keys, clsid + "\\InprocServer32")), server_file)
        expect(clsid + " threading model", keys.get(clsid + "\\InprocServer32", {}).get("ThreadingModel"),
               cls.get("threadingModel"))
        expect(clsid + " ProgID", default(keys, clsid + "\\ProgID"), cls.get("progid"))
        expect(cls.get("progid") + " CLSID", default(keys, cls.get("progid") + "\\CLSID"), cls.get("clsid"))
        expect(clsid + " TypeLib", default(keys, clsid + "\\TypeLib"), cls.get("tlbid"))
    registered = {key.split("\\")[1].upper() for key, values in keys.items()
                  if key.startswith("clsid\\") and key.lower().endswith("\\inprocserver32")
                  and registered_file(values.get("")) == server_file}
    listed = {cls.get("clsid").upper() for cls in classes}
    for clsid in sorted(registered - listed):
        problems.append("%s: class %s is registered for %s but not in the manifest" % (name, clsid, server_file))

    library_ids = {library.get("tlbid").upper() for library in libraries}
    for library in libraries:
        key = "TypeLib\\%s\\%s" % (library.get("tlbid"), library.get("version"))
        if key not in keys:
            problems.append("%s: type library %s version %s is not registered" %
                            (name, library.get("tlbid"), library.get("version")))
    for stub in stubs:
        iid = "Interface\\" + stub.get("iid")
        expect(iid + " name", default(keys, iid), stub.get("name"))
        expect(iid + " marshaler", default(keys, iid + "\\ProxyStubClsid32"), stub.get("proxyStubClsid32"))
        expect(iid + " TypeLib", default(keys, iid + "\\TypeLib"), stub.get("tlbid"))
    interfaces = {key.split("\\")[1].upper() for key, values in keys.items()
                  if key.startswith("interface\\") and key.lower().endswith("\\typelib")
                  and (values.get("") or "").upper() in library_ids}
    for iid in sorted(interfaces - {stub.get("iid").upper() for stub in stubs}):
        problems.append("%s: interface %s of its type libraries is registered but not in the manifest" % (name, iid))
    if not classes:
        problems.append("%s: no comClass" % name)
    return problems


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    keys = Keys(registry_export.below(registry_export.read(sys.argv[1]), "HKEY_CLASSES_ROOT"))
    problems = [problem for path in sys.argv[2:] for problem in check_manifest(keys, path)]
    for problem in problems:
        print(problem)
    print("%d manifests checked, %d differences" % (len(sys.argv) - 2, len(problems)))
    sys.exit(1 if problems else 0)


if __name__ == "__main__":
    main()
