#include "frame/status/automation_error.h"

#include <wrl/client.h>

#include <new>

#include "frame/com/bstr.h"
#include "frame/errors/frame_error.h"
#include "runtime/runtime_error.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

HRESULT statusOfErrorNumber(std::int32_t number) noexcept {
    if (number > 0 && number < 65536) return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, number);
    return static_cast<HRESULT>(number);
}

std::int32_t hostErrorNumber(HRESULT status) noexcept {
    if (HRESULT_FACILITY(status) == FACILITY_CONTROL) return HRESULT_CODE(status);
    struct Entry {
        HRESULT status;
        ErrorNumber number;
    };
    static constexpr Entry kNumbers[] = {
        {DISP_E_BADPARAMCOUNT, ErrorNumber::WrongArgumentCount},
        {DISP_E_TYPEMISMATCH, ErrorNumber::TypeMismatch},
        {DISP_E_OVERFLOW, ErrorNumber::Overflow},
        {DISP_E_DIVBYZERO, ErrorNumber::DivisionByZero},
        {DISP_E_BADINDEX, ErrorNumber::SubscriptOutOfRange},
        {DISP_E_ARRAYISLOCKED, ErrorNumber::ArrayLocked},
        {DISP_E_MEMBERNOTFOUND, ErrorNumber::MemberNotSupported},
        {DISP_E_UNKNOWNNAME, ErrorNumber::MemberNotSupported},
        {DISP_E_NONAMEDARGS, ErrorNumber::NoNamedArguments},
        {DISP_E_PARAMNOTFOUND, ErrorNumber::NamedArgumentNotFound},
        {DISP_E_PARAMNOTOPTIONAL, ErrorNumber::ArgumentNotOptional},
        {DISP_E_BADVARTYPE, ErrorNumber::UnsupportedAutomationType},
        {E_OUTOFMEMORY, ErrorNumber::OutOfMemory},
        {E_INVALIDARG, ErrorNumber::InvalidProcedureCall},
    };
    for (const Entry& entry : kNumbers)
        if (entry.status == status) return static_cast<std::int32_t>(entry.number);
    return static_cast<std::int32_t>(status);
}

const std::u16string& runtimeErrorSource() {
    static const std::u16string source = widen(kRuntimeErrorSource);
    return source;
}

ErrorDescription describeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const RuntimeError& error) {
            return {statusOfErrorNumber(error.number()), widen(error.source()), widen(error.description())};
        } catch (const FrameError& error) {
            return {error.status(), runtimeErrorSource(), error.description()};
        } catch (const std::bad_alloc&) {
            // Out of memory inside a member is the runtime's error 7.
            const auto number = static_cast<std::int32_t>(ErrorNumber::OutOfMemory);
            return {statusOfErrorNumber(number), runtimeErrorSource(), widen(standardDescription(number))};
        } catch (...) {
            return {E_UNEXPECTED, runtimeErrorSource(), u"Unexpected failure"};
        }
    } catch (...) {
        // Building the description itself ran out of memory.
        return {E_OUTOFMEMORY, {}, {}};
    }
}

void publishErrorInfo(const ErrorDescription& error, REFIID iid) noexcept {
    ComPtr<ICreateErrorInfo> creator;
    if (FAILED(CreateErrorInfo(&creator))) return;
    creator->SetGUID(iid);
    creator->SetSource(const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(error.source.c_str())));
    creator->SetDescription(const_cast<LPOLESTR>(reinterpret_cast<const OLECHAR*>(error.description.c_str())));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(creator.As(&info))) SetErrorInfo(0, info.Get());
}

void fillExcepInfo(const ErrorDescription& error, EXCEPINFO* info) noexcept {
    if (info == nullptr) return;
    *info = EXCEPINFO{};
    info->scode = error.status;
    try {
        info->bstrSource = Bstr(error.source).release();
        info->bstrDescription = Bstr(error.description).release();
    } catch (const std::bad_alloc&) {
        // The status alone still reaches the caller.
    }
}

} // namespace numoria::frame
