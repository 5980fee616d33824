// An automation object that counts its references, so that a test can see
// exactly how many the library holds, and when it lets go of them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>

#include "frame/com/ref_counted.h"

namespace wine_tests {

class CountedObject final : public numoria::frame::RefCounted<CountedObject, IDispatch> {
public:
    // References held by others than the test's own (the one it starts with).
    long heldByOthers() const { return references_.load() - 1; }
    IDispatch* get() { return this; }

    ULONG addReference() noexcept { return ++references_; }
    // The test keeps the object alive itself: its count never frees it.
    ULONG releaseReference() noexcept { return --references_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }

private:
    std::atomic<long> references_{1};
};

} // namespace wine_tests
