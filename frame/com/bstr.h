// An owned automation string (BSTR), freed when it goes out of scope; the
// one owner of the product, the stand-in and the client tests.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "frame/com/owned_handle.h"

namespace numoria::frame {

// A BSTR is a wchar_t*, so there is deliberately no constructor that takes
// one over: it would adopt where the text constructors copy. adopt() does it.
class Bstr : public OwnedHandle<BSTR, &SysFreeString> {
public:
    Bstr() = default;
    // A copy of `text`; throws std::bad_alloc when it cannot be allocated.
    explicit Bstr(std::u16string_view text) {
        adopt(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size())));
        if (get() == nullptr) throw std::bad_alloc();
    }
    explicit Bstr(std::wstring_view text)
            : Bstr(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size())) {}
    explicit Bstr(const wchar_t* text) : Bstr(std::wstring_view(text)) {}
    explicit Bstr(const std::wstring& text) : Bstr(std::wstring_view(text)) {}

    // The text; a null string is the empty text.
    std::wstring text() const { return get() != nullptr ? std::wstring(get(), SysStringLen(get())) : L""; }
};

// The text of a borrowed BSTR, read in place; a null BSTR is the empty text.
inline std::u16string_view textOf(BSTR value) {
    return value == nullptr ? std::u16string_view()
                            : std::u16string_view(reinterpret_cast<const char16_t*>(value), SysStringLen(value));
}

// UTF-16 text as UTF-8 (the core's error texts, the stand-in's log lines).
inline std::string narrow(std::wstring_view text) {
    if (text.empty()) return {};
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}
inline std::string narrow(std::u16string_view text) {
    return narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}

// UTF-8 text (the core's error sources and descriptions) as UTF-16.
inline std::u16string widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::u16string result(static_cast<std::size_t>(length), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                        reinterpret_cast<wchar_t*>(result.data()), length);
    return result;
}

} // namespace numoria::frame
