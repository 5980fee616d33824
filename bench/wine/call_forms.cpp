#include "call_forms.h"

#include <algorithm>

#include "bench_session.h"
#include "numori10.h"

namespace numoria_bench {

DispatchCall::DispatchCall(IDispatch* object, const std::wstring& member, std::vector<Variant> arguments)
        : object_(object), reversed_(arguments.rbegin(), arguments.rend()) {
    wine_tests::Bstr name(member);
    LPOLESTR names[1] = {name.get()};
    check(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid_), "IDispatch::GetIDsOfNames");
    parameters_.cArgs = static_cast<UINT>(reversed_.size());
    // Variant wraps exactly one VARIANT, so the vector is an array of them.
    static_assert(sizeof(Variant) == sizeof(VARIANT));
    parameters_.rgvarg = reversed_.empty() ? nullptr : reversed_.front().get();
}

HRESULT DispatchCall::throughInvoke() {
    return object_->Invoke(dispid_, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters_, result_.out(),
                           exception_.out(), &argumentError_);
}

HRESULT DispatchCall::throughDispInvoke(void* vtableInterface, ITypeInfo* vtableDescription) {
    return DispInvoke(vtableInterface, vtableDescription, dispid_, DISPATCH_METHOD, &parameters_, result_.out(),
                      exception_.out(), &argumentError_);
}

std::string DispatchCall::describe(HRESULT status) const {
    std::string text = hexStatus(status);
    if (status == DISP_E_EXCEPTION) {
        const EXCEPINFO& raised = exception_.value();
        text += " (" + hexStatus(raised.scode) + " " + wine_tests::narrow(raised.bstrSource ? raised.bstrSource : L"") +
                ": " + wine_tests::narrow(raised.bstrDescription ? raised.bstrDescription : L"") + ")";
    }
    return text;
}

Variant recordReference(Matrix* record, IRecordInfo* recordInfo) {
    Variant reference;
    VARIANT* value = reference.get();
    value->vt = VT_RECORD | VT_BYREF;
    value->pvRecord = record;
    // A by-reference VARIANT does not own its record description: clearing
    // it releases nothing, so no reference is taken here either.
    value->pRecInfo = recordInfo;
    return reference;
}

} // namespace numoria_bench
