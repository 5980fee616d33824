#include "named_dispatch.h"

#include "com_object.h"

namespace vxfu {
namespace {

constexpr long kControlFacility = static_cast<long>(0x800A0000);

void fillException(const AutomationError& error, EXCEPINFO* info) {
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = error.number >= 0 && error.number < 65536 ? kControlFacility + error.number : error.number;
    info->bstrSource = Bstr(error.source).release();
    info->bstrDescription = Bstr(error.description).release();
}

class NamedDispatch final : public ComObject<NamedDispatch, IDispatch> {
public:
    explicit NamedDispatch(const ClassDescription& description) : description_(description) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        const MemberDescription* member = find(names[0]);
        ids[0] = member ? member->dispid : DISPID_UNKNOWN;
        // The members take no named arguments.
        for (UINT i = 1; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        return member && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override {
        const MemberDescription* member = find(dispid);
        if (!member) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        DISPPARAMS none{};
        const DISPPARAMS& given = params ? *params : none;
        if (given.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
        if (given.cArgs < member->minArgs || given.cArgs > member->maxArgs) return DISP_E_BADPARAMCOUNT;

        Variant discarded;
        CallOutcome outcome = member->handler(CallArguments(given), result ? result : discarded.get());
        if (outcome.raised) {
            fillException(outcome.error, exception);
            return DISP_E_EXCEPTION;
        }
        if (outcome.status == DISP_E_TYPEMISMATCH && badArgument)
            *badArgument = CallArguments(given).rawIndex(outcome.badArgument);
        return outcome.status;
    }

private:
    const MemberDescription* find(const wchar_t* name) const {
        for (const MemberDescription& member : description_.members)
            if (_wcsicmp(member.name, name) == 0) return &member;
        return nullptr;
    }
    const MemberDescription* find(DISPID dispid) const {
        for (const MemberDescription& member : description_.members)
            if (member.dispid == dispid) return &member;
        return nullptr;
    }

    const ClassDescription& description_;
};

} // namespace

HRESULT createNamedDispatch(const ClassDescription& description, REFIID iid, void** object) {
    return numoria::frame::queryNewObject<NamedDispatch>(iid, object, description);
}

CallOutcome typeMismatch(UINT position) {
    CallOutcome outcome;
    outcome.status = DISP_E_TYPEMISMATCH;
    outcome.badArgument = position;
    return outcome;
}

CallOutcome raise(long number, std::wstring description) {
    CallOutcome outcome;
    // A negative number is a status of its own, returned without an exception.
    if (number < 0) {
        outcome.status = static_cast<HRESULT>(number);
        return outcome;
    }
    outcome.status = DISP_E_EXCEPTION;
    outcome.raised = true;
    outcome.error = AutomationError{number, L"VxFundara10", std::move(description)};
    return outcome;
}

} // namespace vxfu
