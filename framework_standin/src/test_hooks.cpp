#include "test_hooks.h"

#include <windows.h>

#include <cwchar>
#include <sstream>

namespace vxfu::hooks {
namespace {

// Read through the Win32 environment rather than the C runtime's copy, so a
// value set by the host process with SetEnvironmentVariable is seen at once.
std::wstring environment(const wchar_t* name) {
    wchar_t buffer[1024];
    DWORD length = GetEnvironmentVariableW(name, buffer, static_cast<DWORD>(std::size(buffer)));
    if (length == 0 || length >= std::size(buffer)) return {};
    return std::wstring(buffer, length);
}

} // namespace

std::wstring logPath() { return environment(L"NUMORIA_STANDIN_LOG"); }

bool uiDisabled() {
    std::wstring value = environment(L"NUMORIA_STANDIN_NO_UI");
    return !value.empty() && value != L"0";
}

std::optional<long> forcedError(const wchar_t* variable) {
    std::wstring value = environment(variable);
    if (value.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    long number = std::wcstol(value.c_str(), &end, 0);
    if (end == value.c_str() || number == 0) return std::nullopt;
    return number;
}

bool classRefused(const std::wstring& className) {
    std::wistringstream list(environment(L"NUMORIA_STANDIN_REFUSE"));
    std::wstring item;
    while (std::getline(list, item, L',')) {
        if (_wcsicmp(item.c_str(), className.c_str()) == 0) return true;
    }
    return false;
}

} // namespace vxfu::hooks
