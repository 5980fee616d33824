// The common body of the stand-in's objects: one interface besides IUnknown,
// a reference count starting at one (the creator's), and a place among the
// module's live objects for DllCanUnloadNow.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "module_lifetime.h"

namespace vxfu {

template <class Interface>
class ComObject : public Interface {
public:
    ComObject() { module_object_created(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() { module_object_destroyed(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace vxfu
