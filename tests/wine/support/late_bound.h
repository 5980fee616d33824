// Creating objects by programmatic identifier and calling them by name, as a
// late-bound host does.
#pragma once

#include "automation_raii.h"

#include <wrl/client.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace wine_tests {

using Microsoft::WRL::ComPtr;

// The status of automation error `number` (0x800A0000 + number), as an
// early-bound call returns it and EXCEPINFO's scode carries it.
constexpr HRESULT automation_error(long number) { return static_cast<HRESULT>(0x800A0000UL + number); }

struct Creation {
    HRESULT status = E_FAIL;
    ComPtr<IDispatch> object;
};

// CLSIDFromProgID then CoCreateInstance for IDispatch (in-process).
Creation create_by_prog_id(const std::wstring& prog_id);
Creation create_by_clsid(const CLSID& clsid);

struct CallResult {
    HRESULT status = E_FAIL;
    Variant value;
    // Filled when status is DISP_E_EXCEPTION.
    long scode = 0;
    std::wstring source;
    std::wstring description;
    // The automation error number an automation client reads back.
    long error_number() const;
};

// Calls a member by name with the arguments in the order written.
CallResult call_by_name(IDispatch* object, const std::wstring& name, std::vector<Variant> arguments = {},
                        WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

// The dispatch identifier of a name, or DISPID_UNKNOWN.
DISPID dispid_of(IDispatch* object, const std::wstring& name);

} // namespace wine_tests
