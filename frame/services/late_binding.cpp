#include "frame/services/late_binding.h"

#include <string>
#include <vector>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"
#include "runtime/runtime_error.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

std::string narrow(std::u16string_view text) {
    if (text.empty()) return {};
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(text.size()), result.data(), length, nullptr, nullptr);
    return result;
}

[[noreturn]] void raise(std::int32_t number, const char* description) {
    throw RuntimeError(number, kRuntimeErrorSource, description);
}

// The error number an automation client reads from a status.
std::int32_t errorNumberOf(HRESULT status) {
    return HRESULT_FACILITY(status) == FACILITY_CONTROL ? HRESULT_CODE(status) : static_cast<std::int32_t>(status);
}

} // namespace

ComPtr<IDispatch> createObject(const wchar_t* progId) {
    CLSID classId{};
    ComPtr<IDispatch> object;
    if (FAILED(CLSIDFromProgID(progId, &classId)) ||
        FAILED(CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(object.GetAddressOf()))))
        raise(429, "ActiveX component can't create object");
    return object;
}

void callMethod(IDispatch* object, const wchar_t* method, std::span<VARIANT> arguments) {
    if (object == nullptr) raise(91, "Object variable or With block variable not set");
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(method);
    if (FAILED(object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid)))
        raise(438, "Object doesn't support this property or method");

    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    Variant result;
    EXCEPINFO exception{};
    UINT argumentError = 0;
    const HRESULT status = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                                          result.get(), &exception, &argumentError);
    if (status == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
        Bstr source, description, helpFile;
        *source.address() = exception.bstrSource;
        *description.address() = exception.bstrDescription;
        *helpFile.address() = exception.bstrHelpFile;
        const std::int32_t number = exception.wCode != 0 ? exception.wCode : errorNumberOf(exception.scode);
        throw RuntimeError(number, narrow(textOf(source.get())), narrow(textOf(description.get())));
    }
    if (FAILED(status)) raise(errorNumberOf(status), "Automation error");
}

} // namespace numoria::frame
