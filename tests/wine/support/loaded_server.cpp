#include "loaded_server.h"

namespace wine_tests {

namespace {
template <typename Fn>
Fn lookup(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
} // namespace

LoadedServer::LoadedServer(const std::wstring& path) : module_(LoadLibraryW(path.c_str())) {
    get_class_object = lookup<GetClassObjectFn>(module_, "DllGetClassObject");
    can_unload_now = lookup<NoArgumentFn>(module_, "DllCanUnloadNow");
    register_server = lookup<NoArgumentFn>(module_, "DllRegisterServer");
    unregister_server = lookup<NoArgumentFn>(module_, "DllUnregisterServer");
}

LoadedServer::~LoadedServer() {
    if (module_) FreeLibrary(module_);
}

} // namespace wine_tests
