#include "property_object.h"
#include "heap_com_object.h"

#include <atomic>

namespace wine_tests {
namespace {

class PropertyObject final : public HeapComObject<PropertyObject, IDispatch> {
public:
    explicit PropertyObject(std::vector<std::pair<std::wstring, Variant>> properties)
            : properties_(std::move(properties)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (size_t i = 0; i < properties_.size(); ++i)
            if (count == 1 && _wcsicmp(properties_[i].first.c_str(), names[0]) == 0) {
                ids[0] = static_cast<DISPID>(i + 1);
                return S_OK;
            }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        if (id < 1 || static_cast<size_t>(id) > properties_.size()) return DISP_E_MEMBERNOTFOUND;
        if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
        if (params && params->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (!result) return S_OK;
        return VariantCopy(result, properties_[static_cast<size_t>(id) - 1].second.get());
    }

private:
    std::vector<std::pair<std::wstring, Variant>> properties_;
};

} // namespace

Microsoft::WRL::ComPtr<IDispatch> makePropertyObject(std::vector<std::pair<std::wstring, Variant>> properties) {
    Microsoft::WRL::ComPtr<IDispatch> object;
    // Takes over the object's first reference (Attach would add another).
    *object.GetAddressOf() = new PropertyObject(std::move(properties));
    return object;
}

} // namespace wine_tests
