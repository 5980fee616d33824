#include "automation_values.h"

namespace vxfu {

HRESULT coerceArgument(const VARIANT& argument, VARTYPE type, Variant& out) {
    Variant direct;
    HRESULT hr = VariantCopyInd(direct.get(), const_cast<VARIANT*>(&argument));
    if (FAILED(hr)) return hr;
    return VariantChangeType(out.out(), direct.get(), 0, type);
}

std::wstring variantText(const VARIANT& value) {
    Variant text;
    if (FAILED(coerceArgument(value, VT_BSTR, text))) return {};
    BSTR b = text.get()->bstrVal;
    return b ? std::wstring(b, SysStringLen(b)) : std::wstring();
}

} // namespace vxfu
