#include "frame/server/class_factory.h"

#include <wrl/client.h>

#include <new>

#include "frame/com/adopt.h"
#include "frame/com/ref_counted.h"
#include "frame/status/automation_error.h"
#include "frame/module/module_state.h"
#include "runtime/fp_environment.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

class ClassFactory final : public RefCounted<ClassFactory, IClassFactory> {
public:
    // A factory that a client holds keeps the module loaded like any other
    // object: its code must stay mapped until the client releases it.
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) { lockModule(); }
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;
    ~ClassFactory() { unlockModule(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        const fp::DefaultFloatingPointEnvironment environment;
        ComPtr<IUnknown> instance = adopt(entry_.create());
        if (!instance) return E_OUTOFMEMORY;
        if (void (*initialise)() = thisServer().initialiseObject) {
            const HRESULT initialised = guardedCall(entry_.interfaceId, initialise);
            if (FAILED(initialised)) return initialised;
        }
        return instance->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock)
            lockModule();
        else
            unlockModule();
        return S_OK;
    }

private:
    const ClassEntry& entry_;
};

} // namespace

HRESULT classFactoryFor(const ClassEntry& entry, REFIID iid, void** factory) noexcept {
    return queryNewObject<ClassFactory>(iid, factory, entry);
}

} // namespace numoria::frame
