// An open key below HKEY_CLASSES_ROOT, closed when it goes out of scope.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace numoria::frame {

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    ~RegistryKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }

    // Both return the registry's status; the key stays closed on failure.
    LSTATUS open(const std::wstring& path, REGSAM access) noexcept {
        return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, access, reset());
    }
    LSTATUS create(const std::wstring& path, REGSAM access) noexcept {
        return RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                               reset(), nullptr);
    }

    HKEY get() const noexcept { return key_; }

private:
    HKEY* reset() noexcept {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
        return &key_;
    }

    HKEY key_ = nullptr;
};

} // namespace numoria::frame
