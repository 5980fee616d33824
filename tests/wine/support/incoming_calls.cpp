#include "incoming_calls.h"

namespace wine_tests {

class IncomingCalls::Filter final : public IMessageFilter {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Owned by IncomingCalls, which revokes the filter before deleting it.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO info) override {
        calls.push_back({GetCurrentThreadId(), info ? info->iid : IID_NULL, info ? info->wMethod : WORD(0xFFFF)});
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override { return static_cast<DWORD>(-1); }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD, DWORD) override { return PENDINGMSG_WAITDEFPROCESS; }

    std::vector<IncomingCall> calls;
};

IncomingCalls::IncomingCalls() : filter_(new Filter()) {
    installed_ = SUCCEEDED(CoRegisterMessageFilter(filter_, &previous_));
}

IncomingCalls::~IncomingCalls() {
    if (installed_) CoRegisterMessageFilter(previous_, nullptr);
    if (previous_) previous_->Release();
    delete filter_;
}

const std::vector<IncomingCall>& IncomingCalls::calls() const { return filter_->calls; }

} // namespace wine_tests
