// The common body of every public class: reference counting, the interfaces
// it answers to, IDispatch through the shared dispatcher over the class's
// member table, and error-information support on its default interface.
// A class derives from it and implements its interface's own methods.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/com/ref_counted.h"
#include "frame/dispatch/dispatching_interface.h"
#include "frame/server/module_state.h"

namespace numoria::frame {

template <class Interface>
class AutomationObject
    : public RefCounted<AutomationObject<Interface>, DispatchingInterface<Interface>, ISupportErrorInfo> {
public:
    explicit AutomationObject(MemberTable members) : dispatcher_(members, __uuidof(Interface)) { lockModule(); }
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;
    virtual ~AutomationObject() { unlockModule(); }

    void* interfaceFor(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(Interface)) return static_cast<Interface*>(this);
        if (iid == IID_ISupportErrorInfo) return static_cast<ISupportErrorInfo*>(this);
        return nullptr;
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

protected:
    using DispatchingInterface<Interface>::interfaceId;

private:
    const Dispatcher& dispatcher() const noexcept override { return dispatcher_; }

    Dispatcher dispatcher_;
};

} // namespace numoria::frame
