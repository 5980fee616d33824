// The type libraries as Wine's oleaut32 reads them: the main library after the
// build moved its Matrix record to the end, and the runtime constants library
// (TYPELIB resource 2) that LoadResConstants comes from. A reference the
// rewrite left pointing at the wrong entry shows up here as a type that does
// not resolve or resolves to the wrong name.
#include "support/late_bound.h"
#include "support/status_check.h"
#include "support/type_info.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#ifdef NUMORIA_HAVE_CLIENT_HEADER
#include <windows.h>
#include "numori10.h"
#endif

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

using namespace wine_tests;

namespace {

// Walks every type description of a library: each member's result and
// parameter types, each field, each implemented interface, following every
// user-defined type to its description. Collects what fails to resolve, and
// the names of the user-defined types met by each owner.
class LibraryWalk {
public:
    std::vector<std::string> problems;
    std::vector<std::wstring> resolved;     // "owner.member -> type name"
    std::vector<std::wstring> resolvedHere; // those whose type is an entry of the walked library

    void walk(ITypeLib* library) {
        if (FAILED(library->GetDocumentation(-1, libraryName_.out(), nullptr, nullptr, nullptr)))
            problems.push_back("the library's name does not load");
        for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
            ComPtr<ITypeInfo> info;
            if (FAILED(library->GetTypeInfo(i, info.GetAddressOf()))) {
                problems.push_back("entry " + std::to_string(i) + " does not load");
                continue;
            }
            walkInfo(info.Get());
            // The virtual-table form of a dual interface is a second view.
            HREFTYPE dual = 0;
            ComPtr<ITypeInfo> vtable;
            if (SUCCEEDED(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &dual)) &&
                SUCCEEDED(info->GetRefTypeInfo(dual, vtable.GetAddressOf())))
                walkInfo(vtable.Get());
        }
    }

private:
    void walkInfo(ITypeInfo* info) {
        const std::wstring owner = nameOf(info);
        TypeAttr attr(info);
        if (!attr) {
            problems.push_back(narrow(owner) + ": no type attributes");
            return;
        }
        for (UINT i = 0; i < attr->cImplTypes; ++i) {
            HREFTYPE ref = 0;
            ComPtr<ITypeInfo> base;
            if (FAILED(info->GetRefTypeOfImplType(i, &ref)) || FAILED(info->GetRefTypeInfo(ref, base.GetAddressOf())))
                problems.push_back(narrow(owner) + ": implemented type " + std::to_string(i) + " does not resolve");
            else
                note(base.Get(), owner + L" implements " + nameOf(base.Get()));
        }
        for (UINT i = 0; i < attr->cFuncs; ++i) {
            const FuncDesc func(info, i);
            if (!func) {
                problems.push_back(narrow(owner) + ": function " + std::to_string(i) + " does not load");
                continue;
            }
            const std::wstring member = owner + L"." + nameOf(info, func->memid);
            follow(info, func->elemdescFunc.tdesc, member + L" result");
            std::vector<BSTR> names(func->cParams + 1u, nullptr);
            UINT named = 0;
            if (FAILED(info->GetNames(func->memid, names.data(), static_cast<UINT>(names.size()), &named)))
                problems.push_back(narrow(member) + ": names do not load");
            for (SHORT p = 0; p < func->cParams; ++p) {
                const std::wstring parameter = p + 1u < named && names[p + 1] ? names[p + 1] : L"?";
                follow(info, func->lprgelemdescParam[p].tdesc, member + L"(" + parameter + L")");
            }
            for (BSTR name : names) SysFreeString(name);
        }
        for (UINT i = 0; i < attr->cVars; ++i) {
            const VarDesc var(info, i);
            if (!var) {
                problems.push_back(narrow(owner) + ": field " + std::to_string(i) + " does not load");
                continue;
            }
            if (var->varkind == VAR_PERINSTANCE)
                follow(info, var->elemdescVar.tdesc, owner + L"." + nameOf(info, var->memid));
        }
    }

    void follow(ITypeInfo* info, const TYPEDESC& type, const std::wstring& where) {
        if (type.vt == VT_PTR || type.vt == VT_SAFEARRAY) {
            follow(info, *type.lptdesc, where);
        } else if (type.vt == VT_USERDEFINED) {
            ComPtr<ITypeInfo> target;
            if (FAILED(info->GetRefTypeInfo(type.hreftype, target.GetAddressOf())) || !TypeAttr(target.Get()))
                problems.push_back(narrow(where) + ": user-defined type does not resolve");
            else
                note(target.Get(), where + L" -> " + nameOf(target.Get()));
        }
    }

    void note(ITypeInfo* target, const std::wstring& reference) {
        resolved.push_back(reference);
        ComPtr<ITypeLib> home;
        UINT index = 0;
        Bstr homeName;
        if (FAILED(target->GetContainingTypeLib(home.GetAddressOf(), &index)) ||
            FAILED(home->GetDocumentation(-1, homeName.out(), nullptr, nullptr, nullptr))) {
            problems.push_back(narrow(reference) + ": the library it belongs to is not known");
            return;
        }
        if (homeName.text() == libraryName_.text()) resolvedHere.push_back(reference);
    }

    Bstr libraryName_;
};

ComPtr<ITypeLib> load(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    EXPECT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.GetAddressOf()), S_OK) << narrow(path);
    return library;
}

// Registers a 32-bit type library file for the scope of a check. The 64-bit
// registration of the runtime constants library does not serve a 32-bit
// library's imports, and the 32-bit DLL cannot register itself here.
class ScopedWin32Registration {
public:
    explicit ScopedWin32Registration(const std::wstring& path) {
        ComPtr<ITypeLib> library = load(path);
        TLIBATTR* attr = nullptr;
        if (!library) return; // load() has reported it
        throwIfFailed(library->GetLibAttr(&attr), "GetLibAttr");
        if (attr->syskind == SYS_WIN32 &&
            SUCCEEDED(RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()), nullptr)))
            registered_ = attr->guid;
        library->ReleaseTLibAttr(attr);
        EXPECT_TRUE(registered_) << "cannot register " << narrow(path);
    }
    ScopedWin32Registration(const ScopedWin32Registration&) = delete;
    ScopedWin32Registration& operator=(const ScopedWin32Registration&) = delete;
    ~ScopedWin32Registration() {
        if (registered_) UnRegisterTypeLib(*registered_, 1, 0, 0, SYS_WIN32);
    }

private:
    std::optional<GUID> registered_;
};

size_t countOf(const std::vector<std::wstring>& list, const std::wstring& item) {
    return static_cast<size_t>(std::count(list.begin(), list.end(), item));
}

// The lRestype parameter of _clsVxNumoria10A.GetProResPicture, resolved to
// its type description.
ComPtr<ITypeInfo> pictureKindType(ITypeLib* library) {
    ComPtr<ITypeInfo> entry;
    MEMBERID id = 0;
    USHORT found = 1;
    std::wstring name = L"_clsVxNumoria10A";
    if (FAILED(library->FindName(name.data(), 0, entry.GetAddressOf(), &id, &found)) || !entry) return nullptr;
    ComPtr<ITypeInfo2> info;
    if (FAILED(entry.As(&info))) return nullptr;
    TypeAttr attr(info.Get());
    for (UINT i = 0; attr && i < attr->cFuncs; ++i) {
        const FuncDesc func(info.Get(), i);
        if (!func) continue;
        ComPtr<ITypeInfo> target;
        if (nameOf(info.Get(), func->memid) == L"GetProResPicture" && func->cParams >= 2) {
            const TYPEDESC& type = func->lprgelemdescParam[1].tdesc;
            if (type.vt == VT_PTR && type.lptdesc->vt == VT_USERDEFINED)
                throwIfFailed(info->GetRefTypeInfo(type.lptdesc->hreftype, target.GetAddressOf()),
                              "GetRefTypeInfo for lRestype");
        }
        if (target) return target;
    }
    return nullptr;
}

} // namespace

// Every reference of each library resolves, and the user-defined types land
// on the entries they were written for: the record's users on Matrix, the
// picture kind on the runtime's LoadResConstants.
TEST(TypeLibraryReferences, EveryTypeOfEveryLibraryResolvesToTheIntendedEntry) {
    struct Case {
        std::wstring path;
        // The 32-bit library seen from a 64-bit client, present when the
        // win32 build ran. A 32-bit client skips it: its own library is the
        // first case, and registering the imports for the walk would replace
        // the registration the other tests rely on.
        bool optional;
        std::wstring imports; // a 32-bit library its imports need registered
        std::vector<std::wstring> mustResolve;
        ULONG pointerSize; // of the platform the library describes; 0: no record
    };
    const std::vector<std::wstring> mainReferences = {
        L"_clsVxNumoria10A.GetProResPicture(lRestype) -> LoadResConstants",
        L"_clsVxNumoria10A.GetProResPicture result -> IPictureDisp",
        L"_clsVxNumsMatrixA.CreateMatrix result -> Matrix",
        L"_clsVxNumsMatrixA.InsertMatrix(dMatSrc) -> Matrix",
        L"_clsVxNumsMatrixA.PrintMatrix(dMat) -> Matrix",
        L"clsVxNumsMatrixA implements _clsVxNumsMatrixA",
        L"clsVxNumsPerComA implements _clsVxNumsPerComA",
        L"clsVxNumoria10A implements _clsVxNumoria10A",
        L"_clsVxNumsConversionsA implements IDispatch",
    };
    const std::vector<Case> cases = {
        {distFile(L"numori10.dll"), false, L"", mainReferences, sizeof(void*)},
        {distFile(L"numori10.dll") + L"\\2", false, L"", {}, 0},
        {distFile(L"..\\win32\\numori10.tlb"), true, distFile(L"..\\win32\\numoria_runtime.tlb"), mainReferences, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.path));
        if (c.optional && (sizeof(void*) == 4 || !fileExists(c.path))) continue;
        std::optional<ScopedWin32Registration> imports;
        if (!c.imports.empty()) imports.emplace(c.imports);
        ComPtr<ITypeLib> library = load(c.path);
        ASSERT_TRUE(library);
        LibraryWalk walk;
        walk.walk(library.Get());
        for (const std::string& problem : walk.problems) ADD_FAILURE() << problem;
        if (c.pointerSize) {
            // The record, moved last, keeps its layout: m and n 16-bit at 0
            // and 2, Element an array of doubles aligned after them. The
            // one check of the record's layout, for each bitness.
            ComPtr<ITypeInfo> record;
            MEMBERID id = 0;
            USHORT found = 1;
            std::wstring name = L"Matrix";
            ASSERT_EQ(library->FindName(name.data(), 0, record.GetAddressOf(), &id, &found), S_OK);
            TypeAttr attr(record.Get());
            ASSERT_TRUE(attr);
            EXPECT_EQ(attr->typekind, TKIND_RECORD);
            EXPECT_EQ(attr->cbSizeInstance, 2 * c.pointerSize);
            const struct {
                const wchar_t* name;
                VARTYPE type;
                ULONG offset;
            } fields[] = {{L"m", VT_I2, 0}, {L"n", VT_I2, 2}, {L"Element", VT_SAFEARRAY, c.pointerSize}};
            ASSERT_EQ(attr->cVars, std::size(fields));
            for (UINT i = 0; i < attr->cVars; ++i) {
                const VarDesc var(record.Get(), i);
                ASSERT_EQ(var.status(), S_OK);
                EXPECT_EQ(nameOf(record.Get(), var->memid), fields[i].name);
                EXPECT_EQ(var->varkind, VAR_PERINSTANCE);
                EXPECT_EQ(var->oInst, fields[i].offset) << "field " << i;
                EXPECT_EQ(var->elemdescVar.tdesc.vt, fields[i].type);
                if (fields[i].type == VT_SAFEARRAY) EXPECT_EQ(var->elemdescVar.tdesc.lptdesc->vt, VT_R8);
            }
        }
        for (const std::wstring& reference : c.mustResolve)
            EXPECT_GE(countOf(walk.resolved, reference), 1u) << narrow(reference);
        for (const std::wstring& reference : walk.resolvedHere) {
            // A reference remapped to a neighbour of its entry lands on a
            // type of the wrong name: every type of this library that the
            // matrix interface uses is the record, and every class implements its own
            // default interface.
            const size_t arrow = reference.find(L" -> ");
            if (reference.rfind(L"_clsVxNumsMatrixA.", 0) == 0 && arrow != std::wstring::npos) {
                EXPECT_EQ(reference.substr(arrow + 4), L"Matrix") << narrow(reference);
            }
            const size_t implements = reference.find(L" implements ");
            if (reference.rfind(L"cls", 0) == 0 && implements != std::wstring::npos) {
                EXPECT_EQ(reference.substr(implements + 12), L"_" + reference.substr(0, implements))
                    << narrow(reference);
            }
        }
    }
}

TEST(TypeLibraryReferences, PictureKindIsTheRuntimeLibrarysLoadResConstants) {
    ComPtr<ITypeLib> library = load(distFile(L"numori10.dll"));
    ASSERT_TRUE(library);
    ComPtr<ITypeInfo> kind = pictureKindType(library.Get());
    ASSERT_TRUE(kind) << "lRestype does not resolve to a type";
    EXPECT_EQ(nameOf(kind.Get()), L"LoadResConstants");
    TypeAttr attr(kind.Get());
    ASSERT_TRUE(attr);
    EXPECT_EQ(attr->typekind, TKIND_ENUM);
    EXPECT_EQ(attr->cbSizeInstance, 4u) << "a 32-bit enumeration";

    struct Constant {
        std::wstring name;
        LONG value;
    };
    const Constant constants[] = {{L"vbResBitmap", 0}, {L"vbResIcon", 1}, {L"vbResCursor", 2}};
    ASSERT_EQ(attr->cVars, std::size(constants));
    for (UINT i = 0; i < attr->cVars; ++i) {
        SCOPED_TRACE(narrow(constants[i].name));
        const VarDesc var(kind.Get(), i);
        ASSERT_EQ(var.status(), S_OK);
        EXPECT_EQ(nameOf(kind.Get(), var->memid), constants[i].name);
        ASSERT_EQ(var->varkind, VAR_CONST);
        Variant value;
        EXPECT_EQ(VariantChangeType(value.out(), var->lpvarValue, 0, VT_I4), S_OK);
        EXPECT_EQ(V_I4(value.get()), constants[i].value);
    }

    // It is an entry of the runtime constants library, not of the main one,
    // and that library is registered beside the main one.
    ComPtr<ITypeLib> home;
    UINT index = 0;
    ASSERT_EQ(kind->GetContainingTypeLib(home.GetAddressOf(), &index), S_OK);
    Bstr homeName;
    ASSERT_EQ(home->GetDocumentation(-1, homeName.out(), nullptr, nullptr, nullptr), S_OK);
    EXPECT_EQ(homeName.text(), L"Numoria10Runtime");
    const LibAttr homeAttr(home.Get());
    ASSERT_EQ(homeAttr.status(), S_OK);
#ifdef NUMORIA_HAVE_CLIENT_HEADER
    EXPECT_TRUE(IsEqualGUID(homeAttr->guid, LIBID_Numoria10Runtime));
#endif
    Bstr registeredPath;
    EXPECT_EQ(QueryPathOfRegTypeLib(homeAttr->guid, 1, 0, 0, registeredPath.out()), S_OK);
    const std::wstring path = registeredPath.text();
    EXPECT_GE(path.size(), 2u);
    EXPECT_EQ(path.substr(path.size() < 2 ? 0 : path.size() - 2), L"\\2") << narrow(path);

    ComPtr<ITypeLib> runtime = load(distFile(L"numori10.dll") + L"\\2");
    ASSERT_TRUE(runtime);
    // The constants, then the interface of the App object.
    const std::wstring runtimeEntries[] = {L"LoadResConstants", L"_LibraryApp"};
    ASSERT_EQ(runtime->GetTypeInfoCount(), std::size(runtimeEntries));
    for (UINT k = 0; k < std::size(runtimeEntries); ++k) {
        Bstr entryName;
        EXPECT_EQ(runtime->GetDocumentation(k, entryName.out(), nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(entryName.text(), runtimeEntries[k]);
    }
}
