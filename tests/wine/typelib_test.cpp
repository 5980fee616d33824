// The type library embedded in numori10.dll, read back through ITypeLib and
// ITypeInfo: its entries in order, the interface flags, every member's
// dispatch identifier, kind and virtual-table slot (the Matrix record's
// layout: typelib_order_test.cpp, for each bitness).
#include "support/late_bound.h"
#include "support/type_info.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#ifdef NUMORIA_HAVE_CLIENT_HEADER
#include "numori10.h"
#endif

using namespace wine_tests;

namespace {

struct Member {
    std::wstring name;
    DISPID dispid;
    INVOKEKIND kind;
    short params; // including the result parameter
};

struct InterfaceCase {
    std::wstring className;
    std::vector<Member> members; // in slot order
};

std::vector<Member> numberedMethods(std::vector<std::pair<std::wstring, short>> names, DISPID first) {
    std::vector<Member> members;
    for (const auto& [name, params] : names) members.push_back({name, first++, INVOKE_FUNC, params});
    return members;
}

const std::vector<InterfaceCase>& interfaceCases() {
    static const std::vector<InterfaceCase> cases = {
        {L"clsVxNumoria10A",
         {{L"GetProStdProperties", 0x68030004, INVOKE_PROPERTYGET, 1},
          {L"GetProResStrings", 0x68030003, INVOKE_PROPERTYGET, 2},
          {L"GetProResPicture", 0x68030002, INVOKE_PROPERTYGET, 3},
          {L"GetProResData", 0x68030001, INVOKE_PROPERTYGET, 3},
          {L"About", 0x60030005, INVOKE_FUNC, 1},
          {L"BuddyObjectGlobal", 0x68030000, INVOKE_PROPERTYGET, 1},
          {L"BuddyObjectGlobal", 0x68030000, INVOKE_PROPERTYPUTREF, 1}}},
        {L"clsVxNumsGeneralA", {}},
        {L"clsVxNumsAdvancedA", {}},
        {L"clsVxNumsMatrixA", numberedMethods({{L"CreateMatrix", 4},
                                               {L"TransposeMatrix", 2},
                                               {L"ScaleMatrix", 3},
                                               {L"AddMatrix", 3},
                                               {L"SubMatrix", 3},
                                               {L"MultiplyMatrix", 3},
                                               {L"Determinant", 2},
                                               {L"InvertMatrix", 2},
                                               {L"InsertMatrix", 5},
                                               {L"CombineMatrix", 5},
                                               {L"SwapRow", 4},
                                               {L"SwapCol", 4},
                                               {L"SubMat", 4},
                                               {L"PrintMatrix", 1}},
                                              0x60030001)},
        {L"clsVxNumsConversionsA", numberedMethods({{L"DecimalToBinary", 2},
                                                    {L"BinaryToDecimal", 2},
                                                    {L"DecimalToHex", 2},
                                                    {L"HexToDecimal", 2},
                                                    {L"DecimalToOctal", 2},
                                                    {L"OctalToDecimal", 2}},
                                                   0x60030001)},
        {L"clsVxNumsPerComA",
         numberedMethods({{L"Combination", 3}, {L"Permutation", 3}, {L"Factorial", 2}}, 0x60030000)},
    };
    return cases;
}

ComPtr<ITypeLib> loadLibrary() {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(distFile(L"numori10.dll").c_str(), REGKIND_NONE, library.GetAddressOf()), S_OK);
    return library;
}

// The one entry of `library` named `name`; null (a test failure) when the
// library has none or several.
ComPtr<ITypeInfo> entryNamed(ITypeLib* library, std::wstring name) {
    ComPtr<ITypeInfo> entry;
    MEMBERID unused = 0;
    USHORT found = 1;
    EXPECT_EQ(library->FindName(name.data(), 0, entry.GetAddressOf(), &unused, &found), S_OK) << narrow(name);
    EXPECT_EQ(found, 1) << narrow(name);
    return found == 1 ? entry : nullptr;
}

// The virtual-table form of an interface entry (the entry itself may be the
// dispatch form of the dual interface).
ComPtr<ITypeInfo> vtableForm(ITypeInfo* entry) {
    TypeAttr attr(entry);
    EXPECT_EQ(attr.status(), S_OK);
    if (!attr) return nullptr;
    if (attr->typekind == TKIND_INTERFACE) return entry;
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> form;
    // Only a dual interface's dispatch form refers to a virtual-table form.
    const HRESULT referred = entry->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref);
    EXPECT_EQ(referred, S_OK) << "the dispatch form names no virtual-table form";
    if (SUCCEEDED(referred)) {
        EXPECT_EQ(entry->GetRefTypeInfo(ref, form.GetAddressOf()), S_OK);
    }
    return form;
}

} // namespace

TEST(TypeLibrary, LibraryAttributes) {
    ComPtr<ITypeLib> library = loadLibrary();
    ASSERT_TRUE(library);
    const LibAttr attr(library.Get());
    ASSERT_EQ(attr.status(), S_OK);
#ifdef NUMORIA_HAVE_CLIENT_HEADER
    EXPECT_EQ(attr->guid, LIBID_Numoria10);
#endif
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 0u);
    Bstr name;
    ASSERT_EQ(library->GetDocumentation(-1, name.out(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(name.text(), L"Numoria10");
}

TEST(TypeLibrary, ThirteenEntriesInterfaceThenClassForEachClassThenTheRecord) {
    ComPtr<ITypeLib> library = loadLibrary();
    ASSERT_TRUE(library);
    std::vector<std::pair<std::wstring, TYPEKIND>> expected;
    for (const InterfaceCase& c : interfaceCases()) {
        expected.push_back({L"_" + c.className, TKIND_DISPATCH});
        expected.push_back({c.className, TKIND_COCLASS});
    }
    expected.push_back({L"Matrix", TKIND_RECORD});

    std::vector<std::pair<std::wstring, TYPEKIND>> found;
    for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
        Bstr name;
        ASSERT_EQ(library->GetDocumentation(static_cast<INT>(i), name.out(), nullptr, nullptr, nullptr), S_OK);
        TYPEKIND kind{};
        ASSERT_EQ(library->GetTypeInfoType(i, &kind), S_OK);
        // A dual interface may be listed in either of its two forms.
        found.push_back({name.text(), kind == TKIND_INTERFACE ? TKIND_DISPATCH : kind});
    }
    std::ostringstream listed;
    for (const auto& entry : found) listed << ' ' << narrow(entry.first);
    ASSERT_EQ(found.size(), expected.size()) << "entries:" << listed.str();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(narrow(found[i].first), narrow(expected[i].first)) << "entry " << i;
        EXPECT_EQ(found[i].second, expected[i].second) << "entry " << i;
    }
}

TEST(TypeLibrary, ClassesAndTheirDualDefaultInterfaces) {
    ComPtr<ITypeLib> library = loadLibrary();
    ASSERT_TRUE(library);
    for (const InterfaceCase& c : interfaceCases()) {
        SCOPED_TRACE(narrow(c.className));
        ComPtr<ITypeInfo> coclass = entryNamed(library.Get(), c.className);
        ASSERT_TRUE(coclass);
        TypeAttr classAttr(coclass.Get());
        ASSERT_EQ(classAttr.status(), S_OK);
        ASSERT_EQ(classAttr->typekind, TKIND_COCLASS);
        EXPECT_TRUE(classAttr->wTypeFlags & TYPEFLAG_FCANCREATE);
        EXPECT_FALSE(classAttr->wTypeFlags & TYPEFLAG_FAPPOBJECT);
        ASSERT_EQ(classAttr->cImplTypes, 1) << "the default interface only, no event interface";
        INT implFlags = 0;
        ASSERT_EQ(coclass->GetImplTypeFlags(0, &implFlags), S_OK);
        EXPECT_EQ(implFlags, IMPLTYPEFLAG_FDEFAULT);

        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID((L"Numoria10." + c.className).c_str(), &clsid), S_OK);
        EXPECT_TRUE(IsEqualGUID(classAttr->guid, clsid)) << "registered CLSID matches the library";

        HREFTYPE ref = 0;
        ASSERT_EQ(coclass->GetRefTypeOfImplType(0, &ref), S_OK);
        ComPtr<ITypeInfo> entry;
        ASSERT_EQ(coclass->GetRefTypeInfo(ref, entry.GetAddressOf()), S_OK);
        EXPECT_EQ(nameOf(entry.Get(), MEMBERID_NIL), L"_" + c.className);
        ComPtr<ITypeInfo> interfaceInfo = vtableForm(entry.Get());
        ASSERT_TRUE(interfaceInfo);
        TypeAttr attr(interfaceInfo.Get());
        ASSERT_EQ(attr.status(), S_OK);
        const WORD flags = TYPEFLAG_FDUAL | TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
        EXPECT_EQ(attr->wTypeFlags & flags, flags) << "flags 0x" << std::hex << attr->wTypeFlags;
        ASSERT_EQ(attr->cImplTypes, 1);
        HREFTYPE baseRef = 0;
        ComPtr<ITypeInfo> base;
        ASSERT_EQ(interfaceInfo->GetRefTypeOfImplType(0, &baseRef), S_OK);
        ASSERT_EQ(interfaceInfo->GetRefTypeInfo(baseRef, base.GetAddressOf()), S_OK);
        EXPECT_EQ(nameOf(base.Get(), MEMBERID_NIL), L"IDispatch");
    }
}

TEST(TypeLibrary, MembersInSlotOrderWithTheirDispatchIdentifiers) {
    ComPtr<ITypeLib> library = loadLibrary();
    ASSERT_TRUE(library);
    for (const InterfaceCase& c : interfaceCases()) {
        SCOPED_TRACE(narrow(c.className));
        ComPtr<ITypeInfo> entry = entryNamed(library.Get(), L"_" + c.className);
        ASSERT_TRUE(entry);
        ComPtr<ITypeInfo> info = vtableForm(entry.Get());
        ASSERT_TRUE(info);
        TypeAttr attr(info.Get());
        ASSERT_EQ(attr.status(), S_OK);
        ASSERT_EQ(attr->cFuncs, c.members.size());
        EXPECT_EQ(attr->cVars, 0);
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            const Member& expected = c.members[i];
            SCOPED_TRACE(narrow(expected.name));
            const FuncDesc func(info.Get(), i);
            ASSERT_EQ(func.status(), S_OK);
            EXPECT_EQ(nameOf(info.Get(), func->memid), expected.name);
            EXPECT_EQ(func->memid, expected.dispid) << std::hex << func->memid;
            EXPECT_EQ(func->invkind, expected.kind);
            EXPECT_EQ(func->cParams, expected.params);
            EXPECT_EQ(func->oVft, static_cast<SHORT>((7 + i) * sizeof(void*))) << "after IDispatch";
            EXPECT_EQ(func->elemdescFunc.tdesc.vt, VT_HRESULT);
            EXPECT_EQ(func->cParamsOpt, expected.name == L"CreateMatrix" ? -1 : 0)
                << "only CreateMatrix takes a variable argument list";
        }
    }
}
