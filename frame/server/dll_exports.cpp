// The four exports of an in-process server built on the frame and the file's
// entry point; what they serve is the DLL's own description (thisServer()).
#include <windows.h>
#include <unknwn.h>

#include "frame/server/class_catalogue.h"
#include "frame/server/class_factory.h"
#include "frame/module/module_state.h"
#include "frame/server/registration.h"
#include "frame/module/type_library.h"

using namespace numoria::frame;

// Thread notices stay enabled: a thread that ends gives back its module data
// (for a server that keeps any).
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
    const ServerDescription& server = thisServer();
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        setModuleHandle(module);
        return server.processAttach == nullptr || server.processAttach() ? TRUE : FALSE;
    case DLL_THREAD_DETACH:
        if (server.threadDetach != nullptr) server.threadDetach();
        return TRUE;
    case DLL_PROCESS_DETACH:
        if (server.processDetach != nullptr) server.processDetach(reserved != nullptr);
        releaseTypeLibraries(reserved != nullptr);
        return TRUE;
    default: return TRUE;
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
