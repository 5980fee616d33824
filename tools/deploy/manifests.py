"""Side-by-side manifests for registration-free use, from the servers that
catalogue.py reads.

- an assembly manifest per DLL (`<assembly>.manifest`): its file with one
  comClass per class (programmatic identifier, threading model, type
  library), its type libraries, and a comInterfaceExternalProxyStub per
  interface so that calls from other apartments go through the automation
  marshaler as they do for a registered copy (the runtime constants
  library, which describes the App object's interface, as its own .tlb);
- an application manifest (`Numoria10.host.manifest`) that depends on both
  assemblies: a host activates it (CreateActCtx, the ActCtx object of a VBA
  program) or copies it beside its executable as `<program>.exe.manifest`.
"""
from xml.sax.saxutils import quoteattr

from catalogue import AUTOMATION_MARSHALER, IDISPATCH, THREADING_MODEL

HOST_MANIFEST = "Numoria10.host.manifest"
_HEADER = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
_ASSEMBLY_OPEN = '<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">\n'


def _element(tag, indent, **attributes):
    text = " ".join("%s=%s" % (key.rstrip("_"), quoteattr(value)) for key, value in attributes.items())
    return "%s<%s %s/>\n" % (" " * indent, tag, text)


def _identity(name, version, architecture, indent):
    return _element("assemblyIdentity", indent, type="win32", name=name, version=version,
                    processorArchitecture=architecture)


def _typelib(library):
    return _element("typelib", 4, tlbid=library.libid, version=library.version, helpdir="", flags="")


def assembly_manifest(server, version, architecture):
    main_libid = server.type_libraries[0].libid if server.type_libraries else None
    out = [_HEADER, _ASSEMBLY_OPEN, _identity(server.assembly, version, architecture, 2),
           "  <description>%s</description>\n" % server.description,
           "  <file name=%s>\n" % quoteattr(server.file)]
    out += [_typelib(library) for library in server.type_libraries if library.file == server.file]
    for cls in server.classes:
        attributes = dict(clsid=cls.clsid, progid=cls.prog_id, threadingModel=THREADING_MODEL,
                          description=cls.name)
        if main_libid:
            attributes["tlbid"] = main_libid
        out.append(_element("comClass", 4, **attributes))
    out.append("  </file>\n")
    for library in server.type_libraries:
        if library.file != server.file:
            out += ["  <file name=%s>\n" % quoteattr(library.file), _typelib(library), "  </file>\n"]
    for library in server.type_libraries:
        for name, iid in library.interfaces:
            out.append(_element("comInterfaceExternalProxyStub", 2, name=name, iid=iid,
                                proxyStubClsid32=AUTOMATION_MARSHALER, baseInterface=IDISPATCH,
                                tlbid=library.libid))
    out.append("</assembly>\n")
    return "".join(out)


def host_manifest(servers, version, architecture):
    out = [_HEADER, _ASSEMBLY_OPEN, _identity("Numoria10.Host", version, architecture, 2)]
    for server in servers:
        out += ["  <dependency>\n", "    <dependentAssembly>\n",
                _identity(server.assembly, version, architecture, 6),
                "    </dependentAssembly>\n", "  </dependency>\n"]
    out.append("</assembly>\n")
    return "".join(out)
