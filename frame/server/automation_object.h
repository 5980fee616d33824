// The common body of every public class: reference counting, the interfaces
// it answers to, IDispatch through the shared dispatcher over the class's
// member table, and error-information support on its default interface.
// A class derives from it and implements its interface's own methods.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/com/ref_counted.h"
#include "frame/dispatch/dispatcher.h"
#include "frame/server/module_state.h"

namespace numoria::frame {

template <class Interface>
class AutomationObject : public RefCounted<AutomationObject<Interface>, Interface, ISupportErrorInfo> {
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

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatcher_.getTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return dispatcher_.getTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override {
        return dispatcher_.getIDsOfNames(iid, names, count, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return dispatcher_.invoke(dispid, iid, flags, parameters, result, exception, argumentError);
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override {
        return iid == __uuidof(Interface) ? S_OK : S_FALSE;
    }

protected:
    static constexpr const IID& interfaceId() { return __uuidof(Interface); }

private:
    Dispatcher dispatcher_;
};

} // namespace numoria::frame
