// CreateMatrix's trailing values as the host passes them: a one-dimensional
// SAFEARRAY of VARIANT, each value converted to double only when it is taken,
// with the runtime's coercion in the user's locale.
#pragma once

#include <windows.h>
#include <oaidl.h>

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

} // namespace numoria::frame
