// Owners for the automation values the client tests handle: those of the
// product's frame (frame/com), one set for the library, the stand-in and the
// tests.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "frame/com/bstr.h"
#include "frame/com/variant.h"

namespace wine_tests {

using numoria::frame::Bstr;
using numoria::frame::ExcepInfo;

// The frame's VARIANT owner, with what the tests add to it: copies, values
// of each type made in one step, and the value read back as text or number.
class Variant : public numoria::frame::Variant {
public:
    Variant() = default;
    Variant(const Variant& other) : numoria::frame::Variant() {
        VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
    }
    Variant& operator=(const Variant& other) {
        if (this != &other) VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
        return *this;
    }
    Variant(Variant&&) noexcept = default;
    Variant& operator=(Variant&&) noexcept = default;

    static Variant of_bool(bool value);
    static Variant of_i2(short value);
    static Variant of_i4(long value);
    static Variant of_r8(double value);
    static Variant of_text(const std::wstring& value);
    static Variant of_object(IDispatch* value);
    // A by-reference argument pointing at the caller's storage of `type`.
    static Variant of_ref(VARTYPE type, void* storage);
    // An omitted optional argument.
    static Variant missing();

    // The value coerced to text / a double; a failed coercion gives "" / NaN.
    std::wstring text() const;
    double number() const;
};

std::string narrow(const std::wstring& text);

} // namespace wine_tests
