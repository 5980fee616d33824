// An owned VARIANT, cleared when it goes out of scope.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <utility>

namespace numoria::frame {

class Variant {
public:
    Variant() noexcept { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~Variant() { VariantClear(&value_); }

    VARIANT* get() noexcept { return &value_; }
    const VARIANT* get() const noexcept { return &value_; }
    VARIANT* operator->() noexcept { return &value_; }
    const VARIANT* operator->() const noexcept { return &value_; }

    // Hands the value to a caller-owned VARIANT, leaving this one empty.
    void moveTo(VARIANT* destination) noexcept {
        *destination = value_;
        VariantInit(&value_);
    }

private:
    VARIANT value_;
};

// A by-reference VARIANT whose pointer is null: the platform's copying and
// conversion functions would read through it.
inline bool pointsAtNothing(const VARIANT& value) { return (value.vt & VT_BYREF) != 0 && value.byref == nullptr; }

// The VARIANT a by-reference VARIANT (VT_BYREF | VT_VARIANT) refers to,
// followed through any number of such references.
inline const VARIANT& referencedValue(const VARIANT& value) {
    const VARIANT* current = &value;
    while (current->vt == (VT_BYREF | VT_VARIANT) && current->pvarVal != nullptr) current = current->pvarVal;
    return *current;
}

} // namespace numoria::frame
