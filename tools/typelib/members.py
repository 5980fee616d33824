"""Reading what a type library says about its entries and their members:
names, identifiers, help strings, and each function's dispatch identifier,
kind, parameters (type, direction, help string) and result, from the MSFT
format that widl writes (the same reading the platform's type library loader
does, restricted to what the member reference needs).

Parameters carry no help string of their own in this format; the library
gives each one as parameter custom data under PARAMETER_HELP.
"""
import struct
from dataclasses import dataclass, field

import msft

# Custom-data identifier of a parameter's help string (declared in the IDL
# as [custom(...)] on each parameter).
PARAMETER_HELP = "{5A1E6C2B-7D3F-4E8A-9B10-C4D2E6F80A13}"

PTR_SIZE = {0: 4, 1: 4, 2: 4, 3: 8}  # SYSKIND -> pointer size

_BASE_TYPES = {
    2: "short", 3: "long", 4: "float", 5: "double", 6: "currency", 7: "date", 8: "BSTR",
    9: "IDispatch*", 10: "SCODE", 11: "VARIANT_BOOL", 12: "VARIANT", 13: "IUnknown*", 16: "char",
    17: "unsigned char", 18: "unsigned short", 19: "unsigned long", 22: "int", 23: "unsigned int",
    24: "void", 25: "HRESULT",
}
FUNC_KIND = {0: "virtual", 1: "pure virtual", 2: "nonvirtual", 3: "static", 4: "dispatch"}
INVOKE_KIND = {1: "method", 2: "property get", 4: "property let", 8: "property set by reference"}
PARAMFLAG_IN, PARAMFLAG_OUT, PARAMFLAG_RETVAL, PARAMFLAG_OPT = 1, 2, 8, 0x10
FUNCFLAG_FVARARG = 0x80  # not a FUNCFLAG; widl writes vararg as a negative optional count
CUSTDATA_FLAG, DEFAULTS_FLAG = 0x80, 0x1000
IMPINFO_OFFSET_IS_GUID = 0x10000

# Segment directory indexes beyond those msft.py names.
CUSTDATA, CDGUIDS = 11, 12


@dataclass
class Parameter:
    name: str
    type: str
    flags: int
    help: str = ""

    @property
    def direction(self):
        if self.flags & PARAMFLAG_RETVAL:
            return "out, retval"
        return ", ".join(d for bit, d in ((PARAMFLAG_IN, "in"), (PARAMFLAG_OUT, "out")) if self.flags & bit)


@dataclass
class Function:
    name: str
    dispid: int
    invoke_kind: str
    result: str
    help: str
    vararg: bool
    parameters: list = field(default_factory=list)


@dataclass
class Entry:
    name: str
    kind: str
    guid: str
    help: str
    flags: int
    functions: list = field(default_factory=list)
    interfaces: list = field(default_factory=list)   # of a coclass: (name, flags)


# Types of the standard automation library (stdole2.tlb) that libraries
# import, by identifier.
STANDARD_TYPES = {
    "{00000000-0000-0000-C000-000000000046}": "IUnknown",
    "{00020400-0000-0000-C000-000000000046}": "IDispatch",
    "{7BF80981-BF32-101A-8BBB-00AA00300CAB}": "IPictureDisp",
    "{BEF6E003-A874-101A-8BBA-00AA00300CAB}": "IFontDisp",
}


class Reader:
    """`imported` holds the libraries this one imports (their bytes), so the
    types it takes from them are named."""

    def __init__(self, data, imported=()):
        self.lib = msft.TypeLib(data)
        self.imported_by_guid = dict(STANDARD_TYPES)
        self.imported_by_index = {}
        for library in imported:
            reader = Reader(library)
            entries = reader.entries()
            self.imported_by_index[reader.library_id()] = [entry.name for entry in entries]
            self.imported_by_guid.update({entry.guid: entry.name for entry in entries if entry.guid})

    def library_id(self):
        return self.guid_at(self._i32(0x08))

    def library_help(self):
        return self.string_at(self._i32(0x24))

    # Tables of the file.
    def _i32(self, at):
        return self.lib.i32(at)

    def _seg(self, index):
        return self.lib.segment(index)[0]

    def guid_at(self, offset):
        at = self._seg(msft.GUIDTAB) + offset
        d1, d2, d3 = struct.unpack_from("<IHH", self.lib.data, at)
        rest = self.lib.data[at + 8: at + 16]
        return "{%08X-%04X-%04X-%s-%s}" % (d1, d2, d3, rest[:2].hex().upper(), rest[2:].hex().upper())

    def string_at(self, offset):
        if offset < 0:
            return ""
        at = self._seg(msft.STRINGTAB) + offset
        length = struct.unpack_from("<H", self.lib.data, at)[0]
        return self.lib.data[at + 2: at + 2 + length].decode("latin-1")

    def custom_data(self, offset):
        """{guid: value} of a custom-data chain (text values only)."""
        values = {}
        while offset >= 0:
            at = self._seg(CDGUIDS) + offset
            guid_offset, data_offset, offset = struct.unpack_from("<iii", self.lib.data, at)
            values[self.guid_at(guid_offset)] = self._value(data_offset)
        return values

    def _value(self, offset):
        if offset < 0:
            return offset & 0x3FFFFFF
        at = self._seg(CUSTDATA) + offset
        vt = struct.unpack_from("<H", self.lib.data, at)[0]
        if vt != 8:
            return None
        length = self._i32(at + 2)
        return self.lib.data[at + 6: at + 6 + length].decode("latin-1")

    def type_name(self, datatype):
        if datatype < 0:
            return _BASE_TYPES.get(datatype & 0x0FFF, "vt %d" % (datatype & 0x0FFF))
        at = self._seg(msft.TYPEDESCTAB) + datatype
        vt = struct.unpack_from("<H", self.lib.data, at)[0] & 0x0FFF
        inner = self._i32(at + 4)
        if vt in (msft.VT_PTR, msft.VT_SAFEARRAY):
            inner_name = self.type_name(inner if inner >= 0 else (inner & 0xFFFF) | -0x80000000)
            return inner_name + "*" if vt == msft.VT_PTR else "SAFEARRAY(%s)" % inner_name
        if vt == msft.VT_USERDEFINED:
            return self.reference_name(inner)
        return _BASE_TYPES.get(vt, "vt %d" % vt)

    def reference_name(self, href):
        if msft.is_local(href):
            return self.lib.name_at(self.lib.name_offset(href // msft.TYPEINFO_SIZE))
        at = self._seg(msft.IMPINFO) + (href & ~3)
        flags, file_offset, target = struct.unpack_from("<iii", self.lib.data, at)
        if flags & IMPINFO_OFFSET_IS_GUID:
            guid = self.guid_at(target)
            return self.imported_by_guid.get(guid, guid)
        library = self.guid_at(self._i32(self._seg(msft.IMPFILES) + file_offset))
        names = self.imported_by_index.get(library, [])
        return names[target] if target < len(names) else "entry %d of %s" % (target, library)

    # Entries.
    def entries(self):
        return [self.entry(i) for i in range(self.lib.count)]

    def entry(self, index):
        base = self.lib.typeinfo_at(index)
        kind = msft.TKIND_NAMES[self.lib.typekind(index)]
        guid_offset = self.lib.guid_offset(index)
        entry = Entry(name=self.lib.name_at(self.lib.name_offset(index)), kind=kind,
                      guid=self.guid_at(guid_offset) if guid_offset >= 0 else "",
                      help=self.string_at(self._i32(base + 0x3C)), flags=self._i32(base + 0x30))
        if kind in ("interface", "dispatch"):
            entry.functions = self._functions(base)
        elif kind == "coclass":
            entry.interfaces = self._implemented(base)
        return entry

    def _implemented(self, base):
        interfaces = []
        offset = self._i32(base + 0x54)
        while offset >= 0:
            href, flags, _custom, offset = struct.unpack_from("<iiii", self.lib.data, self._seg(msft.REFTAB) + offset)
            interfaces.append((self.reference_name(href), flags))
        return interfaces

    def _functions(self, base):
        count = self._i32(base + 0x18) & 0xFFFF
        variables = (self._i32(base + 0x18) >> 16) & 0xFFFF
        memory = self._i32(base + 0x04)
        if count == 0:
            return []
        info_length = self._i32(memory)
        functions = []
        record = memory + 4
        for i in range(count):
            size = self._i32(record) & 0xFFFF
            datatype, _flags, _vtable, _descsize, fkccic, nargs, nopt = struct.unpack_from(
                "<iihhihh", self.lib.data, record + 4)
            optional = size - nargs * 12 - (nargs * 4 if fkccic & DEFAULTS_FLAG else 0)

            def field_at(offset, fallback=-1):
                return self._i32(record + offset) if optional > offset else fallback

            dispid = self._i32(memory + info_length + (i + 1) * 4)
            name_offset = self._i32(memory + info_length + (count + variables + i + 1) * 4)
            parameters = []
            for j in range(nargs):
                p_type, p_name, p_flags = struct.unpack_from("<iii", self.lib.data, record + size - (nargs - j) * 12)
                custom = {}
                if fkccic & CUSTDATA_FLAG and optional >= 52 + 4 * (j + 1):
                    custom = self.custom_data(self._i32(record + 52 + 4 * j))
                parameters.append(Parameter(name=self.lib.name_at(p_name) if p_name >= 0 else "",
                                            type=self.type_name(p_type), flags=p_flags,
                                            help=custom.get(PARAMETER_HELP) or ""))
            functions.append(Function(name=self.lib.name_at(name_offset), dispid=dispid & 0xFFFFFFFF,
                                      invoke_kind=INVOKE_KIND.get((fkccic >> 3) & 0xF, "?"),
                                      result=self.type_name(datatype), help=self.string_at(field_at(28)),
                                      vararg=nopt == -1, parameters=parameters))
            record += size
        return functions
