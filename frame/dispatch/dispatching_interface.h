// IDispatch of a dual interface, answered by the shared dispatcher. The
// object that implements the interface supplies its dispatcher; its own
// interface methods call the same handlers through earlyCall.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "frame/dispatch/dispatcher.h"

namespace numoria::frame {

template <class Interface>
class DispatchingInterface : public Interface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatcher().getTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        return dispatcher().getTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override {
        return dispatcher().getIDsOfNames(iid, names, count, dispids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return dispatcher().invoke(dispid, iid, flags, parameters, result, exception, argumentError);
    }

protected:
    static constexpr const IID& interfaceId() { return __uuidof(Interface); }

private:
    virtual const Dispatcher& dispatcher() const noexcept = 0;
};

} // namespace numoria::frame
