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
constexpr HRESULT automationError(long number) { return static_cast<HRESULT>(0x800A0000UL + number); }

struct Creation {
    HRESULT status = E_FAIL;
    ComPtr<IDispatch> object;
};

// CLSIDFromProgID then CoCreateInstance for IDispatch (in-process).
Creation createByProgId(const std::wstring& progId);
Creation createByClsid(const CLSID& clsid);

struct CallResult {
    HRESULT status = E_FAIL;
    Variant value;
    // Filled when status is DISP_E_EXCEPTION.
    long scode = 0;
    std::wstring source;
    std::wstring description;
    // The automation error number an automation client reads back.
    long errorNumber() const;
};

// Calls a member by name with the arguments in the order written.
CallResult callByName(IDispatch* object, const std::wstring& name, std::vector<Variant> arguments = {},
                      WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

// The dispatch identifier of a name, or DISPID_UNKNOWN.
DISPID dispidOf(IDispatch* object, const std::wstring& name);

} // namespace wine_tests
