#include "frame/services/late_binding.h"

#include <string>
#include <vector>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"
#include "frame/status/automation_error.h"
#include "runtime/runtime_error.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

// The error a host meets for a call that failed with `status` without an
// exception of the callee: its runtime number, with the standard text.
[[noreturn]] void raiseForStatus(HRESULT status) {
    const std::int32_t number = hostErrorNumber(status);
    std::string description = standardDescription(number);
    if (description.empty()) description = "Automation error";
    throw RuntimeError(number, kRuntimeErrorSource, std::move(description));
}

} // namespace

ComPtr<IDispatch> createObject(const wchar_t* progId) {
    CLSID classId{};
    ComPtr<IDispatch> object;
    if (FAILED(CLSIDFromProgID(progId, &classId)) ||
        FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(object.GetAddressOf()))))
        raiseRuntimeError(ErrorNumber::CannotCreateObject);
    return object;
}

void callMethod(IDispatch* object, const wchar_t* method, std::span<VARIANT> arguments) {
    if (object == nullptr) raiseRuntimeError(ErrorNumber::ObjectVariableNotSet);
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(method);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid)))
        raiseRuntimeError(ErrorNumber::MemberNotSupported);

    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Variant result;
    ExcepInfo exception;
    UINT argumentError = 0;
    const HRESULT status = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                          result.get(), exception.out(), &argumentError);
    if (status == DISP_E_EXCEPTION) {
        const EXCEPINFO& info = exception.value();
        const std::int32_t number = info.wCode != 0 ? info.wCode : hostErrorNumber(info.scode);
        throw RuntimeError(number, narrow(textOf(info.bstrSource)), narrow(textOf(info.bstrDescription)));
    }
    if (FAILED(status)) raiseForStatus(status);
}

} // namespace numoria::frame
