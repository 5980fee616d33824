// numori10.dll's frame seen from a client: the embedded type library and
// resources, creation of every class, the member-less classes, error
// information, and the record description handed out with Matrix results.
#include "support/late_bound.h"
#include "support/loaded_server.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

constexpr GUID kMatrixRecord = {0x624943a9, 0x50c8, 0x49dd, {0xbc, 0xa0, 0xc6, 0x35, 0x86, 0x76, 0x6c, 0x14}};

struct ClassCase {
    std::wstring name;
    CLSID clsid;
    IID iid;
};

const std::vector<ClassCase>& classes() {
    static const std::vector<ClassCase> all = {
        {L"clsVxNumoria10A", __uuidof(clsVxNumoria10A), __uuidof(_clsVxNumoria10A)},
        {L"clsVxNumsGeneralA", __uuidof(clsVxNumsGeneralA), __uuidof(_clsVxNumsGeneralA)},
        {L"clsVxNumsAdvancedA", __uuidof(clsVxNumsAdvancedA), __uuidof(_clsVxNumsAdvancedA)},
        {L"clsVxNumsMatrixA", __uuidof(clsVxNumsMatrixA), __uuidof(_clsVxNumsMatrixA)},
        {L"clsVxNumsConversionsA", __uuidof(clsVxNumsConversionsA), __uuidof(_clsVxNumsConversionsA)},
        {L"clsVxNumsPerComA", __uuidof(clsVxNumsPerComA), __uuidof(_clsVxNumsPerComA)},
    };
    return all;
}

ComPtr<ITypeLib> embedded_library() {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(dist_file(L"numori10.dll").c_str(), REGKIND_NONE, &library), S_OK);
    return library;
}

std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}

}  // namespace

TEST(MembersFrame, TypeLibraryHoldsThirteenEntriesInOrder) {
    ComPtr<ITypeLib> library = embedded_library();
    ASSERT_TRUE(library);
    struct Entry {
        std::wstring name;
        TYPEKIND kind;
    };
    std::vector<Entry> expected;
    for (const ClassCase& c : classes()) {
        expected.push_back({L"_" + c.name, TKIND_DISPATCH});
        expected.push_back({c.name, TKIND_COCLASS});
    }
    expected.push_back({L"Matrix", TKIND_RECORD});
    // The compiler places the record and the picture-kind enumeration at
    // their first use, so they are checked apart from the class entries.
    std::vector<Entry> actual;
    bool record_found = false;
    for (UINT k = 0; k < library->GetTypeInfoCount(); ++k) {
        Bstr name;
        ASSERT_EQ(library->GetDocumentation(static_cast<INT>(k), name.out(), nullptr, nullptr, nullptr), S_OK);
        TYPEKIND kind{};
        ASSERT_EQ(library->GetTypeInfoType(k, &kind), S_OK);
        if (kind == TKIND_ENUM) {
            EXPECT_EQ(name.text(), L"LoadResConstants");
        } else if (kind == TKIND_RECORD) {
            EXPECT_EQ(name.text(), L"Matrix");
            record_found = true;
        } else {
            actual.push_back({name.text(), kind});
        }
    }
    EXPECT_TRUE(record_found);
    expected.pop_back();
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(actual[k].name, expected[k].name) << k;
        EXPECT_EQ(actual[k].kind, expected[k].kind) << narrow(expected[k].name);
    }
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->guid, LIBID_Numoria10);
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->lcid, 0u);
    library->ReleaseTLibAttr(attributes);
}

TEST(MembersFrame, MatrixRecordLayoutIsDeclared) {
    ComPtr<ITypeLib> library = embedded_library();
    ASSERT_TRUE(library);
    ComPtr<ITypeInfo> record;
    ASSERT_EQ(library->GetTypeInfoOfGuid(kMatrixRecord, &record), S_OK);
    struct Field {
        std::wstring name;
        VARTYPE type;
        ULONG offset;
    };
    const Field fields[] = {{L"m", VT_I2, 0}, {L"n", VT_I2, 2}, {L"Element", VT_SAFEARRAY, offsetof(Matrix, Element)}};
    for (UINT k = 0; k < 3; ++k) {
        VARDESC* description = nullptr;
        ASSERT_EQ(record->GetVarDesc(k, &description), S_OK);
        Bstr name;
        UINT count = 0;
        record->GetNames(description->memid, name.out(), 1, &count);
        EXPECT_EQ(name.text(), fields[k].name);
        EXPECT_EQ(description->elemdescVar.tdesc.vt, fields[k].type);
        EXPECT_EQ(description->oInst, fields[k].offset);
        if (fields[k].type == VT_SAFEARRAY) {
            EXPECT_EQ(description->elemdescVar.tdesc.lptdesc->vt, VT_R8);
        }
        record->ReleaseVarDesc(description);
    }
}

TEST(MembersFrame, InterfaceResourcesHoldEachDefaultInterface) {
    LoadedServer server(dist_file(L"numori10.dll"));
    ASSERT_TRUE(server.loaded());
    for (const ClassCase& c : classes()) {
        SCOPED_TRACE(narrow(c.name));
        const std::wstring type = L"_IID_" + upper(c.name);
        HRSRC found = FindResourceW(server.module(), MAKEINTRESOURCEW(1), type.c_str());
        ASSERT_NE(found, nullptr);
        ASSERT_EQ(SizeofResource(server.module(), found), 20u);
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(server.module(), found)));
        std::uint32_t count = 0;
        std::memcpy(&count, bytes, 4);
        EXPECT_EQ(count, 16u);
        IID stored{};
        std::memcpy(&stored, bytes + 4, 16);
        EXPECT_EQ(stored, c.iid);
    }
}

TEST(MembersFrame, EveryClassIsCreatedByProgIdAndAnswersItsInterface) {
    for (const ClassCase& c : classes()) {
        SCOPED_TRACE(narrow(c.name));
        Creation created = create_by_prog_id(L"Numoria10." + c.name);
        ASSERT_EQ(created.status, S_OK);
        ComPtr<IUnknown> typed;
        EXPECT_EQ(created.object->QueryInterface(c.iid, reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
        ComPtr<ISupportErrorInfo> support;
        ASSERT_EQ(created.object.As(&support), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(c.iid), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IClassFactory), S_FALSE);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(created.object->GetTypeInfo(0, 0, &info), S_OK);
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->guid, c.iid);
        info->ReleaseTypeAttr(attributes);
    }
}

TEST(MembersFrame, MemberlessClassesAnswerNoMemberByName) {
    const wchar_t* names[] = {L"CreateMatrix", L"Factorial", L"About", L"Value", L""};
    for (const wchar_t* prog_id : {L"Numoria10.clsVxNumsGeneralA", L"Numoria10.clsVxNumsAdvancedA"}) {
        Creation created = create_by_prog_id(prog_id);
        ASSERT_EQ(created.status, S_OK);
        for (const wchar_t* name : names) {
            LPOLESTR asked = const_cast<LPOLESTR>(name);
            DISPID dispid = 0;
            EXPECT_EQ(created.object->GetIDsOfNames(IID_NULL, &asked, 1, 0, &dispid), DISP_E_UNKNOWNNAME);
            EXPECT_EQ(dispid, DISPID_UNKNOWN);
        }
        DISPPARAMS none{};
        EXPECT_EQ(created.object->Invoke(0x60030001, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
                  DISP_E_MEMBERNOTFOUND);
    }
}

TEST(MembersFrame, ClassFactoryRefusesUnknownClassesAndAggregation) {
    LoadedServer server(dist_file(L"numori10.dll"));
    ASSERT_TRUE(server.loaded());
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(server.get_class_object(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(server.get_class_object(__uuidof(clsVxNumsPerComA), IID_IClassFactory,
                                      reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.Get()), IID_IUnknown,
                                      reinterpret_cast<void**>(object.GetAddressOf())),
              CLASS_E_NOAGGREGATION);
}

TEST(MembersFrame, CanUnloadOnlyWithoutObjectsAndLocks) {
    LoadedServer server(dist_file(L"numori10.dll"));
    ASSERT_TRUE(server.loaded());
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(server.get_class_object(__uuidof(clsVxNumsMatrixA), IID_IClassFactory,
                                      reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    // A class factory the client holds keeps the module loaded, as an object does.
    EXPECT_EQ(server.can_unload_now(), S_FALSE);
    ComPtr<IDispatch> object;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf())), S_OK);
    factory.Reset();
    EXPECT_EQ(server.can_unload_now(), S_FALSE);
    object.Reset();
    // Objects made elsewhere in this process (other tests) are released by now.
    EXPECT_EQ(server.can_unload_now(), S_OK);
    auto factory_again = [&] {
        server.get_class_object(__uuidof(clsVxNumsMatrixA), IID_IClassFactory,
                                reinterpret_cast<void**>(factory.ReleaseAndGetAddressOf()));
        return factory.Get();
    };
    ASSERT_NE(factory_again(), nullptr);
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(server.can_unload_now(), S_FALSE);
    ASSERT_NE(factory_again(), nullptr);
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(server.can_unload_now(), S_OK);
}
