// A host that creates and calls every class, early-bound and late-bound,
// records and calls from another apartment included. With nothing
// registered it activates the context of the host manifest
// (NUMORIA_HOST_MANIFEST, which depends on the library's and the framework
// stand-in's assembly manifests); without that variable it relies on the
// registration an installer package wrote.
#include "activation_context.h"

#include "support/apartment_thread.h"
#include "support/cross_apartment.h"
#include "support/host_record.h"
#include "support/late_bound.h"
#include "support/library_classes.h"
#include "support/status_check.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "numori10.h"

using namespace wine_tests;
using regfree_tests::ActivationContext;
using regfree_tests::ActiveScope;

namespace {

constexpr HRESULT kMatrixError = static_cast<HRESULT>(0x800A03E8);

// Every test runs with the host manifest's context active, when there is one.
class HostCalls : public testing::Test {
protected:
    void SetUp() override {
        if (regfree_tests::hostManifestPath().empty()) return;
        ASSERT_TRUE(context_.created()) << "CreateActCtx failed with " << context_.error() << " for "
                                        << narrow(regfree_tests::hostManifestPath());
        scope_ = std::make_unique<ActiveScope>(context_);
        ASSERT_TRUE(scope_->active());
    }
    void TearDown() override { scope_.reset(); }

    ActivationContext context_{regfree_tests::hostManifestPath()};
    std::unique_ptr<ActiveScope> scope_;
};

// A list of values as CreateMatrix takes it: a VARIANT array from 0.
class ValueList {
public:
    explicit ValueList(const std::vector<double>& values) {
        array_ = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(values.size()));
        for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
            Variant value = Variant::ofR8(values[i]);
            throwIfFailed(SafeArrayPutElement(array_, &i, value.get()), "SafeArrayPutElement");
        }
    }
    ValueList(const ValueList&) = delete;
    ValueList& operator=(const ValueList&) = delete;
    ~ValueList() { SafeArrayDestroy(array_); }
    SAFEARRAY** get() { return &array_; }

private:
    SAFEARRAY* array_ = nullptr;
};

ComPtr<IUnknown> create(const std::wstring& className, REFIID iid) {
    CLSID clsid{};
    ComPtr<IUnknown> object;
    if (SUCCEEDED(CLSIDFromProgID(libraryProgId(className).c_str(), &clsid)))
        throwIfFailed(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                       reinterpret_cast<void**>(object.GetAddressOf())),
                      "CoCreateInstance");
    return object;
}

template <class Interface>
ComPtr<Interface> createEarly(const std::wstring& className) {
    ComPtr<Interface> early;
    ComPtr<IUnknown> object = create(className, __uuidof(Interface));
    if (object) throwIfFailed(object.As(&early), "QueryInterface");
    return early;
}

// The Matrix record description, through the type library the manifest
// names (nothing is registered).
ComPtr<IRecordInfo> manifestRecordInfo() {
    ComPtr<ITypeLib> library;
    ComPtr<ITypeInfo> record;
    ComPtr<IRecordInfo> info;
    if (FAILED(LoadRegTypeLib(LIBID_Numoria10, 1, 0, 0, &library))) return info;
    wchar_t name[] = L"Matrix";
    MEMBERID member = 0;
    USHORT found = 1;
    if (FAILED(library->FindName(name, 0, record.GetAddressOf(), &member, &found)) || found != 1) return info;
    throwIfFailed(GetRecordInfoFromTypeInfo(record.Get(), &info), "GetRecordInfoFromTypeInfo");
    return info;
}

Variant recordArgument(HostRecord& record, IRecordInfo* info) {
    Variant argument;
    argument.get()->vt = VT_RECORD | VT_BYREF;
    argument.get()->pvRecord = record.get();
    argument.get()->pRecInfo = info;
    info->AddRef();
    return argument;
}

std::vector<double> lateRecordNumbers(const CallResult& call) {
    if (call.status != S_OK || call.value.type() != VT_RECORD) return {};
    return recordNumbers(*static_cast<const Matrix*>(call.value.get()->pvRecord));
}

const IID* defaultInterfaceOf(const std::wstring& className) {
    static const struct {
        const wchar_t* name;
        const IID* iid;
    } kInterfaces[] = {
        {L"clsVxNumoria10A", &__uuidof(_clsVxNumoria10A)},
        {L"clsVxNumsGeneralA", &__uuidof(_clsVxNumsGeneralA)},
        {L"clsVxNumsAdvancedA", &__uuidof(_clsVxNumsAdvancedA)},
        {L"clsVxNumsMatrixA", &__uuidof(_clsVxNumsMatrixA)},
        {L"clsVxNumsConversionsA", &__uuidof(_clsVxNumsConversionsA)},
        {L"clsVxNumsPerComA", &__uuidof(_clsVxNumsPerComA)},
    };
    for (const auto& entry : kInterfaces)
        if (className == entry.name) return entry.iid;
    return nullptr;
}

} // namespace

// Without the context nothing answers: the library and the stand-in are not
// registered in this prefix, so what the other tests see comes from the
// manifests alone.
TEST(RegistrationFreePrefix, NothingIsRegistered) {
    std::vector<std::wstring> progIds;
    for (const std::wstring& name : kLibraryClasses) progIds.push_back(libraryProgId(name));
    for (const std::wstring& name : kStandinClasses) progIds.push_back(standinProgId(name));
    for (const std::wstring& progId : progIds) {
        CLSID clsid{};
        EXPECT_EQ(CLSIDFromProgID(progId.c_str(), &clsid), CO_E_CLASSSTRING) << narrow(progId);
    }
    ComPtr<ITypeLib> library;
    EXPECT_TRUE(FAILED(LoadRegTypeLib(LIBID_Numoria10, 1, 0, 0, &library)));
}

// Each class by its programmatic identifier, through its dual default
// interface and by name; each creation makes its environment call to the
// framework stand-in, which the context provides as well.
TEST_F(HostCalls, EveryClassIsCreatedEarlyAndLateBound) {
    for (const std::wstring& name : kLibraryClasses) {
        SCOPED_TRACE(narrow(name));
        ScopedStandinLog log;
        const IID* iid = defaultInterfaceOf(name);
        ASSERT_NE(iid, nullptr);
        ComPtr<IUnknown> early = create(name, *iid);
        ASSERT_TRUE(early);
        Creation late = createByProgId(libraryProgId(name));
        ASSERT_EQ(late.status, S_OK);
        ComPtr<ITypeInfo> type;
        ASSERT_EQ(late.object->GetTypeInfo(0, LOCALE_USER_DEFAULT, &type), S_OK);
        Bstr typeName;
        ASSERT_EQ(type->GetDocumentation(MEMBERID_NIL, typeName.out(), nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(typeName.text(), L"_" + name);
        EXPECT_EQ(log.calls("EnsureVxEnvironmentStatus").size(), 2u);
    }
}

TEST_F(HostCalls, MembersAnswerEarlyAndLateBound) {
    ComPtr<_clsVxNumsConversionsA> conversions = createEarly<_clsVxNumsConversionsA>(L"clsVxNumsConversionsA");
    ComPtr<_clsVxNumsPerComA> percom = createEarly<_clsVxNumsPerComA>(L"clsVxNumsPerComA");
    ComPtr<_clsVxNumoria10A> information = createEarly<_clsVxNumoria10A>(L"clsVxNumoria10A");
    ASSERT_TRUE(conversions && percom && information);

    struct Case {
        const wchar_t* className;
        const wchar_t* member;
        std::vector<Variant> arguments;
        std::function<std::wstring()> early;
        std::wstring expected;
    };
    const Case cases[] = {
        {L"clsVxNumsConversionsA",
         L"DecimalToBinary",
         {Variant::ofI4(37)},
         [&] {
             Bstr text;
             EXPECT_EQ(conversions->DecimalToBinary(37, text.out()), S_OK) << "the early-bound call";
             return text.text();
         },
         L"100101"},
        {L"clsVxNumsConversionsA",
         L"HexToDecimal",
         {Variant::ofText(L"7FFFFFFF")},
         [&] {
             Bstr hex(L"7FFFFFFF");
             long value = 0;
             EXPECT_EQ(conversions->HexToDecimal(hex.get(), &value), S_OK) << "the early-bound call";
             return std::to_wstring(value);
         },
         L"2147483647"},
        {L"clsVxNumsPerComA",
         L"Combination",
         {Variant::ofI2(52), Variant::ofI2(5)},
         [&] {
             short n = 52, r = 5;
             double value = 0;
             EXPECT_EQ(percom->Combination(&n, &r, &value), S_OK) << "the early-bound call";
             return Variant::ofR8(value).text();
         },
         L"2598960"},
        {L"clsVxNumsPerComA",
         L"Factorial",
         {Variant::ofI2(10)},
         [&] {
             short n = 10;
             double value = 0;
             EXPECT_EQ(percom->Factorial(&n, &value), S_OK) << "the early-bound call";
             return Variant::ofR8(value).text();
         },
         L"3628800"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.member));
        Creation late = createByProgId(libraryProgId(c.className));
        ASSERT_EQ(late.status, S_OK);
        CallResult call = callByName(late.object.Get(), c.member, c.arguments, DISPATCH_METHOD);
        ASSERT_EQ(call.status, S_OK);
        EXPECT_EQ(call.value.text(), c.expected);
        EXPECT_EQ(c.early(), c.expected);
    }

    // The library information class reads its own file: the folder it
    // reports is the one the library was put in.
    ComPtr<IDispatch> app;
    ASSERT_EQ(information->get_GetProStdProperties(&app), S_OK);
    CallResult path = callByName(app.Get(), L"Path", {}, DISPATCH_PROPERTYGET);
    ASSERT_EQ(path.status, S_OK);
    EXPECT_EQ(CompareStringOrdinal(path.value.text().c_str(), -1, regfree_tests::libraryFolder().c_str(), -1, TRUE),
              CSTR_EQUAL)
        << narrow(path.value.text());
}

// A record through IDispatch::Invoke needs the record description of the
// type library, which the manifest's typelib element provides.
TEST_F(HostCalls, RecordsPassThroughInvoke) {
    ComPtr<IRecordInfo> info = manifestRecordInfo();
    ASSERT_TRUE(info);
    ComPtr<_clsVxNumsMatrixA> early = createEarly<_clsVxNumsMatrixA>(L"clsVxNumsMatrixA");
    Creation late = createByProgId(libraryProgId(L"clsVxNumsMatrixA"));
    ASSERT_TRUE(early);
    ASSERT_EQ(late.status, S_OK);

    ValueList values({2, 0, 1, 1, 3, 2, 1, 1, 2});
    HostRecord created;
    ASSERT_EQ(early->CreateMatrix(3, 3, values.get(), created.get()), S_OK);
    HostRecord inverse;
    ASSERT_EQ(early->InvertMatrix(created.get(), inverse.get()), S_OK);

    HostRecord argument(3, 3, {2, 0, 1, 1, 3, 2, 1, 1, 2});
    CallResult lateInverse =
        callByName(late.object.Get(), L"InvertMatrix", {recordArgument(argument, info.Get())}, DISPATCH_METHOD);
    ASSERT_EQ(lateInverse.status, S_OK);
    EXPECT_EQ(lateRecordNumbers(lateInverse), recordNumbers(inverse.value()));

    HostRecord singular(2, 2, {1, 2, 2, 4});
    CallResult lateError =
        callByName(late.object.Get(), L"InvertMatrix", {recordArgument(singular, info.Get())}, DISPATCH_METHOD);
    EXPECT_EQ(lateError.status, DISP_E_EXCEPTION);
    EXPECT_EQ(lateError.scode, kMatrixError);
    EXPECT_EQ(lateError.source, L"ZizivaDav - InvertMatrix");
    HostRecord noInverse;
    EXPECT_EQ(early->InvertMatrix(singular.get(), noInverse.get()), kMatrixError);
}

// An object made here and called from another apartment goes through the
// automation marshaler that the manifest names for its interface, which
// reads the interface from the manifest's type library (the App object's
// interface from the second one).
TEST_F(HostCalls, CallsFromAnotherApartmentAreMarshaled) {
    ComPtr<_clsVxNumoria10A> information = createEarly<_clsVxNumoria10A>(L"clsVxNumoria10A");
    ComPtr<_clsVxNumsConversionsA> conversions = createEarly<_clsVxNumsConversionsA>(L"clsVxNumsConversionsA");
    ASSERT_TRUE(information && conversions);
    ComPtr<IDispatch> appDispatch;
    ASSERT_EQ(information->get_GetProStdProperties(&appDispatch), S_OK);
    ComPtr<_LibraryApp> app;
    ASSERT_EQ(appDispatch.As(&app), S_OK);

    Bstr directTitle;
    ASSERT_EQ(app->get_Title(directTitle.out()), S_OK);
    CrossApartment appRoute(Route::Stream, app.Get(), __uuidof(_LibraryApp));
    CrossApartment conversionsRoute(Route::Stream, conversions.Get(), __uuidof(_clsVxNumsConversionsA));
    ASSERT_EQ(appRoute.published(), S_OK);
    ASSERT_EQ(conversionsRoute.published(), S_OK);

    HRESULT titleStatus = E_FAIL, binaryStatus = E_FAIL;
    std::wstring title, binary;
    const bool finished = runInApartment(Apartment::SingleThreaded, [&] {
        ActiveScope scope(context_);
        ComPtr<_LibraryApp> remoteApp;
        ComPtr<_clsVxNumsConversionsA> remoteConversions;
        if (SUCCEEDED(appRoute.fetch(__uuidof(_LibraryApp), reinterpret_cast<void**>(remoteApp.GetAddressOf())))) {
            Bstr text;
            titleStatus = remoteApp->get_Title(text.out());
            title = text.text();
        }
        if (SUCCEEDED(conversionsRoute.fetch(__uuidof(_clsVxNumsConversionsA),
                                             reinterpret_cast<void**>(remoteConversions.GetAddressOf())))) {
            Bstr text;
            binaryStatus = remoteConversions->DecimalToBinary(5, text.out());
            binary = text.text();
        }
    });
    ASSERT_TRUE(finished);
    EXPECT_EQ(titleStatus, S_OK);
    EXPECT_EQ(title, directTitle.text());
    EXPECT_EQ(binaryStatus, S_OK);
    EXPECT_EQ(binary, L"101");
}
