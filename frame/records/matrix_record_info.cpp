#include "frame/records/matrix_record_info.h"

#include <wrl/client.h>

#include <cstddef>
#include <cwchar>
#include <string_view>

#include "frame/com/bstr.h"
#include "frame/com/ref_counted.h"
#include "frame/com/variant.h"
#include "frame/status/automation_error.h"
#include "frame/records/matrix_record.h"
#include "frame/module/module_state.h"
#include "frame/module/type_library.h"

using Microsoft::WRL::ComPtr;

namespace numoria::frame {

namespace {

enum class Field { M, N, Element, None };

Field fieldNamed(LPCOLESTR name) {
    if (name == nullptr) return Field::None;
    if (_wcsicmp(name, L"m") == 0) return Field::M;
    if (_wcsicmp(name, L"n") == 0) return Field::N;
    if (_wcsicmp(name, L"Element") == 0) return Field::Element;
    return Field::None;
}

RecordMatrix& recordAt(PVOID data) { return *static_cast<RecordMatrix*>(data); }

class MatrixRecordInfo final : public RefCounted<MatrixRecordInfo, IRecordInfo> {
public:
    // A single static instance: references only pin the module.
    ULONG addReference() noexcept {
        lockModule();
        return 2;
    }
    ULONG releaseReference() noexcept {
        unlockModule();
        return 1;
    }

    HRESULT STDMETHODCALLTYPE RecordInit(PVOID newRecord) override {
        if (newRecord == nullptr) return E_INVALIDARG;
        recordAt(newRecord) = RecordMatrix{};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RecordClear(PVOID existing) override {
        if (existing == nullptr) return E_INVALIDARG;
        clearRecord(recordAt(existing));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RecordCopy(PVOID existing, PVOID newRecord) override {
        if (existing == nullptr || newRecord == nullptr) return E_INVALIDARG;
        return copyRecord(recordAt(existing), recordAt(newRecord));
    }
    HRESULT STDMETHODCALLTYPE GetGuid(GUID* guid) override {
        if (guid == nullptr) return E_INVALIDARG;
        *guid = kMatrixRecordGuid;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override {
        if (name == nullptr) return E_INVALIDARG;
        *name = SysAllocString(L"Matrix");
        return *name == nullptr ? E_OUTOFMEMORY : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) override {
        if (size == nullptr) return E_INVALIDARG;
        *size = sizeof(RecordMatrix);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo** info) override {
        if (info == nullptr) return E_INVALIDARG;
        *info = nullptr;
        try {
            *info = typeInfoOf(kMatrixRecordGuid).Detach();
            return S_OK;
        } catch (...) {
            return describeCurrentException().status;
        }
    }
    HRESULT STDMETHODCALLTYPE GetField(PVOID data, LPCOLESTR name, VARIANT* field) override {
        if (data == nullptr || field == nullptr) return E_INVALIDARG;
        RecordMatrix& record = recordAt(data);
        VariantInit(field);
        switch (fieldNamed(name)) {
        case Field::M:
            field->vt = VT_I2;
            field->iVal = record.m;
            return S_OK;
        case Field::N:
            field->vt = VT_I2;
            field->iVal = record.n;
            return S_OK;
        case Field::Element:
            field->vt = VT_ARRAY | VT_R8;
            field->parray = nullptr;
            return record.Element == nullptr ? S_OK : SafeArrayCopy(record.Element, &field->parray);
        case Field::None: break;
        }
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID data, LPCOLESTR name, VARIANT* field, PVOID* fieldData) override {
        if (data == nullptr || field == nullptr || fieldData == nullptr) return E_INVALIDARG;
        RecordMatrix& record = recordAt(data);
        VariantInit(field);
        switch (fieldNamed(name)) {
        case Field::M:
            field->vt = VT_BYREF | VT_I2;
            field->piVal = &record.m;
            break;
        case Field::N:
            field->vt = VT_BYREF | VT_I2;
            field->piVal = &record.n;
            break;
        case Field::Element:
            field->vt = VT_BYREF | VT_ARRAY | VT_R8;
            field->pparray = &record.Element;
            break;
        case Field::None: return DISP_E_UNKNOWNNAME;
        }
        *fieldData = field->byref;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PutField(ULONG flags, PVOID data, LPCOLESTR name, VARIANT* value) override {
        return putField(flags, data, name, value, true);
    }
    HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG flags, PVOID data, LPCOLESTR name, VARIANT* value) override {
        return putField(flags, data, name, value, false);
    }
    HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG* count, BSTR* names) override {
        static constexpr const wchar_t* kNames[] = {L"m", L"n", L"Element"};
        if (count == nullptr) return E_INVALIDARG;
        if (names == nullptr) {
            *count = 3;
            return S_OK;
        }
        const ULONG wanted = *count < 3 ? *count : 3;
        for (ULONG k = 0; k < wanted; ++k) {
            names[k] = SysAllocString(kNames[k]);
            if (names[k] == nullptr) {
                while (k > 0) SysFreeString(names[--k]);
                return E_OUTOFMEMORY;
            }
        }
        *count = wanted;
        return S_OK;
    }
    BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* other) override { return describesMatrix(other); }
    PVOID STDMETHODCALLTYPE RecordCreate() override {
        void* storage = CoTaskMemAlloc(sizeof(RecordMatrix));
        if (storage != nullptr) RecordInit(storage);
        return storage;
    }
    HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID source, PVOID* destination) override {
        if (source == nullptr || destination == nullptr) return E_INVALIDARG;
        *destination = RecordCreate();
        if (*destination == nullptr) return E_OUTOFMEMORY;
        const HRESULT status = RecordCopy(source, *destination);
        if (FAILED(status)) {
            RecordDestroy(*destination);
            *destination = nullptr;
        }
        return status;
    }
    HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID record) override {
        if (record == nullptr) return S_OK;
        clearRecord(recordAt(record));
        CoTaskMemFree(record);
        return S_OK;
    }

private:
    static HRESULT putField(ULONG flags, PVOID data, LPCOLESTR name, VARIANT* value, bool copy) {
        if (data == nullptr || value == nullptr) return E_INVALIDARG;
        if ((flags & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) == 0) return E_INVALIDARG;
        RecordMatrix& record = recordAt(data);
        const Field field = fieldNamed(name);
        if (field == Field::None) return DISP_E_UNKNOWNNAME;
        if (field == Field::Element) {
            const VARIANT& source = referencedValue(*value);
            const bool byRef = (source.vt & VT_BYREF) != 0;
            if ((source.vt & ~VT_BYREF) != (VT_ARRAY | VT_R8)) return DISP_E_TYPEMISMATCH;
            SAFEARRAY* array = byRef ? *source.pparray : source.parray;
            SAFEARRAY* replacement = nullptr;
            if (copy || byRef || &source != value) {
                if (array != nullptr) {
                    const HRESULT status = SafeArrayCopy(array, &replacement);
                    if (FAILED(status)) return status;
                }
            } else {
                replacement = array;
                value->vt = VT_EMPTY;
            }
            clearRecord(record);
            record.Element = replacement;
            return S_OK;
        }
        Variant converted;
        const HRESULT status = VariantChangeType(converted.get(), value, 0, VT_I2);
        if (FAILED(status)) return status;
        (field == Field::M ? record.m : record.n) = converted->iVal;
        return S_OK;
    }
};

MatrixRecordInfo g_matrixRecordInfo;

} // namespace

IRecordInfo* matrixRecordInfo() noexcept { return &g_matrixRecordInfo; }

bool describesMatrix(IRecordInfo* info) noexcept {
    GUID guid{};
    return info != nullptr && SUCCEEDED(info->GetGuid(&guid)) && guid == kMatrixRecordGuid;
}

} // namespace numoria::frame
