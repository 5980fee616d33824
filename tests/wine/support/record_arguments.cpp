#include "record_arguments.h"
#include "heap_com_object.h"
#include "status_check.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace wine_tests {
namespace {

using Microsoft::WRL::ComPtr;

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};
constexpr GUID kForeignRecord = {0x3b1c9e20, 0x5d7a, 0x4f0e, {0x9a, 0x41, 0x6e, 0x22, 0x08, 0x5c, 0x7b, 0x13}};

// Describes a record type that is not the Matrix record; nothing but its
// identity and reference counting answers.
class ForeignRecordInfo final : public HeapComObject<ForeignRecordInfo, IRecordInfo> {
public:
    HRESULT STDMETHODCALLTYPE GetGuid(GUID* guid) override {
        *guid = kForeignRecord;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) override {
        *size = 4;
        return S_OK;
    }
    BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo*) override { return FALSE; }
    HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RecordClear(PVOID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RecordCopy(PVOID, PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
    PVOID STDMETHODCALLTYPE RecordCreate() override { return nullptr; }
    HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID) override { return E_NOTIMPL; }
};

std::string hexBytes(const void* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t k = 0; k < size; ++k) {
        text += digits[bytes[k] >> 4];
        text += digits[bytes[k] & 15];
    }
    return text;
}

} // namespace

OwnedArray numberedArray(VARTYPE type, const std::vector<SAFEARRAYBOUND>& bounds) {
    // SafeArrayCreate takes the bounds last subscript first.
    std::vector<SAFEARRAYBOUND> reversed(bounds.rbegin(), bounds.rend());
    OwnedArray array(SafeArrayCreate(type, static_cast<UINT>(reversed.size()), reversed.data()));
    if (!array.get()) return array;
    ULONG total = 1;
    for (const SAFEARRAYBOUND& bound : bounds) total *= bound.cElements;
    void* data = nullptr;
    if (total == 0) return array;
    throwIfFailed(SafeArrayAccessData(array.get(), &data), "SafeArrayAccessData");
    for (ULONG k = 0; k < total; ++k) {
        VARIANT number;
        number.vt = VT_R8;
        number.dblVal = k + 1.0;
        switch (type) {
        case VT_R8: static_cast<double*>(data)[k] = number.dblVal; break;
        case VT_I4: static_cast<LONG*>(data)[k] = static_cast<LONG>(k + 1); break;
        case VT_R4: static_cast<float*>(data)[k] = static_cast<float>(k + 1); break;
        case VT_VARIANT: throwIfFailed(VariantCopy(&static_cast<VARIANT*>(data)[k], &number), "VariantCopy"); break;
        case VT_BSTR: static_cast<BSTR*>(data)[k] = SysAllocString(L"1"); break;
        default: break;
        }
    }
    SafeArrayUnaccessData(array.get());
    return array;
}

ComPtr<IRecordInfo> platformMatrixInfo() {
    ComPtr<IRecordInfo> info;
    throwIfFailed(GetRecordInfoFromGuids(LIBID_Numoria10, 1, 0, 0, kMatrixRecord, &info), "GetRecordInfoFromGuids");
    return info;
}

ComPtr<IRecordInfo> foreignRecordInfo() {
    ComPtr<IRecordInfo> info;
    *info.GetAddressOf() = new ForeignRecordInfo();
    return info;
}

Matrix* ArgumentRecord::record() {
    record_.m = m;
    record_.n = n;
    record_.Element = element.get();
    return &record_;
}

VARIANT recordVariant(ArgumentRecord& host, IRecordInfo* info, bool byReference) {
    VARIANT v;
    VariantInit(&v);
    v.vt = static_cast<VARTYPE>(byReference ? VT_RECORD | VT_BYREF : VT_RECORD);
    v.pvRecord = host.record();
    v.pRecInfo = info;
    return v;
}

std::string deepDescribe(const SAFEARRAY* array) {
    if (!array) return "no array";
    char header[96];
    std::snprintf(header, sizeof header, "dims %u features %x size %lu locks %lu", array->cDims, array->fFeatures,
                  array->cbElements, array->cLocks);
    std::string text = header;
    ULONG total = 1;
    for (USHORT d = 0; d < array->cDims; ++d) {
        text += " [" + std::to_string(array->rgsabound[d].lLbound) + "+" +
                std::to_string(array->rgsabound[d].cElements) + "]";
        total *= array->rgsabound[d].cElements;
    }
    if (array->pvData && total <= 4096) text += " " + hexBytes(array->pvData, total * array->cbElements);
    return text;
}

std::string deepDescribe(const VARIANT& value) {
    std::string text = std::to_string(value.vt) + ":";
    if (value.vt == (VT_BYREF | VT_VARIANT)) return text + (value.pvarVal ? deepDescribe(*value.pvarVal) : "null");
    const VARTYPE base = static_cast<VARTYPE>(value.vt & ~VT_BYREF);
    if (base == VT_RECORD) {
        if (!value.pvRecord) return text + " no record";
        const auto* record = static_cast<const Matrix*>(value.pvRecord);
        return text + " info " + std::to_string(reinterpret_cast<std::uintptr_t>(value.pRecInfo)) + " m " +
               std::to_string(record->m) + " n " + std::to_string(record->n) + " " + deepDescribe(record->Element);
    }
    if (value.vt & VT_ARRAY) {
        const SAFEARRAY* array = (value.vt & VT_BYREF) ? (value.pparray ? *value.pparray : nullptr) : value.parray;
        return text + " " + deepDescribe(array);
    }
    if (base == VT_BSTR) {
        const BSTR b = (value.vt & VT_BYREF) ? (value.pbstrVal ? *value.pbstrVal : nullptr) : value.bstrVal;
        return text + " '" + narrow(b ? std::wstring(b, SysStringLen(b)) : L"") + "'";
    }
    if ((value.vt & VT_BYREF) && !value.byref) return text + " null";
    return text + " " + hexBytes((value.vt & VT_BYREF) ? value.byref : &value.llVal, 8);
}

} // namespace wine_tests
