#include "automation_raii.h"

#include <cmath>

namespace wine_tests {

Variant Variant::of_bool(bool value) {
    Variant v;
    v.value_.vt = VT_BOOL;
    v.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}
Variant Variant::of_i2(short value) {
    Variant v;
    v.value_.vt = VT_I2;
    v.value_.iVal = value;
    return v;
}
Variant Variant::of_i4(long value) {
    Variant v;
    v.value_.vt = VT_I4;
    v.value_.lVal = value;
    return v;
}
Variant Variant::of_r8(double value) {
    Variant v;
    v.value_.vt = VT_R8;
    v.value_.dblVal = value;
    return v;
}
Variant Variant::of_text(const std::wstring& value) {
    Variant v;
    v.value_.vt = VT_BSTR;
    v.value_.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return v;
}
Variant Variant::of_object(IDispatch* value) {
    Variant v;
    v.value_.vt = VT_DISPATCH;
    v.value_.pdispVal = value;
    if (value) value->AddRef();
    return v;
}

Variant Variant::of_ref(VARTYPE type, void* storage) {
    Variant v;
    v.value_.vt = static_cast<VARTYPE>(type | VT_BYREF);
    v.value_.byref = storage;
    return v;
}
Variant Variant::missing() {
    Variant v;
    v.value_.vt = VT_ERROR;
    v.value_.scode = DISP_E_PARAMNOTFOUND;
    return v;
}

std::wstring Variant::text() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value_), 0, VT_BSTR))) return L"";
    BSTR b = converted.get()->bstrVal;
    return b ? std::wstring(b, SysStringLen(b)) : L"";
}

double Variant::number() const {
    Variant converted;
    if (FAILED(VariantChangeType(converted.get(), const_cast<VARIANT*>(&value_), 0, VT_R8))) return std::nan("");
    return converted.get()->dblVal;
}

std::string narrow(const std::wstring& text) { return numoria::frame::narrow(std::wstring_view(text)); }

}  // namespace wine_tests
