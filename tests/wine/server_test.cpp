// numori10.dll as an in-process server: creation of every class by
// programmatic identifier and by class identifier, its class factories and
// DllCanUnloadNow.
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/loaded_server.h"
#include "support/test_environment.h"
#include "support/type_info.h"

#include <gtest/gtest.h>

using namespace wine_tests;

namespace {

// The IID of the interface an object describes through IDispatch::GetTypeInfo.
bool defaultInterfaceOf(IDispatch* object, IID& iid) {
    ComPtr<ITypeInfo> info;
    if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.GetAddressOf()))) return false;
    const TypeAttr attributes(info.Get());
    if (!attributes) return false;
    iid = attributes->guid;
    return true;
}

} // namespace

TEST(Server, EveryClassIsCreatableByProgIdAndByClsid) {
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        const std::wstring progId = libraryProgId(name);
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), S_OK);

        LPOLESTR registered = nullptr;
        ASSERT_EQ(ProgIDFromCLSID(clsid, &registered), S_OK);
        EXPECT_EQ(std::wstring(registered), progId);
        CoTaskMemFree(registered);

        Creation byName = createByProgId(progId);
        Creation byClsid = createByClsid(clsid);
        ASSERT_EQ(byName.status, S_OK);
        ASSERT_EQ(byClsid.status, S_OK);
        EXPECT_NE(byName.object.Get(), byClsid.object.Get()) << "each request makes a new object";

        IID iid{};
        ASSERT_TRUE(defaultInterfaceOf(byName.object.Get(), iid));
        ComPtr<IUnknown> throughDefault;
        EXPECT_EQ(byName.object->QueryInterface(iid, reinterpret_cast<void**>(throughDefault.GetAddressOf())), S_OK);
        ComPtr<ISupportErrorInfo> errorInfo;
        ASSERT_EQ(byName.object.As(&errorInfo), S_OK);
        EXPECT_EQ(errorInfo->InterfaceSupportsErrorInfo(iid), S_OK);
    }
}

TEST(Server, MemberlessClassesAnswerNoName) {
    const std::wstring names[] = {L"About", L"CreateMatrix", L"DecimalToBinary", L"Factorial"};
    for (const std::wstring& cls : {std::wstring(L"clsVxNumsGeneralA"), std::wstring(L"clsVxNumsAdvancedA")}) {
        Creation created = createByProgId(libraryProgId(cls));
        ASSERT_EQ(created.status, S_OK) << narrow(cls);
        for (const std::wstring& name : names)
            EXPECT_EQ(dispidOf(created.object.Get(), name), DISPID_UNKNOWN) << narrow(cls + L"." + name);
    }
}

TEST(Server, ClassObjectForAnUnknownClsidIsRefused) {
    LoadedServer server(distFile(L"numori10.dll"));
    ASSERT_TRUE(server.loaded() && server.getClassObject);
    const CLSID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(server.getClassObject(unknown, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              CLASS_E_CLASSNOTAVAILABLE);
}

TEST(Server, CanUnloadOnlyWhenNoObjectOrFactoryLockIsAlive) {
    LoadedServer server(distFile(L"numori10.dll"));
    ASSERT_TRUE(server.loaded() && server.getClassObject && server.canUnloadNow);
    EXPECT_EQ(server.canUnloadNow(), S_OK) << "no object alive at the start";
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        CLSID clsid{};
        ASSERT_EQ(CLSIDFromProgID(libraryProgId(name).c_str(), &clsid), S_OK);
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(server.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "a factory the client holds keeps the module loaded";
        ComPtr<IDispatch> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf())),
                  S_OK);
        factory.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "an object is alive";
        object.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_OK) << "the object was released";

        ASSERT_EQ(server.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        factory.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "two factory locks are alive";
        ASSERT_EQ(server.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(factory->LockServer(FALSE), S_OK);
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "one factory lock is alive";
        ASSERT_EQ(factory->LockServer(FALSE), S_OK);
        factory.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_OK) << "the locks were released";
    }
    // A record result the caller holds keeps the module loaded, after its object is gone.
    CLSID matrixClass{};
    ASSERT_EQ(CLSIDFromProgID(libraryProgId(L"clsVxNumsMatrixA").c_str(), &matrixClass), S_OK);
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(server.getClassObject(matrixClass, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
              S_OK);
    ComPtr<IDispatch> matrix;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(matrix.GetAddressOf())), S_OK);
    factory.Reset();
    CallResult record = callByName(matrix.Get(), L"CreateMatrix", {Variant::ofI2(1), Variant::ofI2(1)});
    matrix.Reset();
    ASSERT_EQ(record.value.type(), VT_RECORD);
    EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "a record result is alive";
    record.value.out();
    EXPECT_EQ(server.canUnloadNow(), S_OK) << "the record result was cleared";
}
