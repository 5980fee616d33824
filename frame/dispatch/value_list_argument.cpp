#include "frame/dispatch/value_list_argument.h"

#include "frame/com/safe_array.h"
#include "frame/dispatch/runtime_coercion.h"
#include "frame/errors/frame_error.h"

namespace numoria::frame {

VariantValueList::VariantValueList(SAFEARRAY* values) : values_(values) {
    if (values_ == nullptr) return;
    VARTYPE type = VT_EMPTY;
    if (SafeArrayGetDim(values_) != 1 || FAILED(SafeArrayGetVartype(values_, &type)) || type != VT_VARIANT ||
        SafeArrayGetElemsize(values_) != sizeof(VARIANT))
        throw FrameError(DISP_E_TYPEMISMATCH, u"The value list is not a one-dimensional array of VARIANT");
    count_ = values_->rgsabound[0].cElements;
}

double VariantValueList::toDouble(std::size_t k) const {
    SafeArrayData data(values_);
    return runtimeCoerced(static_cast<const VARIANT*>(data.data())[k], VT_R8)->dblVal;
}

} // namespace numoria::frame
