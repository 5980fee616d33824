#include "activation_context.h"

#include <vector>

namespace regfree_tests {

ActivationContext::ActivationContext(const std::wstring& manifest_path) {
    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.lpSource = manifest_path.c_str();
    handle_ = CreateActCtxW(&description);
    if (handle_ == INVALID_HANDLE_VALUE) error_ = GetLastError();
}

ActivationContext::~ActivationContext() {
    if (created()) ReleaseActCtx(handle_);
}

ActiveScope::ActiveScope(const ActivationContext& context) {
    active_ = context.created() && ActivateActCtx(context.handle(), &cookie_);
}

ActiveScope::~ActiveScope() {
    if (active_) DeactivateActCtx(0, cookie_);
}

std::wstring host_manifest_path() {
    const DWORD size = GetEnvironmentVariableW(L"NUMORIA_HOST_MANIFEST", nullptr, 0);
    if (size == 0) return L"";
    std::vector<wchar_t> value(size);
    GetEnvironmentVariableW(L"NUMORIA_HOST_MANIFEST", value.data(), size);
    return value.data();
}

}  // namespace regfree_tests
