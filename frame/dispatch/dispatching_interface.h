// IDispatch of a dual interface, answered by the shared dispatcher over the
// interface's member table, and the virtual-table form's entry into the same
// handlers: the generated forwarders (EarlyBound<Interface>) call forward().
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <type_traits>

#include "frame/dispatch/dispatcher.h"
#include "frame/dispatch/member_table.h"

namespace numoria::frame {

template <class Interface, const auto& Members>
class DispatchingInterface : public Interface {
public:
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

protected:
    DispatchingInterface() : dispatcher_(Members.table, __uuidof(Interface)) {}
    ~DispatchingInterface() = default;

    // The virtual-table method `Method` with its parameters as declared:
    // runs the handler the member table names for it.
    template <auto Method, class... Raw>
    HRESULT forward(Raw... raw) noexcept {
        constexpr auto handler = std::remove_cvref_t<decltype(Members)>::template handlerFor<Method>();
        return earlyBound<handler>(__uuidof(Interface), raw...);
    }

private:
    Dispatcher dispatcher_;
};

} // namespace numoria::frame
