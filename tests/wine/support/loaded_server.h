// An in-process server loaded directly with LoadLibrary, its four exports
// looked up by name.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

namespace wine_tests {

class LoadedServer {
public:
    explicit LoadedServer(const std::wstring& path);
    LoadedServer(const LoadedServer&) = delete;
    LoadedServer& operator=(const LoadedServer&) = delete;
    ~LoadedServer();

    bool loaded() const { return module_ != nullptr; }
    HMODULE module() const { return module_; }

    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using NoArgumentFn = HRESULT(STDAPICALLTYPE*)();

    GetClassObjectFn getClassObject = nullptr;
    NoArgumentFn canUnloadNow = nullptr;
    NoArgumentFn registerServer = nullptr;
    NoArgumentFn unregisterServer = nullptr;

private:
    HMODULE module_ = nullptr;
};

} // namespace wine_tests
