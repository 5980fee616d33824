#include "frame/dispatch/runtime_coercion.h"

#include "runtime/runtime_error.h"

namespace numoria::frame {

Variant runtimeCoerced(const VARIANT& value, VARTYPE type) {
    const VARIANT& referenced = referencedValue(value);
    // A reference to nothing holds no value of any type.
    if (pointsAtNothing(referenced)) raiseRuntimeError(ErrorNumber::TypeMismatch);
    if ((referenced.vt & ~VT_BYREF) == VT_NULL) raiseRuntimeError(ErrorNumber::InvalidUseOfNull);
    Variant converted;
    const HRESULT status =
        VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&referenced), LOCALE_USER_DEFAULT, 0, type);
    if (status == DISP_E_OVERFLOW) raiseRuntimeError(ErrorNumber::Overflow);
    if (status == E_OUTOFMEMORY) raiseRuntimeError(ErrorNumber::OutOfMemory);
    if (FAILED(status)) raiseRuntimeError(ErrorNumber::TypeMismatch);
    return converted;
}

} // namespace numoria::frame
