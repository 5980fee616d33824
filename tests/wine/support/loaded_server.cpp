#include "loaded_server.h"

namespace wine_tests {

namespace {
template <typename Fn>
Fn lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
} // namespace

LoadedServer::LoadedServer(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    getClassObject = lookup<GetClassObjectFn>(module_, "DllGetClassObject");
    canUnloadNow = lookup<NoArgumentFn>(module_, "DllCanUnloadNow");
    registerServer = lookup<NoArgumentFn>(module_, "DllRegisterServer");
    unregisterServer = lookup<NoArgumentFn>(module_, "DllUnregisterServer");
}

LoadedServer::~LoadedServer() {
    if (module_) FreeLibrary(module_);
}

} // namespace wine_tests
