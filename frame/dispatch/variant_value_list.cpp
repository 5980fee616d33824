#include "frame/dispatch/variant_value_list.h"

#include "frame/com/safe_array.h"
#include "frame/com/variant.h"
#include "frame/errors/frame_error.h"
#include "runtime/runtime_error.h"

namespace numoria::frame {

VariantValueList::VariantValueList(SAFEARRAY* values) : values_(values) {
    if (values_ == nullptr) return;
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(values_) != 1 || FAILED(SafeArrayGetVartype(values_, &type)) || type != VT_VARIANT)
        throw FrameError(DISP_E_TYPEMISMATCH, u"The value list is not a one-dimensional array of VARIANT");
    count_ = values_->rgsabound[0].cElements;
}

double VariantValueList::toDouble(std::size_t k) const {
    SafeArrayData data(values_);
    const VARIANT& value = referencedValue(static_cast<const VARIANT*>(data.data())[k]);
    if ((value.vt & ~VT_BYREF) == VT_NULL) raiseRuntimeError(ErrorNumber::InvalidUseOfNull);
    Variant converted;
    const HRESULT status = VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&value),
                                               LOCALE_USER_DEFAULT, 0, VT_R8);
    if (status == DISP_E_OVERFLOW) raiseRuntimeError(ErrorNumber::Overflow);
    if (status == E_OUTOFMEMORY) raiseRuntimeError(ErrorNumber::OutOfMemory);
    if (FAILED(status)) raiseRuntimeError(ErrorNumber::TypeMismatch);
    return converted->dblVal;
}

} // namespace numoria::frame
