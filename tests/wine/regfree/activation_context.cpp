#include "activation_context.h"

#include <vector>

namespace regfree_tests {

ActivationContext::ActivationContext(const std::wstring& manifestPath) {
    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.lpSource = manifestPath.c_str();
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

namespace {
std::wstring environmentText(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return L"";
    std::vector<wchar_t> value(size);
    GetEnvironmentVariableW(name, value.data(), size);
    return value.data();
}
} // namespace

std::wstring hostManifestPath() { return environmentText(L"NUMORIA_HOST_MANIFEST"); }
std::wstring libraryFolder() { return environmentText(L"NUMORIA_LIBRARY_FOLDER"); }

} // namespace regfree_tests
