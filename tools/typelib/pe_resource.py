"""The bytes of one resource of a PE file (a DLL that carries a type library
as its TYPELIB resource, such as the platform's stdole2.tlb under Wine)."""
import struct

RESOURCE_DIRECTORY = 2


class PeFormatError(Exception):
    pass


def _sections(data):
    if data[:2] != b"MZ":
        raise PeFormatError("not a PE file")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeFormatError("no PE signature")
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    directories = optional + (112 if struct.unpack_from("<H", data, optional)[0] == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", data, directories + 8 * RESOURCE_DIRECTORY)[0]
    table = optional + optional_size
    sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(count)]
    return resource_rva, sections


def _file_offset(sections, rva):
    for virtual_size, address, raw_size, raw_at in sections:
        if address <= rva < address + max(virtual_size, raw_size):
            return raw_at + rva - address
    raise PeFormatError("address 0x%x lies in no section" % rva)


def _entries(data, root, at):
    named, numbered = struct.unpack_from("<HH", data, at + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, at + 16 + 8 * i)
        if name & 0x80000000:
            length = struct.unpack_from("<H", data, root + (name & 0x7FFFFFFF))[0]
            start = root + (name & 0x7FFFFFFF) + 2
            name = data[start:start + 2 * length].decode("utf-16-le")
        yield name, target


def resource(data, kind, identifier):
    """The first language's bytes of resource `identifier` of type `kind`
    (names as text, numbers as int)."""
    resource_rva, sections = _sections(data)
    root = _file_offset(sections, resource_rva)
    at = root
    for wanted in (kind, identifier, None):
        for name, target in _entries(data, root, at):
            if wanted is None or name == wanted:
                at = root + (target & 0x7FFFFFFF)
                break
        else:
            raise PeFormatError("no resource %r %r" % (kind, identifier))
    rva, size = struct.unpack_from("<II", data, at)
    start = _file_offset(sections, rva)
    return data[start:start + size]
