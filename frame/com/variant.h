// An owned VARIANT, cleared when it goes out of scope, and the EXCEPINFO of
// a dispatch call, its strings freed alike; the one set of owners of the
// product, the stand-in and the client tests.
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
    // Moving hands the value over as it is: no VariantCopy, which for a
    // record would copy it into storage of the platform's choosing.
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
    VARTYPE type() const noexcept { return value_.vt; }
    // The slot for a callee's out-parameter; the value held so far is cleared first.
    VARIANT* out() noexcept {
        VariantClear(&value_);
        return &value_;
    }

    // Hands the value to a caller-owned VARIANT, leaving this one empty.
    void moveTo(VARIANT* destination) noexcept {
        *destination = value_;
        VariantInit(&value_);
    }

protected:
    VARIANT value_;
};

class ExcepInfo {
public:
    ExcepInfo() noexcept : info_{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { clear(); }

    // The slot for a callee; what it held so far is freed first.
    EXCEPINFO* out() noexcept {
        clear();
        return &info_;
    }
    // The filled-in information, deferred parts included.
    const EXCEPINFO& value() const noexcept {
        if (info_.pfnDeferredFillIn != nullptr) {
            info_.pfnDeferredFillIn(&info_);
            info_.pfnDeferredFillIn = nullptr;
        }
        return info_;
    }

private:
    void clear() noexcept {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
        info_ = EXCEPINFO{};
    }
    mutable EXCEPINFO info_; // the deferred fill-in completes it on reading
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
