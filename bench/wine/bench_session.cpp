#include "bench_session.h"

#include <cstdio>
#include <utility>

#include "support/automation_raii.h"
#include "numori10.h"
#include "support/type_info.h"

namespace numoria_bench {

BenchSetupError::BenchSetupError(const std::string& what, HRESULT status)
        : std::runtime_error(what + " failed with " + hexStatus(status)), status_(status) {}

void check(HRESULT status, const char* what) {
    if (FAILED(status)) throw BenchSetupError(what, status);
}

std::string hexStatus(HRESULT status) {
    static constexpr std::pair<HRESULT, const char*> kNames[] = {
        {E_NOTIMPL, "E_NOTIMPL"},
        {E_INVALIDARG, "E_INVALIDARG"},
        {E_OUTOFMEMORY, "E_OUTOFMEMORY"},
        {DISP_E_TYPEMISMATCH, "DISP_E_TYPEMISMATCH"},
        {DISP_E_BADVARTYPE, "DISP_E_BADVARTYPE"},
        {DISP_E_EXCEPTION, "DISP_E_EXCEPTION"},
        {DISP_E_MEMBERNOTFOUND, "DISP_E_MEMBERNOTFOUND"},
        {DISP_E_BADPARAMCOUNT, "DISP_E_BADPARAMCOUNT"},
    };
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(status));
    for (const auto& [known, name] : kNames)
        if (known == status) return std::string(text) + " (" + name + ")";
    return text;
}

ComApartment::ComApartment() { check(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), "CoInitializeEx"); }

ComApartment::~ComApartment() { CoUninitialize(); }

namespace {

ComPtr<ITypeLib> registeredLibrary() {
    ComPtr<ITypeLib> library;
    check(LoadRegTypeLib(LIBID_Numoria10, 1, 0, LOCALE_NEUTRAL, &library), "LoadRegTypeLib(Numoria10 1.0)");
    return library;
}

} // namespace

ComPtr<ITypeInfo> vtableTypeInfo(REFIID interfaceId) {
    ComPtr<ITypeInfo> info;
    check(registeredLibrary()->GetTypeInfoOfGuid(interfaceId, &info), "ITypeLib::GetTypeInfoOfGuid");
    {
        wine_tests::TypeAttr attributes(info.Get());
        if (!attributes) throw BenchSetupError("ITypeInfo::GetTypeAttr", E_FAIL);
        if (attributes->typekind == TKIND_INTERFACE) return info;
        if (attributes->typekind != TKIND_DISPATCH || (attributes->wTypeFlags & TYPEFLAG_FDUAL) == 0)
            throw BenchSetupError("the default interface is not dual", E_UNEXPECTED);
    }
    // A dual interface's dispatch description refers to its virtual-table
    // description as implemented type -1.
    HREFTYPE vtableReference = 0;
    check(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtableReference), "ITypeInfo::GetRefTypeOfImplType(-1)");
    ComPtr<ITypeInfo> vtable;
    check(info->GetRefTypeInfo(vtableReference, &vtable), "ITypeInfo::GetRefTypeInfo");
    wine_tests::TypeAttr attributes(vtable.Get());
    if (!attributes || attributes->typekind != TKIND_INTERFACE)
        throw BenchSetupError("no virtual-table description of the dual interface", E_UNEXPECTED);
    return vtable;
}

ComPtr<IRecordInfo> matrixRecordInfo() {
    ComPtr<ITypeLib> library = registeredLibrary();
    wine_tests::Bstr name(L"Matrix");
    ITypeInfo* found = nullptr;
    MEMBERID member = 0;
    USHORT count = 1;
    check(library->FindName(name.get(), 0, &found, &member, &count), "ITypeLib::FindName(Matrix)");
    ComPtr<ITypeInfo> record;
    record.Attach(found);
    if (count != 1 || !record) throw BenchSetupError("no Matrix record in the type library", TYPE_E_ELEMENTNOTFOUND);
    ComPtr<IRecordInfo> info;
    check(GetRecordInfoFromTypeInfo(record.Get(), &info), "GetRecordInfoFromTypeInfo(Matrix)");
    return info;
}

} // namespace numoria_bench
