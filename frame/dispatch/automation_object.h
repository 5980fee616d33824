// The common body of every public class: reference counting, the interfaces
// it answers to, IDispatch through the shared dispatcher over the class's
// member table, the virtual-table methods forwarded to the same handlers,
// and error-information support on its default interface.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>

#include "early_bound.h"
#include "frame/com/ref_counted.h"
#include "frame/dispatch/dispatching_interface.h"
#include "frame/module/module_state.h"

namespace numoria::frame {

template <class Interface, const auto& Members>
class AutomationObject : public RefCounted<AutomationObject<Interface, Members>,
                                           DispatchingInterface<Interface, Members>, ISupportErrorInfo> {
public:
    AutomationObject() { lockModule(); }
    virtual ~AutomationObject() { unlockModule(); }

    void* interfaceFor(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface))
            return static_cast<Interface*>(this);
        if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }
};

// A new object of the class with default interface `Interface` and member
// table `Members`, holding one reference; null when it cannot be allocated.
template <class Interface, const auto& Members>
IUnknown* newAutomationObject() {
    using Object = typename EarlyBound<Interface>::template On<AutomationObject<Interface, Members>>;
    return static_cast<Interface*>(new (std::nothrow) Object());
}

} // namespace numoria::frame
