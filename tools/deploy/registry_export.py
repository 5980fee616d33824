"""Reading a registry export (.reg, "Windows Registry Editor Version 5.00",
as regedit /E writes it, UTF-16 or UTF-8) into {key: {value name: value}}.

Keys are kept as written (without the brackets); the default value is the
name "". String values come back as text, other kinds as (kind, raw text)
pairs, so two exports can be compared exactly.
"""
import re

_KEY = re.compile(r"^\[(.*)\]$")
_VALUE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$', re.S)


def _unquote(text):
    return re.sub(r"\\(.)", lambda m: m.group(1), text[1:-1])


def _decode(data):
    if data[:2] in (b"\xff\xfe", b"\xfe\xff"):
        return data.decode("utf-16")
    return data.decode("utf-8-sig")


def _logical_lines(text):
    """Lines with the continuations of hex data (a line ending in ",\\")
    joined."""
    pending = ""
    for line in text.splitlines():
        line = line.strip() if pending else line.rstrip()
        if line.endswith(",\\"):
            pending += line[:-1]
            continue
        yield pending + line
        pending = ""


def parse(data):
    keys = {}
    current = None
    for line in _logical_lines(_decode(data)):
        if not line or line.startswith(";") or line.startswith("Windows Registry Editor") or line == "REGEDIT4":
            continue
        key = _KEY.match(line)
        if key:
            current = keys.setdefault(key.group(1), {})
            continue
        value = _VALUE.match(line)
        if value is None or current is None:
            raise ValueError("unreadable registry export line: %r" % line)
        name = "" if value.group(1) == "@" else _unquote(value.group(1))
        raw = value.group(2)
        if raw.startswith('"'):
            current[name] = _unquote(raw)
        else:
            kind, _, rest = raw.partition(":")
            current[name] = (kind, rest)
    return keys


def read(path):
    with open(path, "rb") as f:
        return parse(f.read())


def below(keys, root):
    """The keys below `root` (case-insensitive), with the root's prefix cut
    off: below(keys, "HKEY_CLASSES_ROOT") maps "CLSID\\{...}" to its values."""
    prefix = root.lower() + "\\"
    return {key[len(prefix):]: values for key, values in keys.items() if key.lower().startswith(prefix)}
