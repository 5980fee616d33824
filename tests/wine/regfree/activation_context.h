// An activation context made from a manifest file, and its activation on the
// calling thread for one scope: what a host does to use the library without
// registration.
#pragma once

#include <windows.h>

#include <string>

namespace regfree_tests {

class ActivationContext {
public:
    explicit ActivationContext(const std::wstring& manifestPath);
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;
    ~ActivationContext();

    bool created() const { return handle_ != INVALID_HANDLE_VALUE; }
    DWORD error() const { return error_; }
    HANDLE handle() const { return handle_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD error_ = ERROR_SUCCESS;
};

// Activates a context on this thread until the scope ends.
class ActiveScope {
public:
    explicit ActiveScope(const ActivationContext& context);
    ActiveScope(const ActiveScope&) = delete;
    ActiveScope& operator=(const ActiveScope&) = delete;
    ~ActiveScope();

    bool active() const { return active_; }

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// The host manifest the tests activate (NUMORIA_HOST_MANIFEST), empty when
// the library is registered instead.
std::wstring hostManifestPath();
// The folder the library's file lies in (NUMORIA_LIBRARY_FOLDER).
std::wstring libraryFolder();

} // namespace regfree_tests
