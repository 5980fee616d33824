#include "frame/dispatch/argument_types.h"

namespace numoria::frame {

Variant coercedArgument(const VARIANT& argument, VARTYPE type, std::size_t position) {
    // A reference to Empty or Null is no valid type at all.
    if ((argument.vt & VT_BYREF) != 0 && (argument.vt & VT_TYPEMASK) <= VT_NULL)
        throw ArgumentError(DISP_E_BADVARTYPE, position);
    if (pointsAtNothing(argument)) throw ArgumentError(DISP_E_TYPEMISMATCH, position);
    // The dispatcher has followed one VARIANT reference already; like the
    // platform's coercion, a reference to another reference is refused.
    if (argument.vt == (VT_BYREF | VT_VARIANT)) throw ArgumentError(E_INVALIDARG, position);
    Variant value;
    const HRESULT status =
        VariantChangeTypeEx(value.get(), const_cast<VARIANT*>(&argument), LOCALE_USER_DEFAULT, 0, type);
    if (status == E_OUTOFMEMORY) throw FrameError(E_OUTOFMEMORY);
    // The conversion's own status (type mismatch, overflow, bad variant
    // type, ...), as the platform's dispatch reports it.
    if (FAILED(status)) throw ArgumentError(status, position);
    return value;
}

} // namespace numoria::frame
