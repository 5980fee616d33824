// An open registry key (below HKEY_CLASSES_ROOT unless another root is
// named), closed when it goes out of scope.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "frame/com/owned_handle.h"

namespace numoria::frame {

class RegistryKey : public OwnedHandle<HKEY, &RegCloseKey> {
public:
    // Both return the registry's status; the key stays closed on failure.
    LSTATUS open(const std::wstring& path, REGSAM access, HKEY root = HKEY_CLASSES_ROOT) noexcept {
        return RegOpenKeyExW(root, path.c_str(), 0, access, out());
    }
    LSTATUS create(const std::wstring& path, REGSAM access, HKEY root = HKEY_CLASSES_ROOT) noexcept {
        return RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, out(),
                               nullptr);
    }
};

} // namespace numoria::frame
