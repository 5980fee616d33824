// Statuses of the platform calls a test helper makes on its way to the
// subject under test. A helper cannot use ASSERT_*, so a failed status
// throws FailedStatus, naming the call and the status; GoogleTest reports
// the exception as the failure of the test that called the helper.
#pragma once

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "frame/com/bstr.h"

namespace wine_tests {

class FailedStatus : public std::runtime_error {
public:
    FailedStatus(const char* call, long status) : std::runtime_error(describe(call, status)), status_(status) {}
    long status() const noexcept { return status_; }

private:
    static std::string describe(const char* call, long status) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(status));
        return std::string(call) + " failed with status " + hex;
    }
    long status_;
};

// Throws unless `status` is a success status (S_OK, S_FALSE, ...).
inline void throwIfFailed(HRESULT status, const char* call) {
    if (FAILED(status)) throw FailedStatus(call, status);
}

// Throws unless a registry call returned ERROR_SUCCESS.
inline void throwIfRegistryFailed(LSTATUS status, const char* call) {
    if (status != ERROR_SUCCESS) throw FailedStatus(call, status);
}

// The same for a call on the key at `path` (below HKEY_CLASSES_ROOT),
// which the failure names.
inline void throwIfRegistryFailed(LSTATUS status, const char* call, const std::wstring& path) {
    if (status != ERROR_SUCCESS)
        throw FailedStatus((std::string(call) + " on " + numoria::frame::narrow(path)).c_str(), status);
}

} // namespace wine_tests
