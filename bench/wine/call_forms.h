// One dispatch call, prepared once and then repeated: the arguments, the
// DISPPARAMS over them and the result slot stay the same from call to call,
// so a benchmark loop times the call alone. It goes either through the
// object's own IDispatch::Invoke or through the platform's DispInvoke over
// the early-bound interface and its virtual-table type description.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "numori10.h"
#include "support/automation_raii.h"

namespace numoria_bench {

using Microsoft::WRL::ComPtr;
using wine_tests::Variant;

class DispatchCall {
public:
    // `arguments` in declaration order; the dispid is looked up by name
    // once, through the object's GetIDsOfNames.
    DispatchCall(IDispatch* object, const std::wstring& member, std::vector<Variant> arguments);
    DispatchCall(const DispatchCall&) = delete;
    DispatchCall& operator=(const DispatchCall&) = delete;

    // IDispatch::Invoke of the object itself.
    HRESULT throughInvoke();
    // DispInvoke(vtableInterface, vtableDescription, ...).
    HRESULT throughDispInvoke(void* vtableInterface, ITypeInfo* vtableDescription);

    const VARIANT& result() const { return *result_.get(); }
    // The status of the last call, with its exception's source and
    // description when it raised one.
    std::string describe(HRESULT status) const;

private:
    ComPtr<IDispatch> object_;
    DISPID dispid_ = DISPID_UNKNOWN;
    std::vector<Variant> reversed_; // rgvarg holds the last argument first
    DISPPARAMS parameters_{};
    Variant result_;
    wine_tests::ExcepInfo exception_;
    UINT argumentError_ = 0;
};

// A by-reference argument pointing at a host record.
Variant recordReference(Matrix* record, IRecordInfo* recordInfo);

} // namespace numoria_bench
