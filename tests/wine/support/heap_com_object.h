// IUnknown for a test's own COM object on the heap: it answers to IUnknown
// and its one interface, starts with one reference (the creator's) and
// deletes itself with its last.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace wine_tests {

template <class Interface>
class HeapComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
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

protected:
    HeapComObject() = default;
    virtual ~HeapComObject() = default;

private:
    std::atomic<ULONG> references_{1};
};

}  // namespace wine_tests
