// A variable argument list of values (CreateMatrix's trailing values) as the
// host passes them: a one-dimensional SAFEARRAY of VARIANT, each value
// converted to double only when it is taken, with the runtime's coercion in
// the user's locale; and the argument type of a handler that takes one.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/dispatch/argument_types.h"
#include "matrix/value_list.h"

namespace numoria::frame {

class VariantValueList final : public matrix::ValueList {
public:
    // No array (null) is an empty list. The array must outlive the list.
    explicit VariantValueList(SAFEARRAY* values);

    std::size_t count() const override { return count_; }
    double toDouble(std::size_t k) const override;

private:
    SAFEARRAY* values_;
    std::size_t count_ = 0;
};

// Through dispatch the trailing arguments arrive already packed into one
// array of VARIANT.
template <>
struct Argument<const matrix::ValueList&> {
    using Holder = VariantValueList;
    static constexpr VARTYPE type = VT_ARRAY | VT_VARIANT;
    static constexpr bool takesTheRest = true;
    static Holder late(const VARIANT& value, std::size_t) { return Holder(value.parray); }
    static Holder early(SAFEARRAY* const* value) { return Holder(dereferenced(value)); }
};

} // namespace numoria::frame
