#include "class_factory.h"

#include "com_object.h"
#include "module_lifetime.h"
#include "test_hooks.h"

#include <new>

namespace vxfu {
namespace {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
public:
    explicit ClassFactory(const ClassDescription& description) : description_(description) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        // A refused class fails here rather than in DllGetClassObject: a
        // missing class object makes COM go on to look for an out-of-process
        // server, which costs seconds per creation under Wine.
        if (hooks::classRefused(description_.className)) return CLASS_E_CLASSNOTAVAILABLE;
        return createNamedDispatch(description_, iid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        moduleLock(lock != FALSE);
        return S_OK;
    }

private:
    const ClassDescription& description_;
};

} // namespace

HRESULT createClassFactory(const ClassDescription& description, REFIID iid, void** factory) {
    return numoria::frame::queryNewObject<ClassFactory>(iid, factory, description);
}

} // namespace vxfu
