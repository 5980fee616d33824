// The four exports of the in-process server and the file's entry point.
#include <windows.h>
#include <unknwn.h>

#include "frame/library_info/thread_module_data.h"
#include "frame/server/class_catalogue.h"
#include "frame/server/class_factory.h"
#include "frame/module/module_state.h"
#include "frame/server/registration.h"
#include "frame/module/type_library.h"

using namespace numoria::frame;

// Thread notices stay enabled: a thread that ends gives back its module data.
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        setModuleHandle(module);
        return threadDataAttachProcess() ? TRUE : FALSE;
    case DLL_THREAD_DETACH:
        threadDataDetachThread();
        return TRUE;
    case DLL_PROCESS_DETACH:
        threadDataDetachProcess(reserved != nullptr);
        releaseTypeLibraries(reserved != nullptr);
        return TRUE;
    default:
        return TRUE;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** factory) {
    if (factory == nullptr) return E_POINTER;
    *factory = nullptr;
    const ClassEntry* entry = findClass(classId);
    if (entry == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return classFactoryFor(*entry, iid, factory);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return moduleInUse() ? S_FALSE : S_OK; }

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() { return registerServer(); }

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() { return unregisterServer(); }
