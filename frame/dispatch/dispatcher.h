// IDispatch over a member table, shared by every class: names to
// identifiers, the embedded type description, and Invoke with the standard
// dispatch conventions.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <atomic>

#include "frame/dispatch/member_table.h"

namespace numoria::frame {

class Dispatcher {
public:
    Dispatcher(MemberTable members, REFIID interfaceId) : members_(members), interfaceId_(interfaceId) {}
    Dispatcher(const Dispatcher&) = delete;
    Dispatcher& operator=(const Dispatcher&) = delete;
    ~Dispatcher();

    HRESULT getTypeInfoCount(UINT* count) const noexcept;
    HRESULT getTypeInfo(UINT index, ITypeInfo** info) const noexcept;
    HRESULT getIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* dispids) const noexcept;
    HRESULT invoke(DISPID dispid, REFIID iid, WORD flags, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                   UINT* argumentError) const noexcept;

private:
    const Member* find(DISPID dispid, WORD flags) const noexcept;
    HRESULT parameterIds(LPOLESTR* names, UINT count, DISPID* dispids) const noexcept;
    // The interface's description, looked up on first use and kept.
    Microsoft::WRL::ComPtr<ITypeInfo> typeInfo() const;

    MemberTable members_;
    const IID& interfaceId_;
    mutable std::atomic<ITypeInfo*> typeInfo_{nullptr};
};

} // namespace numoria::frame
