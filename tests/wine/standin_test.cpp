// The stand-in framework library on its own: its classes by programmatic
// identifier, each member by name, what it logs, and each test hook.
#include "support/late_bound.h"
#include "support/loaded_server.h"
#include "support/property_object.h"
#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <functional>

using namespace wine_tests;

namespace {

const std::wstring kEnvironment = L"VxFundara10.clsVxfuEnvironmentA";
const std::wstring kFramework = L"VxFundara10.clsVxFundara10A";
const std::wstring kErrorHandler = L"VxFundara10.clsVxfuErrorHandlerA";

ComPtr<IDispatch> create(const std::wstring& progId) {
    Creation created = createByProgId(progId);
    EXPECT_EQ(created.status, S_OK) << narrow(progId);
    return created.object;
}

ComPtr<IDispatch> fakeError(long number, const std::wstring& source, const std::wstring& description) {
    return makePropertyObject({{L"Number", Variant::ofI4(number)},
                               {L"Source", Variant::ofText(source)},
                               {L"Description", Variant::ofText(description)}});
}

// Calls ErrorHandlerMessageVx with its eight arguments passed as the
// library passes them: objects, texts and numbers by reference.
CallResult report(IDispatch* handler, IDispatch* error, const std::wstring& location) {
    ComPtr<IDispatch> app = makePropertyObject({{L"Title", Variant::ofText(L"Test")}});
    IDispatch* appRef = app.Get();
    IDispatch* errorRef = error;
    Bstr empty1, empty2, where(location);
    BSTR empty1Ref = empty1.get(), empty2Ref = empty2.get(), whereRef = where.get();
    long zero1 = 0, zero2 = 0;
    return callByName(
        handler, L"ErrorHandlerMessageVx",
        {Variant::ofRef(VT_DISPATCH, &appRef), Variant::ofRef(VT_DISPATCH, &errorRef),
         Variant::ofRef(VT_BSTR, &empty1Ref), Variant::ofRef(VT_BSTR, &whereRef), Variant::ofRef(VT_I4, &zero1),
         Variant::ofRef(VT_BSTR, &empty2Ref), Variant::ofRef(VT_I4, &zero2), Variant::missing()});
}

} // namespace

TEST(Standin, EachClassAnswersOnlyItsOwnMemberByName) {
    struct Case {
        std::wstring progId;
        std::wstring member;
    };
    const Case cases[] = {{kEnvironment, L"EnsureVxEnvironmentStatus"},
                          {kFramework, L"AppAboutVxfu"},
                          {kErrorHandler, L"ErrorHandlerMessageVx"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.progId));
        ComPtr<IDispatch> object = create(c.progId);
        ASSERT_TRUE(object);
        EXPECT_NE(dispidOf(object.Get(), c.member), DISPID_UNKNOWN);
        for (const Case& other : cases) {
            if (other.member != c.member) {
                EXPECT_EQ(dispidOf(object.Get(), other.member), DISPID_UNKNOWN);
            }
        }
    }
}

TEST(Standin, EnvironmentCallIsLoggedWithItsArguments) {
    ScopedStandinLog log;
    ComPtr<IDispatch> environment = create(kEnvironment);
    ASSERT_TRUE(environment);
    CallResult call =
        callByName(environment.Get(), L"EnsureVxEnvironmentStatus", {Variant::ofBool(true), Variant::ofI2(99)});
    EXPECT_EQ(call.status, S_OK);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"EnsureVxEnvironmentStatus | True | 99"});

    CallResult tooFew = callByName(environment.Get(), L"EnsureVxEnvironmentStatus", {Variant::ofBool(true)});
    EXPECT_EQ(tooFew.status, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(log.lines().size(), 1u) << "a rejected call is not counted";
}

TEST(Standin, ErrorReportIsLoggedWithNumberSourceDescriptionAndLocation) {
    ScopedStandinLog log;
    ComPtr<IDispatch> handler = create(kErrorHandler);
    ASSERT_TRUE(handler);
    ComPtr<IDispatch> error = fakeError(1000, L"ZizivaDav - CreateMatrix", L"Bad size");
    CallResult call = report(handler.Get(), error.Get(), L"basVxfuCommonA.Somewhere_Pro");
    EXPECT_EQ(call.status, S_OK);
    auto reports = log.calls("ErrorHandlerMessageVx");
    ASSERT_EQ(reports.size(), 1u) << log.contents();
    EXPECT_EQ(reports[0], (std::vector<std::string>{"ErrorHandlerMessageVx", "1000", "ZizivaDav - CreateMatrix",
                                                    "Bad size", "basVxfuCommonA.Somewhere_Pro"}));
}

TEST(Standin, AboutWritesTitleAndVersionReadFromTheAppObject) {
    ScopedEnvironment noUi(L"NUMORIA_STANDIN_NO_UI", L"1");
    ScopedStandinLog log;
    ComPtr<IDispatch> framework = create(kFramework);
    ASSERT_TRUE(framework);
    ComPtr<IDispatch> app = makePropertyObject({{L"Title", Variant::ofText(L"Numoria10")},
                                                {L"Major", Variant::ofI4(1)},
                                                {L"Minor", Variant::ofI4(0)},
                                                {L"Revision", Variant::ofI4(90)}});
    CallResult call = callByName(framework.Get(), L"AppAboutVxfu", {Variant::ofObject(app.Get())});
    EXPECT_EQ(call.status, S_OK);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"AppAboutVxfu | Numoria10 1.0.90"});
}

TEST(Standin, FailureHooksRaiseTheGivenAutomationError) {
    ScopedEnvironment noUi(L"NUMORIA_STANDIN_NO_UI", L"1");
    ComPtr<IDispatch> app = makePropertyObject({{L"Title", Variant::ofText(L"T")}});
    ComPtr<IDispatch> error = fakeError(9, L"S", L"D");
    struct Case {
        const wchar_t* variable;
        std::wstring progId;
        long number;
        const char* loggedCall; // the call is still logged before it fails
        std::function<CallResult(IDispatch*)> call;
    };
    const Case cases[] = {
        {L"NUMORIA_STANDIN_FAIL_ENVIRONMENT", kEnvironment, 5, "EnsureVxEnvironmentStatus",
         [](IDispatch* object) {
             return callByName(object, L"EnsureVxEnvironmentStatus", {Variant::ofBool(true), Variant::ofI2(99)});
         }},
        {L"NUMORIA_STANDIN_FAIL_ABOUT", kFramework, 70, "AppAboutVxfu",
         [&](IDispatch* object) { return callByName(object, L"AppAboutVxfu", {Variant::ofObject(app.Get())}); }},
        {L"NUMORIA_STANDIN_FAIL_ERRORHANDLER", kErrorHandler, 1234, "ErrorHandlerMessageVx",
         [&](IDispatch* object) { return report(object, error.Get(), L"here"); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.variable));
        ScopedStandinLog log;
        ScopedEnvironment hook(c.variable, std::to_wstring(c.number));
        ComPtr<IDispatch> object = create(c.progId);
        ASSERT_TRUE(object);
        CallResult call = c.call(object.Get());
        EXPECT_EQ(call.status, DISP_E_EXCEPTION);
        EXPECT_EQ(call.scode, automationError(c.number));
        EXPECT_EQ(call.errorNumber(), c.number);
        EXPECT_EQ(call.source, L"VxFundara10");
        EXPECT_FALSE(call.description.empty());
        EXPECT_EQ(log.calls(c.loggedCall).size(), 1u) << log.contents();
    }
}

TEST(Standin, RefuseHookStopsCreationOfTheNamedClassesOnly) {
    ScopedEnvironment refuse(L"NUMORIA_STANDIN_REFUSE", L"clsVxfuEnvironmentA,clsVxfuErrorHandlerA");
    EXPECT_EQ(createByProgId(kEnvironment).status, CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(createByProgId(kErrorHandler).status, CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(createByProgId(kFramework).status, S_OK);
}

TEST(Standin, CanUnloadOnlyWhenNoObjectOrLockIsAlive) {
    CLSID clsid{};
    ASSERT_EQ(CLSIDFromProgID(kEnvironment.c_str(), &clsid), S_OK);
    LoadedServer server(distFile(L"vxfundara10.dll"));
    ASSERT_TRUE(server.loaded());
    ASSERT_TRUE(server.getClassObject && server.canUnloadNow);
    EXPECT_EQ(server.canUnloadNow(), S_OK);
    {
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(server.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "factory alive";
        ComPtr<IDispatch> object;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object.GetAddressOf())),
                  S_OK);
        ASSERT_EQ(factory->LockServer(TRUE), S_OK);
        factory.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "object and lock alive";
        object.Reset();
        EXPECT_EQ(server.canUnloadNow(), S_FALSE) << "lock alive";
        ComPtr<IClassFactory> again;
        ASSERT_EQ(server.getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(again.GetAddressOf())),
                  S_OK);
        EXPECT_EQ(again->LockServer(FALSE), S_OK) << "taking the lock back";
    }
    EXPECT_EQ(server.canUnloadNow(), S_OK);
}
