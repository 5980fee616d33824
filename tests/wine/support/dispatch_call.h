// One late-bound call described once and made through any IDispatch::Invoke
// form: the library object's own Invoke, or the platform's standard
// DispInvoke over the interface's type description. Every call gets a fresh
// copy of its arguments, so one side cannot see what the other wrote, and
// what came back (status, result, exception information, argument position,
// the arguments afterwards) is kept for comparison.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/automation_raii.h"

namespace wine_tests {

// How an argument's value reaches the callee.
enum class Passing {
    Value,                  // the VARIANT itself
    Reference,              // VT_BYREF | type, pointing at the caller's storage
    VariantReference,       // VT_BYREF | VT_VARIANT, pointing at a VARIANT holding the value
    NestedVariantReference, // a VT_BYREF | VT_VARIANT pointing at another one
    NullReference,          // VT_BYREF | type with a null pointer
    NullVariantReference,   // VT_BYREF | VT_VARIANT with a null pointer
};

struct CallArgument {
    Variant value;
    Passing passing = Passing::Value;
};

struct NamedArgument {
    DISPID dispid;
    CallArgument argument;
};

struct DispatchCall {
    DISPID dispid = DISPID_UNKNOWN;
    WORD flags = DISPATCH_METHOD;
    std::vector<CallArgument> positional; // in declaration order
    std::vector<NamedArgument> named;     // placed first in rgvarg, in this order
    bool wantResult = true;
    bool wantException = true;
    bool wantArgumentError = true;
    // Malformed parameter blocks: counts left as they are, pointers null.
    bool nullArguments = false;
    bool nullNamedIdentifiers = false;
    // cNamedArgs given as this instead of named.size().
    std::optional<UINT> namedCountOverride;
};

// What one call handed back.
struct Observation {
    HRESULT status = E_FAIL;
    Variant result;
    SCODE scode = 0;
    WORD wCode = 0;
    std::wstring source;
    std::wstring description;
    std::optional<UINT> argumentError; // set only when the callee wrote it
    std::vector<std::string> argumentsBefore;
    std::vector<std::string> argumentsAfter;
};

using InvokeForm = std::function<HRESULT(DISPID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)>;

Observation observe(const InvokeForm& invoke, const DispatchCall& call);

// The object's own IDispatch::Invoke.
InvokeForm ownInvoke(IDispatch* object);
// The platform's DispInvoke on the early-bound interface pointer.
InvokeForm standardInvoke(IUnknown* earlyBound, ITypeInfo* interfaceInfo);

// The virtual-table description of a dual interface from the type library
// embedded in numori10.dll.
Microsoft::WRL::ComPtr<ITypeInfo> embeddedInterfaceInfo(const IID& iid);

// A readable, exact form of a VARIANT: its type, and its value (doubles by
// their bits, strings by their text, a null string as the empty text).
std::string describe(const VARIANT& value);

// Where the library's observation differs from the platform's, one line per
// difference (empty when they agree). Positions are compared only when the
// platform wrote one.
std::vector<std::string> differences(const Observation& library, const Observation& platform);

// A VARIANT of a scalar type whose value is given as the C++ type the union
// member of that type holds.
template <class T>
Variant scalar(VARTYPE type, T value) {
    Variant v;
    v.get()->vt = type;
    static_assert(sizeof(T) <= sizeof(v.get()->llVal));
    *reinterpret_cast<T*>(&v.get()->llVal) = value;
    return v;
}

} // namespace wine_tests
