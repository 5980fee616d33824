// Owners for the automation values the client tests handle.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace wine_tests {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value_); }
    BSTR get() const { return value_; }
    BSTR* out() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    std::wstring text() const { return value_ ? std::wstring(value_, SysStringLen(value_)) : L""; }

private:
    BSTR value_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant& other) : Variant() { VariantCopy(&value_, const_cast<VARIANT*>(&other.value_)); }
    Variant& operator=(const Variant& other) {
        if (this != &other) VariantCopy(&value_, const_cast<VARIANT*>(&other.value_));
        return *this;
    }
    // Moving hands the value over as it is: no VariantCopy, which for a
    // record would copy it into storage of the platform's choosing.
    Variant(Variant&& other) noexcept : value_(other.value_) { VariantInit(&other.value_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&value_);
            value_ = other.value_;
            VariantInit(&other.value_);
        }
        return *this;
    }
    ~Variant() { VariantClear(&value_); }

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

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT* out() {
        VariantClear(&value_);
        return &value_;
    }
    VARTYPE type() const { return value_.vt; }
    // The value coerced to text / a double; a failed coercion gives "" / NaN.
    std::wstring text() const;
    double number() const;

private:
    VARIANT value_;
};

class ExcepInfo {
public:
    ExcepInfo() : info_{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { clear(); }
    EXCEPINFO* get() {
        clear();
        return &info_;
    }
    const EXCEPINFO& value() const { return info_; }

private:
    void clear() {
        SysFreeString(info_.bstrSource);
        SysFreeString(info_.bstrDescription);
        SysFreeString(info_.bstrHelpFile);
        info_ = EXCEPINFO{};
    }
    EXCEPINFO info_;
};

std::string narrow(const std::wstring& text);

}  // namespace wine_tests
