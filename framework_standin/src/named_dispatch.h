// A late-bound object described by a table: each member has a name, a
// dispatch identifier, the range of argument counts it accepts and a
// handler. One implementation of IDispatch serves every class of the
// stand-in, so the classes themselves are only their tables.
#pragma once

#include "automation_values.h"

#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>

namespace vxfu {

// The positional arguments of one call, in the order the caller wrote them
// (DISPPARAMS keeps them last-first).
class CallArguments {
public:
    explicit CallArguments(const DISPPARAMS& params) : params_(params) {}
    UINT count() const { return params_.cArgs; }
    const VARIANT& operator[](UINT position) const { return params_.rgvarg[params_.cArgs - 1 - position]; }
    // Index into rgvarg for puArgErr.
    UINT rawIndex(UINT position) const { return params_.cArgs - 1 - position; }

private:
    const DISPPARAMS& params_;
};

// A raised automation error; `number` becomes scode 0x800A0000 + number
// when it is below 65536. raise() with a negative number (a failed status
// such as DISP_E_BADPARAMCOUNT) returns that status without an exception.
struct AutomationError {
    long number;
    std::wstring source;
    std::wstring description;
};

struct CallOutcome {
    HRESULT status = S_OK;
    UINT badArgument = 0; // for DISP_E_TYPEMISMATCH
    bool raised = false;  // true: `error` describes the failure
    AutomationError error{};
};

using MemberHandler = CallOutcome (*)(const CallArguments& args, VARIANT* result);

struct MemberDescription {
    const wchar_t* name;
    DISPID dispid;
    UINT minArgs;
    UINT maxArgs;
    MemberHandler handler;
};

struct ClassDescription {
    const wchar_t* className; // short name, e.g. clsVxfuEnvironmentA
    const wchar_t* progId;
    CLSID clsid;
    std::span<const MemberDescription> members;
};

// Creates a new object of the described class with one reference.
HRESULT createNamedDispatch(const ClassDescription& description, REFIID iid, void** object);

CallOutcome raise(long number, std::wstring description);

// The argument at `position` does not convert: DISP_E_TYPEMISMATCH there.
CallOutcome typeMismatch(UINT position);

} // namespace vxfu
