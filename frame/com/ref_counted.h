// IUnknown for every COM object of the product, the stand-in and the client
// tests: QueryInterface over the object's interfaces, and a reference count
// that starts at one (the creator's, see adopt) and deletes the object with
// its last reference.
//
// Hooks, found on Derived when it declares them (they hide the defaults):
// - `void* interfaceFor(REFIID iid)`: the interface an identifier names, or
//   null. The default answers IUnknown (as the first interface) and each of
//   Interfaces by its __uuidof.
// - `ULONG addReference()` and `ULONG releaseReference()`: another life
//   cycle, such as an instance that lives as long as the module, or one a
//   cache keeps besides its callers. The defaults count and delete.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>
#include <new>
#include <utility>

namespace numoria::frame {

template <class Derived, class First, class... Others>
class RefCounted : public First, public Others... {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = derived().interfaceFor(iid);
        if (*object == nullptr) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return derived().addReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return derived().releaseReference(); }

protected:
    RefCounted() = default;
    ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void* interfaceFor(REFIID iid) noexcept {
        if (iid == IID_IUnknown || iid == __uuidof(First)) return static_cast<First*>(this);
        void* found = nullptr;
        ((found == nullptr && iid == __uuidof(Others) ? found = static_cast<Others*>(this) : found), ...);
        return found;
    }
    ULONG addReference() noexcept { return ++references_; }
    ULONG releaseReference() noexcept {
        const ULONG remaining = --references_;
        if (remaining == 0) delete &derived();
        return remaining;
    }
    // The count of the default life cycle.
    ULONG references() const noexcept { return references_.load(); }

private:
    Derived& derived() noexcept { return static_cast<Derived&>(*this); }

    std::atomic<ULONG> references_{1};
};

// A new object of Object made from `arguments`, queried for `iid`: the
// creator's own reference is let go, so `*object` holds the only one.
template <class Object, class... Arguments>
HRESULT queryNewObject(REFIID iid, void** object, Arguments&&... arguments) noexcept {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    Object* created = new (std::nothrow) Object(std::forward<Arguments>(arguments)...);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT status = created->QueryInterface(iid, object);
    created->Release();
    return status;
}

} // namespace numoria::frame
