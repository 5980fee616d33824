// Owners for the automation values the client tests handle: those of the
// product's frame (frame/com), one set for the library, the stand-in and the
// tests.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"
#include "status_check.h"

namespace wine_tests {

using numoria::frame::Bstr;
using numoria::frame::ExcepInfo;

// The frame's VARIANT owner, with what the tests add to it: copies, values
// of each type made in one step, and the value read back as text or number.
class Variant : public numoria::frame::Variant {
public:
    Variant() = default;
    // A copy that fails throws FailedStatus rather than leave an empty value.
    Variant(const Variant& other) : numoria::frame::Variant() {
        throwIfFailed(VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)), "VariantCopy");
    }
    Variant& operator=(const Variant& other) {
        if (this != &other) throwIfFailed(VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)), "VariantCopy");
        return *this;
    }
    Variant(Variant&&) noexcept = default;
    Variant& operator=(Variant&&) noexcept = default;

    static Variant ofBool(bool value);
    static Variant ofI2(short value);
    static Variant ofI4(long value);
    static Variant ofR8(double value);
    static Variant ofText(const std::wstring& value);
    static Variant ofObject(IDispatch* value);
    // A by-reference argument pointing at the caller's storage of `type`.
    static Variant ofRef(VARTYPE type, void* storage);
    // An omitted optional argument.
    static Variant missing();

    // The value coerced to text / a double; a failed coercion gives "" / NaN.
    std::wstring text() const;
    double number() const;
};

std::string narrow(const std::wstring& text);

} // namespace wine_tests
