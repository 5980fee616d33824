#include "automation_raii.h"

#include <cmath>

namespace wine_tests {

namespace {

// A VARIANT of `type` whose field `set` fills.
template <class Set>
Variant made(VARTYPE type, Set set) {
    Variant v;
    v.get()->vt = type;
    set(*v.get());
    return v;
}

} // namespace

Variant Variant::ofBool(bool value) {
    return made(VT_BOOL, [&](VARIANT& v) { v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; });
}
Variant Variant::ofI2(short value) {
    return made(VT_I2, [&](VARIANT& v) { v.iVal = value; });
}
Variant Variant::ofI4(long value) {
    return made(VT_I4, [&](VARIANT& v) { v.lVal = value; });
}
Variant Variant::ofR8(double value) {
    return made(VT_R8, [&](VARIANT& v) { v.dblVal = value; });
}
Variant Variant::ofText(const std::wstring& value) {
    return made(VT_BSTR, [&](VARIANT& v) { v.bstrVal = Bstr(value).release(); });
}
Variant Variant::ofObject(IDispatch* value) {
    if (value) value->AddRef();
    return made(VT_DISPATCH, [&](VARIANT& v) { v.pdispVal = value; });
}
Variant Variant::ofRef(VARTYPE type, void* storage) {
    return made(static_cast<VARTYPE>(type | VT_BYREF), [&](VARIANT& v) { v.byref = storage; });
}
Variant Variant::missing() {
    return made(VT_ERROR, [](VARIANT& v) { v.scode = DISP_E_PARAMNOTFOUND; });
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

} // namespace wine_tests
