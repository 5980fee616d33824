// Small owners for automation strings and VARIANTs, so that every BSTR and
// VARIANT the stand-in touches is freed on every path.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace vxfu {

class UniqueBstr {
public:
    UniqueBstr() = default;
    explicit UniqueBstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(value_);
            value_ = std::exchange(other.value_, nullptr);
        }
        return *this;
    }
    ~UniqueBstr() { SysFreeString(value_); }

    BSTR get() const { return value_; }
    BSTR release() { return std::exchange(value_, nullptr); }

private:
    BSTR value_ = nullptr;
};

class UniqueVariant {
public:
    UniqueVariant() { VariantInit(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    ~UniqueVariant() { VariantClear(&value_); }

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT* reset() {
        VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// Converts a (possibly by-reference) argument to `type`; fails with the
// coercion status of the automation runtime.
HRESULT coerce_argument(const VARIANT& argument, VARTYPE type, UniqueVariant& out);

// The text of a VARIANT as the runtime would print it; "" when it has none.
std::wstring variant_text(const VARIANT& value);

}  // namespace vxfu
