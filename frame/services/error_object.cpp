#include "frame/services/error_object.h"

#include <cwchar>
#include <new>
#include <string>

#include "frame/com/adopt.h"
#include "frame/com/ref_counted.h"
#include "frame/com/bstr.h"
#include "frame/module/module_state.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

enum : DISPID { kNumber = 1, kSource = 2, kDescription = 3 };

struct PropertyName {
    const wchar_t* name;
    DISPID dispid;
};
constexpr PropertyName kProperties[] = {{L"Number", kNumber}, {L"Source", kSource}, {L"Description", kDescription}};

class ErrorObject final : public RefCounted<ErrorObject, IDispatch> {
public:
    explicit ErrorObject(const RuntimeError& error)
            : number_(error.number()), source_(widen(error.source())), description_(widen(error.description())) {
        lockModule();
    }
    ~ErrorObject() { unlockModule(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count == nullptr) return E_INVALIDARG;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info != nullptr) *info = nullptr;
        return DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* dispids) override {
        if (names == nullptr || dispids == nullptr) return E_INVALIDARG;
        HRESULT status = S_OK;
        for (UINT k = 0; k < count; ++k) {
            dispids[k] = DISPID_UNKNOWN;
            for (const PropertyName& property : kProperties)
                if (k == 0 && names[k] != nullptr && _wcsicmp(names[k], property.name) == 0)
                    dispids[k] = property.dispid;
            if (dispids[k] == DISPID_UNKNOWN) status = DISP_E_UNKNOWNNAME;
        }
        return status;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if ((flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) == 0) return DISP_E_MEMBERNOTFOUND;
        if (parameters != nullptr && parameters->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (dispid != kNumber && dispid != kSource && dispid != kDescription) return DISP_E_MEMBERNOTFOUND;
        if (result == nullptr) return S_OK;
        VariantInit(result);
        if (dispid == kNumber) {
            result->vt = VT_I4;
            result->lVal = number_;
            return S_OK;
        }
        const std::u16string& text = dispid == kSource ? source_ : description_;
        result->bstrVal =
            SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<UINT>(text.size()));
        if (result->bstrVal == nullptr) return E_OUTOFMEMORY;
        result->vt = VT_BSTR;
        return S_OK;
    }

private:
    std::int32_t number_;
    std::u16string source_;
    std::u16string description_;
};

} // namespace

ComPtr<IDispatch> newErrorObject(const RuntimeError& error) { return adopt<IDispatch>(new ErrorObject(error)); }

} // namespace numoria::frame
