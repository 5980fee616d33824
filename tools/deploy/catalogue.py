"""The classes each DLL serves, read from the tables its own registration
walks, with the identifiers the IDL compiler wrote for them.

numori10.dll: the class table of frame/server/class_catalogue.cpp names each
class and its default interface (`__uuidof(clsX), __uuidof(_clsX)`); their
identifiers come from the generated numori10_i.c, the library identifiers
from it and from numoria_runtime.h (the runtime constants library, which
holds the App object's interface _LibraryApp).

numori10arrays.dll: its class table in arrays/arrays_catalogue.cpp, in the
same form, with the identifiers of the generated numori10arrays_i.c; it has
no runtime constants library.

vxfundara10.dll: the class table of framework_standin/src/framework_classes.cpp
holds name, programmatic identifier and class identifier itself.

Every reader fails loudly when a table cannot be read or names something the
identifiers do not define, so a changed table never yields a silently short
manifest or package.
"""
import re
from dataclasses import dataclass, field

# The registration of both DLLs writes these for every class.
THREADING_MODEL = "Apartment"
AUTOMATION_MARSHALER = "{00020424-0000-0000-C000-000000000046}"
IDISPATCH = "{00020400-0000-0000-C000-000000000046}"


class CatalogueError(Exception):
    pass


@dataclass
class ComClass:
    name: str
    prog_id: str
    clsid: str
    interface: str = ""   # default interface name, "" for late-bound-only classes
    iid: str = ""


@dataclass
class TypeLibrary:
    name: str
    libid: str
    version: str
    file: str            # the file that holds it for registration-free use
    interfaces: list = field(default_factory=list)   # (name, iid)


@dataclass
class Server:
    assembly: str        # assembly name, also the programmatic identifier prefix
    file: str            # the DLL's file name
    description: str
    classes: list
    type_libraries: list = field(default_factory=list)


def guid_text(l, w1, w2, *b):
    return "{%08X-%04X-%04X-%02X%02X-%s}" % (l, w1, w2, b[0], b[1], "".join("%02X" % x for x in b[2:]))


_NUMBER = r"\s*(0x[0-9a-fA-F]+)\s*"
_DEFINE_GUID = re.compile(r"DEFINE_GUID\s*\(\s*(?:\w+\s*,\s*)?(\w+)\s*," + ",".join([_NUMBER] * 11) + r"\)")


def read_identifiers(*texts):
    """Name -> GUID text of every DEFINE_GUID / MIDL_DEFINE_GUID line."""
    identifiers = {}
    for text in texts:
        for match in _DEFINE_GUID.finditer(text):
            identifiers[match.group(1)] = guid_text(*(int(v, 16) for v in match.groups()[1:]))
    return identifiers


def _lookup(identifiers, name):
    if name not in identifiers:
        raise CatalogueError("no identifier %s in the generated identifier files" % name)
    return identifiers[name]


_LIBRARY_ENTRY = re.compile(r'\{\s*L"(\w+)"\s*,\s*L"(\w+)"\s*,\s*__uuidof\((\w+)\)\s*,\s*__uuidof\((\w+)\)')


def library_server(catalogue_text, identifiers, library_name="Numoria10", runtime_name="Numoria10Runtime",
                   file="numori10.dll", description="Numoria10 arithmetic classes"):
    """A server of the frame from its class catalogue. runtime_name is the
    runtime constants library it carries as its second TYPELIB resource, or
    None for a server with its main library only."""
    entries = _LIBRARY_ENTRY.findall(catalogue_text)
    if not entries:
        raise CatalogueError("the class catalogue holds no class entry")
    classes = []
    for name, interface, class_type, interface_type in entries:
        if (class_type, interface_type) != (name, interface):
            raise CatalogueError("catalogue entry %s names %s / %s" % (name, class_type, interface_type))
        classes.append(ComClass(name=name, prog_id="%s.%s" % (library_name, name),
                                clsid=_lookup(identifiers, "CLSID_" + name),
                                interface=interface, iid=_lookup(identifiers, "IID_" + interface)))
    main = TypeLibrary(library_name, _lookup(identifiers, "LIBID_" + library_name), "1.0", file,
                       [(c.interface, c.iid) for c in classes])
    if runtime_name is None:
        return Server(assembly=library_name, file=file, description=description, classes=classes,
                      type_libraries=[main])
    # Every interface the identifier files define belongs to one of the two
    # libraries: the main library's are the classes' default interfaces, the
    # runtime library's the rest (declared in its own header).
    runtime_interfaces = [(name[4:], iid) for name, iid in identifiers.items()
                          if name.startswith("IID_") and name[4:] not in {c.interface for c in classes}]
    # The DLL carries the runtime library as its second TYPELIB resource;
    # the dist folder also holds it as a file of its own, and a manifest
    # names that file: a typelib element's resource number is not honoured
    # by every activation-context implementation, a file of its own always.
    runtime = TypeLibrary(runtime_name, _lookup(identifiers, "LIBID_" + runtime_name), "1.0", "numoria_runtime.tlb",
                          sorted(runtime_interfaces))
    return Server(assembly=library_name, file=file, description=description,
                  classes=classes, type_libraries=[main, runtime])


def arrays_server(catalogue_text, identifiers):
    """numori10arrays.dll, from arrays/arrays_catalogue.cpp and numori10arrays_i.c."""
    return library_server(catalogue_text, identifiers, library_name="Numoria10Arrays", runtime_name=None,
                          file="numori10arrays.dll", description="Numoria10 matrix functions on arrays")


_STANDIN_ENTRY = re.compile(
    r'\{\s*L"(\w+)"\s*,\s*L"([\w.]+)"\s*,\s*\{' + ",".join([_NUMBER] * 3) + r",\s*\{" + ",".join([_NUMBER] * 8) + r"\}\s*\}")


def standin_server(classes_text, assembly="VxFundara10"):
    entries = _STANDIN_ENTRY.findall(classes_text)
    if not entries:
        raise CatalogueError("the stand-in's class table holds no class entry")
    classes = []
    for entry in entries:
        name, prog_id = entry[0], entry[1]
        if prog_id != "%s.%s" % (assembly, name):
            raise CatalogueError("stand-in class %s has programmatic identifier %s" % (name, prog_id))
        classes.append(ComClass(name=name, prog_id=prog_id, clsid=guid_text(*(int(v, 16) for v in entry[2:]))))
    return Server(assembly=assembly, file="vxfundara10.dll",
                  description="Stand-in of the framework library (test double)", classes=classes)
