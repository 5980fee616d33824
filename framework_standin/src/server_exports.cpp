// The four entry points of the in-process server.
#include "class_factory.h"
#include "framework_classes.h"
#include "module_lifetime.h"
#include "registration.h"

#include <windows.h>

using namespace vxfu;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setModuleHandle(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** factory) {
    if (!factory) return E_POINTER;
    *factory = nullptr;
    for (const ClassDescription& cls : frameworkClasses()) {
        if (IsEqualCLSID(clsid, cls.clsid)) return createClassFactory(cls, iid, factory);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return moduleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(moduleHandle(), path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return E_FAIL;
    return registerClasses(path);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return unregisterClasses(); }
