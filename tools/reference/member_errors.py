"""The table of the errors each member can raise (frame/idl/member_errors.tsv)
and its checks against the sources: every row names a member of the type
library; every matrix error that matrix/*.cpp raises is listed for its method
with its exact text and vice versa (or, for a table of a class that cannot
meet every matrix error, each listed one is raised); a runtime error's text
is the one the runtime gives its number (runtime/runtime_error.cpp) or one
the array arguments raise with that number
(frame/dispatch/array_arguments.cpp)."""
import csv
import glob
import os
import re
from dataclasses import dataclass

MATRIX_ERROR = "1000"
MATRIX_SOURCE = "ZizivaDav - "


@dataclass
class MemberError:
    interface: str
    member: str
    number: str
    source: str
    description: str
    when: str


def read_table(path):
    with open(path, encoding="utf-8", newline="") as f:
        lines = [line for line in f if not line.startswith("#")]
    rows = list(csv.DictReader(lines, delimiter="\t", quoting=csv.QUOTE_NONE))
    return [MemberError(**row) for row in rows]


def _c_string(text):
    return re.sub(r"\\(.)", r"\1", text)


def matrix_raise_sites(source_root):
    """(method, description) of every raiseMatrixError call."""
    pattern = re.compile(r'raiseMatrixError\(\s*"((?:[^"\\]|\\.)*)"\s*,\s*"((?:[^"\\]|\\.)*)"\s*\)')
    sites = set()
    for path in sorted(glob.glob(os.path.join(source_root, "matrix", "*.cpp"))):
        with open(path, encoding="utf-8") as f:
            sites |= {(_c_string(m), _c_string(d)) for m, d in pattern.findall(f.read())}
    return sites


def runtime_texts(source_root):
    with open(os.path.join(source_root, "runtime", "runtime_error.cpp"), encoding="utf-8") as f:
        return {number: text for number, text in re.findall(r'\{(\d+),\s*"([^"]*)"\}', f.read())}


def array_texts(source_root):
    """(number, description) of every raiseArrayError call, the numbers read
    from the ErrorNumber enumeration."""
    with open(os.path.join(source_root, "runtime", "runtime_error.h"), encoding="utf-8") as f:
        numbers = dict(re.findall(r"^\s*(\w+) = (\d+),", f.read(), re.M))
    with open(os.path.join(source_root, "frame", "dispatch", "array_arguments.cpp"), encoding="utf-8") as f:
        calls = re.findall(r'raiseArrayError\(ErrorNumber::(\w+),\s*"((?:[^"\\]|\\.)*)"\)', f.read())
    return {(numbers[name], _c_string(text)) for name, text in calls}


def problems(rows, members_by_interface, source_root, every_matrix_error=True):
    """Where the table disagrees with the type library or the sources."""
    found = []
    for row in rows:
        if row.member not in members_by_interface.get(row.interface, set()):
            found.append("%s.%s is not a member of the type library" % (row.interface, row.member))
    raised = {(row.source[len(MATRIX_SOURCE):], row.description) for row in rows
              if row.number == MATRIX_ERROR and row.source.startswith(MATRIX_SOURCE)}
    sites = matrix_raise_sites(source_root)
    for method, description in sorted(sites - raised if every_matrix_error else []):
        found.append("matrix error of %s %r is raised but not in the table" % (method, description))
    for method, description in sorted(raised - sites):
        found.append("matrix error of %s %r is in the table but raised nowhere" % (method, description))
    texts = runtime_texts(source_root)
    arrays = array_texts(source_root)
    for row in rows:
        if row.number in texts and row.description != texts[row.number] and (row.number, row.description) not in arrays:
            found.append("%s.%s: error %s reads %r, the runtime gives %r" %
                         (row.interface, row.member, row.number, row.description, texts[row.number]))
    return found
