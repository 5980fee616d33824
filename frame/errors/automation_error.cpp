#include "frame/errors/automation_error.h"

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

ErrorDescription describeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (const RuntimeError& error) {
            return {statusOfErrorNumber(error.number()), widen(error.source()), widen(error.description())};
        } catch (const FrameError& error) {
            return {error.status(), u"Numoria10", error.description()};
        } catch (const std::bad_alloc&) {
            return {E_OUTOFMEMORY, u"Numoria10", u"Out of memory"};
        } catch (...) {
            return {E_UNEXPECTED, u"Numoria10", u"Unexpected failure"};
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
