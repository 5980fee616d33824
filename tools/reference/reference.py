"""The member reference (Markdown) of the library, from its type libraries
and the table of member errors."""
from members import PARAMFLAG_RETVAL


def _cell(text):
    return (text or "").replace("|", "\\|")


def _code(text):
    # Trailing blanks are part of some error texts: keep them visible.
    return "`%s`" % text if text == text.strip() else '"%s"' % text


def result_type(function):
    for parameter in function.parameters:
        if parameter.flags & PARAMFLAG_RETVAL:
            return parameter.type[:-1] if parameter.type.endswith("*") else parameter.type
    return None


def missing_help(entries):
    """Members and parameters (results aside) without a help string."""
    missing = []
    for entry in entries:
        for function in entry.functions:
            label = "%s.%s (%s)" % (entry.name, function.name, function.invoke_kind)
            if not function.help:
                missing.append(label)
            missing += ["%s parameter %s" % (label, p.name or "value") for p in function.parameters
                        if not p.flags & PARAMFLAG_RETVAL and not p.help]
    return missing


def _member(lines, interface, function, errors):
    lines.append("### %s%s" % (function.name, " (set by reference)" if "set" in function.invoke_kind else ""))
    lines.append("")
    kind = function.invoke_kind + (", variable argument list" if function.vararg else "")
    lines.append("Dispatch identifier `0x%08X`, %s. %s" % (function.dispid, kind, function.help))
    lines.append("")
    parameters = [p for p in function.parameters if not p.flags & PARAMFLAG_RETVAL]
    if parameters:
        lines += ["| Parameter | Type | Direction | Description |", "|---|---|---|---|"]
        lines += ["| `%s` | `%s` | %s | %s |" % (p.name or "value", p.type, p.direction, _cell(p.help))
                  for p in parameters]
        lines.append("")
    result = result_type(function)
    lines.append("Returns: %s." % ("`%s`" % result if result else "nothing"))
    lines.append("")
    own = [e for e in errors if e.interface == interface and e.member == function.name]
    if own:
        lines += ["| Error | Source | Description | When |", "|---|---|---|---|"]
        lines += ["| %s | %s | %s | %s |" % (e.number, _cell(_code(e.source)), _cell(_code(e.description)),
                                             _cell(e.when)) for e in own]
    else:
        lines.append("Errors: none.")
    lines.append("")


def render(library, runtime, errors, version, name="Numoria10", dll="numori10.dll",
           errors_path="frame/idl/member_errors.tsv", test="reference_is_current"):
    """Markdown of the classes of `library` (a members.Reader, type library
    `name` of `dll`) in type-library order, then the interfaces of the
    runtime library they hand out (none when `runtime` is None)."""
    entries = library.entries()
    by_name = {entry.name: entry for entry in entries}
    lines = [
        "# %s member reference" % name,
        "",
        "Generated from the type library of `%s` by `tools/reference/make_reference.py`;"
        " the errors come from `%s`. Do not edit: the build writes it and the"
        " test `%s` compares." % (dll, errors_path, test),
        "",
        "Type library `%s` %s, `%s`: %s." % (name, version, library.library_id(), library.library_help()),
        "",
        "Every member returns an HRESULT; the result named below is its last parameter (out, retval),"
        " which a call by name hands back as the call's value. An error n leaves an early-bound call as"
        " 0x800A0000 + n with the thread's error information set, a call through `IDispatch::Invoke` as"
        " `DISP_E_EXCEPTION` with number, source and description in `EXCEPINFO`.",
        "",
    ]
    for entry in entries:
        if entry.kind != "coclass":
            continue
        interface = by_name[entry.interfaces[0][0]]
        lines += ["## %s" % entry.name, "",
                  "%s. ProgID `%s.%s`, class identifier `%s`; default interface `%s` `%s` (dual)." %
                  (entry.help, name, entry.name, entry.guid, interface.name, interface.guid), ""]
        if not interface.functions:
            lines += ["No members of its own.", ""]
        for function in interface.functions:
            _member(lines, interface.name, function, errors)
    for entry in runtime.entries() if runtime else []:
        if entry.functions:
            lines += ["## %s" % entry.name, "",
                      "%s (runtime constants library `%s`), interface identifier `%s`." %
                      (entry.help, runtime.library_id(), entry.guid), ""]
            for function in entry.functions:
                _member(lines, entry.name, function, errors)
    return "\n".join(lines).rstrip() + "\n"
