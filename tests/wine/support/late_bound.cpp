#include "late_bound.h"

#include <algorithm>

namespace wine_tests {

Creation createByClsid(const CLSID& clsid) {
    Creation result;
    result.status = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     reinterpret_cast<void**>(result.object.GetAddressOf()));
    return result;
}

Creation createByProgId(const std::wstring& progId) {
    CLSID clsid{};
    HRESULT hr = CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) return Creation{hr, nullptr};
    return createByClsid(clsid);
}

long CallResult::errorNumber() const {
    long code = status == DISP_E_EXCEPTION ? scode : status;
    if ((static_cast<unsigned long>(code) & 0xFFFF0000UL) == 0x800A0000UL) return code & 0xFFFF;
    return code;
}

DISPID dispidOf(IDispatch* object, const std::wstring& name) {
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid))) return DISPID_UNKNOWN;
    return dispid;
}

CallResult callByName(IDispatch* object, const std::wstring& name, std::vector<Variant> arguments, WORD flags) {
    CallResult result;
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    result.status = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    if (FAILED(result.status)) return result;

    // DISPPARAMS holds the arguments last-first.
    std::vector<VARIANT> reversed;
    reversed.reserve(arguments.size());
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(*it->get());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ExcepInfo exception;
    UINT badArgument = 0;
    result.status = object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.value.out(),
                                   exception.out(), &badArgument);
    if (result.status == DISP_E_EXCEPTION) {
        const EXCEPINFO& info = exception.value();
        result.scode = info.scode ? info.scode : static_cast<long>(0x800A0000UL) + info.wCode;
        if (info.bstrSource) result.source = info.bstrSource;
        if (info.bstrDescription) result.description = info.bstrDescription;
    }
    return result;
}

} // namespace wine_tests
