"""Reading and writing the parts of an MSFT-format type library (the binary
form widl writes) that hold references to its own type descriptions.

A type description is addressed inside the file by its HREFTYPE: the offset of
its 0x64-byte base record in the type-info table, so the index times 0x64.
References to types of imported libraries carry a low bit and point into the
import table instead; they never change here.
"""
import struct

MAGIC = 0x5446534D  # "MSFT"
TYPEINFO_SIZE = 0x64
HELPDLL_FLAG = 0x100
SEGMENT_COUNT = 15
VT_PTR, VT_SAFEARRAY, VT_CARRAY, VT_USERDEFINED = 26, 27, 28, 29
TKIND_NAMES = ["enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"]

# Segment directory order.
TYPEINFO_TAB, IMPINFO, IMPFILES, REFTAB, GUIDHASH, GUIDTAB, NAMEHASH, NAMETAB, STRINGTAB, TYPEDESCTAB = range(10)


class FormatError(Exception):
    pass


def is_local(href):
    return href >= 0 and href & 3 == 0


class TypeLib:
    def __init__(self, data):
        self.data = bytearray(data)
        magic, _version = struct.unpack_from("<II", self.data, 0)
        if magic != MAGIC:
            raise FormatError("not an MSFT type library")
        self.varflags = self.u32(0x14)
        self.count = self.i32(0x20)
        self.offsets_at = 0x54 + (4 if self.varflags & HELPDLL_FLAG else 0)
        segdir_at = self.offsets_at + 4 * self.count
        self.segments = [struct.unpack_from("<iiii", self.data, segdir_at + 16 * i) for i in range(SEGMENT_COUNT)]
        for index in range(SEGMENT_COUNT):
            offset, length = self.segment(index)
            if offset + length > len(self.data):
                raise FormatError("segment %d runs past the end of the file" % index)
        if self.segment(TYPEINFO_TAB)[1] != self.count * TYPEINFO_SIZE:
            raise FormatError("type-info table size does not match the type-info count")

    # Little-endian fields at absolute offsets.
    def i32(self, at):
        return struct.unpack_from("<i", self.data, at)[0]

    def u32(self, at):
        return struct.unpack_from("<I", self.data, at)[0]

    def put_i32(self, at, value):
        struct.pack_into("<i", self.data, at, value)

    def segment(self, index):
        offset, length, _, _ = self.segments[index]
        return (offset, length) if offset >= 0 else (0, 0)

    def records(self, index, size):
        """Absolute offsets of the fixed-size records of one segment."""
        offset, length = self.segment(index)
        if length % size:
            raise FormatError("segment %d is not a whole number of %d-byte records" % (index, size))
        return range(offset, offset + length, size)

    def typeinfo_at(self, index):
        return self.segment(TYPEINFO_TAB)[0] + index * TYPEINFO_SIZE

    def typekind(self, index):
        return self.i32(self.typeinfo_at(index)) & 0xF

    def name_offset(self, index):
        return self.i32(self.typeinfo_at(index) + 0x34)

    def guid_offset(self, index):
        return self.i32(self.typeinfo_at(index) + 0x2C)

    def name_at(self, name_offset):
        """A name of the name table: hreftype, hash link, length byte, text."""
        at = self.segment(NAMETAB)[0] + name_offset
        length = self.data[at + 8]
        return self.data[at + 12: at + 12 + length].decode("latin-1")

    def typeinfo_names(self):
        return [self.name_at(self.name_offset(i)) for i in range(self.count)]

    # Every place that holds the HREFTYPE of a type of this library, as
    # absolute offsets of 32-bit fields.
    def name_entries(self):
        """Name-table entries (hreftype first, -1 for member names)."""
        offset, length = self.segment(NAMETAB)
        at = offset
        while at < offset + length:
            yield at
            size = 12 + self.data[at + 8]
            at += (size + 3) & ~3

    def local_reference_fields(self):
        fields = []
        # GUID table: 16-byte GUID, hreftype, hash link.
        fields += [at + 16 for at in self.records(GUIDTAB, 24)]
        # Name table.
        fields += list(self.name_entries())
        # Reference table (implemented interfaces of classes): hreftype,
        # flags, custom data, next.
        fields += [at for at in self.records(REFTAB, 16)]
        # Type descriptors: vt, flags, data; the data of VT_USERDEFINED is
        # the hreftype.
        for at in self.records(TYPEDESCTAB, 8):
            if struct.unpack_from("<H", self.data, at)[0] & 0x0FFF == VT_USERDEFINED:
                fields.append(at + 4)
        # Interfaces name their base type in datatype1.
        for i in range(self.count):
            if TKIND_NAMES[self.typekind(i)] in ("interface", "dispatch"):
                fields.append(self.typeinfo_at(i) + 0x54)
        return [at for at in fields if is_local(self.i32(at))]


def reordered(library, order):
    """A copy of the library whose type descriptions come in `order` (a
    permutation of the old indices), every reference to them remapped."""
    count = library.count
    if sorted(order) != list(range(count)):
        raise ValueError("the new order must name every type description once")
    for i in range(count):
        if library.i32(library.offsets_at + 4 * i) != i * TYPEINFO_SIZE:
            raise FormatError("type-info offsets are not in table order")
    new_index = {old: new for new, old in enumerate(order)}
    result = TypeLib(library.data)
    for at in library.local_reference_fields():
        href = library.i32(at)
        if href % TYPEINFO_SIZE or href // TYPEINFO_SIZE >= count:
            raise FormatError("reference 0x%x at 0x%x names no type description" % (href, at))
        result.put_i32(at, new_index[href // TYPEINFO_SIZE] * TYPEINFO_SIZE)
    # Move the base records (the member data they point to stays in place).
    moved = [bytes(result.data[result.typeinfo_at(old): result.typeinfo_at(old) + TYPEINFO_SIZE]) for old in order]
    for new, record in enumerate(moved):
        at = result.typeinfo_at(new)
        result.data[at: at + TYPEINFO_SIZE] = record
    return TypeLib(result.data)


def check_consistency(library):
    """Every reference names a type description, and each description's own
    name and GUID entries point back at it."""
    problems = []
    limit = library.count * TYPEINFO_SIZE
    for at in library.local_reference_fields():
        href = library.i32(at)
        if href % TYPEINFO_SIZE or href >= limit:
            problems.append("reference 0x%x at 0x%x names no type description" % (href, at))
    for i in range(library.count):
        own = i * TYPEINFO_SIZE
        name_href = library.i32(library.segment(NAMETAB)[0] + library.name_offset(i))
        if name_href != own:
            problems.append("name of entry %d points at 0x%x" % (i, name_href))
        guid = library.guid_offset(i)
        if guid >= 0 and library.i32(library.segment(GUIDTAB)[0] + guid + 16) != own:
            problems.append("GUID of entry %d points elsewhere" % i)
    return problems
