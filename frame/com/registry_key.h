// An open registry key (below HKEY_CLASSES_ROOT unless another root is
// named), closed when it goes out of scope.
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
    LSTATUS open(const std::wstring& path, REGSAM access, HKEY root = HKEY_CLASSES_ROOT) noexcept {
        return RegOpenKeyExW(root, path.c_str(), 0, access, out());
    }
    LSTATUS create(const std::wstring& path, REGSAM access, HKEY root = HKEY_CLASSES_ROOT) noexcept {
        return RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, out(),
                               nullptr);
    }

    HKEY get() const noexcept { return key_; }
    explicit operator bool() const noexcept { return key_ != nullptr; }
    // The slot for a callee's out-parameter; the key held so far is closed first.
    HKEY* out() noexcept {
        if (key_ != nullptr) RegCloseKey(key_);
        key_ = nullptr;
        return &key_;
    }

private:
    HKEY key_ = nullptr;
};

} // namespace numoria::frame
