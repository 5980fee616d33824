// An owned automation string (BSTR), freed when it goes out of scope.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace numoria::frame {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text)
        : value_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()))) {
        if (value_ == nullptr) throw std::bad_alloc();
    }
    explicit Bstr(const wchar_t* text) : Bstr(std::u16string_view(reinterpret_cast<const char16_t*>(text))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    ~Bstr() { SysFreeString(value_); }

    BSTR get() const noexcept { return value_; }
    BSTR* address() noexcept { return &value_; }
    BSTR release() noexcept { return std::exchange(value_, nullptr); }

private:
    BSTR value_ = nullptr;
};

// The text of a BSTR; a null BSTR is the empty text.
inline std::u16string_view textOf(BSTR value) {
    return value == nullptr ? std::u16string_view()
                            : std::u16string_view(reinterpret_cast<const char16_t*>(value), SysStringLen(value));
}

// UTF-8 text of the core (error sources and descriptions) as UTF-16.
std::u16string widen(std::string_view utf8);

} // namespace numoria::frame
