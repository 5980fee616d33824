#include "late_bound_reader.h"

#include "automation_values.h"

#include <dispex.h>

namespace vxfu {
namespace {

// GetIDsOfNames, or IDispatchEx::GetDispID for objects that implement only
// that (Wine's script class objects).
bool findName(IDispatch* object, const wchar_t* name, DISPID& dispid) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid))) return true;
    IDispatchEx* extended = nullptr;
    if (FAILED(object->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&extended)))) return false;
    Bstr text(name);
    HRESULT hr = extended->GetDispID(text.get(), fdexNameCaseInsensitive, &dispid);
    extended->Release();
    return SUCCEEDED(hr);
}

} // namespace

IDispatch* argumentObject(const VARIANT& argument) {
    const VARIANT* value = &argument;
    if (value->vt == (VT_VARIANT | VT_BYREF) && value->pvarVal) value = value->pvarVal;
    switch (value->vt) {
    case VT_DISPATCH: return value->pdispVal;
    case VT_DISPATCH | VT_BYREF: return value->ppdispVal ? *value->ppdispVal : nullptr;
    default: return nullptr;
    }
}

std::wstring readPropertyText(IDispatch* object, const wchar_t* name, const std::wstring& fallback) {
    if (!object) return fallback;
    DISPID dispid = DISPID_UNKNOWN;
    if (!findName(object, name, dispid)) return fallback;
    // A property get first; some objects (script classes) answer only that,
    // others expose the value as a method without arguments.
    for (WORD flags : {WORD(DISPATCH_PROPERTYGET), WORD(DISPATCH_PROPERTYGET | DISPATCH_METHOD)}) {
        DISPPARAMS none{};
        Variant value;
        EXCEPINFO exception{};
        UINT badArgument = 0;
        HRESULT hr =
            object->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, value.get(), &exception, &badArgument);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        if (SUCCEEDED(hr)) return variantText(*value.get());
    }
    return fallback;
}

} // namespace vxfu
