// numori10.dll's frame seen from a client: the resources that describe the
// interfaces, creation of every class, the member-less classes, error
// information, and the record description handed out with Matrix results.
#include "support/late_bound.h"
#include "support/loaded_server.h"
#include "support/test_environment.h"
#include "support/type_info.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "numori10.h"

using namespace wine_tests;

namespace {

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

// Every member the object's type description declares is found by name
// with the dispatch identifier declared there: the member tables hold the
// type library's identifiers.
void expectIdentifiersOfTypeLibrary(IDispatch* object) {
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(object->GetTypeInfo(0, 0, &info), S_OK);
    const TypeAttr attributes(info.Get());
    ASSERT_EQ(attributes.status(), S_OK);
    for (UINT k = 0; k < attributes->cFuncs; ++k) {
        const FuncDesc function(info.Get(), k);
        ASSERT_EQ(function.status(), S_OK);
        if (function->wFuncFlags & FUNCFLAG_FRESTRICTED) continue; // IUnknown's and IDispatch's
        std::wstring name = nameOf(info.Get(), function->memid);
        SCOPED_TRACE(narrow(name));
        LPOLESTR names[] = {name.data()};
        DISPID dispid = DISPID_UNKNOWN;
        EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &dispid), S_OK);
        EXPECT_EQ(dispid, function->memid) << std::hex << dispid;
    }
}

std::wstring upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towupper(c));
    return text;
}

} // namespace

TEST(MembersFrame, InterfaceResourcesHoldEachDefaultInterface) {
    LoadedServer server(distFile(L"numori10.dll"));
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

TEST(MembersFrame, EveryClassIsCreatedByProgIdAndAnswersItsInterfaceAndIdentifiers) {
    for (const ClassCase& c : classes()) {
        SCOPED_TRACE(narrow(c.name));
        Creation created = createByProgId(L"Numoria10." + c.name);
        ASSERT_EQ(created.status, S_OK);
        ComPtr<IUnknown> typed;
        EXPECT_EQ(created.object->QueryInterface(c.iid, reinterpret_cast<void**>(typed.GetAddressOf())), S_OK);
        ComPtr<ISupportErrorInfo> support;
        ASSERT_EQ(created.object.As(&support), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(c.iid), S_OK);
        EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IClassFactory), S_FALSE);
        ComPtr<ITypeInfo> info;
        ASSERT_EQ(created.object->GetTypeInfo(0, 0, &info), S_OK);
        const TypeAttr attributes(info.Get());
        ASSERT_EQ(attributes.status(), S_OK);
        EXPECT_EQ(attributes->guid, c.iid);
        expectIdentifiersOfTypeLibrary(created.object.Get());
        if (c.name == L"clsVxNumoria10A") {
            CallResult app = callByName(created.object.Get(), L"GetProStdProperties", {}, DISPATCH_PROPERTYGET);
            ASSERT_EQ(app.value.type(), VT_DISPATCH);
            expectIdentifiersOfTypeLibrary(app.value.get()->pdispVal);
        }
    }
}

TEST(MembersFrame, MemberlessClassesAnswerNoMemberByName) {
    const wchar_t* names[] = {L"CreateMatrix", L"Factorial", L"About", L"Value", L""};
    for (const wchar_t* progId : {L"Numoria10.clsVxNumsGeneralA", L"Numoria10.clsVxNumsAdvancedA"}) {
        Creation created = createByProgId(progId);
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
    LoadedServer server(distFile(L"numori10.dll"));
    ASSERT_TRUE(server.loaded());
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(server.getClassObject(IID_IDispatch, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(server.getClassObject(__uuidof(clsVxNumsPerComA), IID_IClassFactory,
                                    reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    ComPtr<IUnknown> object;
    EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.Get()), IID_IUnknown,
                                      reinterpret_cast<void**>(object.GetAddressOf())),
              CLASS_E_NOAGGREGATION);
}
