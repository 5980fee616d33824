// Reference counting and QueryInterface for a COM object on the heap that
// deletes itself with its last reference. It starts with one reference, owned
// by whoever created it (see adopt). Derived says which of its interfaces an
// identifier names through `void* interfaceFor(REFIID iid)` (null for none).
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace numoria::frame {

template <class Derived, class... Interfaces>
class RefCounted : public Interfaces... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = static_cast<Derived*>(this)->interfaceFor(iid);
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG remaining = --references_;
        if (remaining == 0) delete static_cast<Derived*>(this);
        return remaining;
    }

protected:
    RefCounted() = default;
    ~RefCounted() = default;

private:
    std::atomic<ULONG> references_{1};
};

} // namespace numoria::frame
